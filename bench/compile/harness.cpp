// Loads generated modules with dlopen and times what their user runs:
// InitString once, then lookups through t["key"].
//
//   harness init MODULE ENTRIES
//     Times one InitString call in a fresh process; prints ns per entry.
//   harness lookup MODULE_A MODULE_B KEYS MISSES ENTRIES REPS PAD
//     Both modules come from the same TextResource.cpp. Each one's table is
//     grown to all keys of KEYS (its own ENTRIES keys come first; the others
//     go in through misses, which insert an empty entry), then hits over all
//     of KEYS in a shuffled order and misses on fresh keys of MISSES are
//     timed, REPS times each, the two modules taking turns. Prints the ns
//     per lookup of every repetition. PAD bytes are allocated first: they
//     move every node of the tables against the cache lines, which alone
//     changes hits on a small table by a third, so the caller runs several.
//
// Built against the TextResource.h of the modules it loads (InitString
// fills that struct). POSIX only, like the rest of this benchmark.

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "TextResource.h"

namespace {

using InitFn = void (*)(TextResource&);
using Clock = std::chrono::steady_clock;

struct Module {
  void* handle = nullptr;
  InitFn init = nullptr;
  TextResource t{};
};

// RTLD_LOCAL keeps each module's own instances of the inline library code
// it exports, so two modules of one process do not share a map routine.
void Load(const char* path, Module& module) {
  module.handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (module.handle == nullptr) {
    std::fprintf(stderr, "dlopen %s: %s\n", path, dlerror());
    std::exit(2);
  }
  module.init = reinterpret_cast<InitFn>(dlsym(module.handle, "InitString"));
  if (module.init == nullptr) {
    std::fprintf(stderr, "%s exports no InitString\n", path);
    std::exit(2);
  }
}

double NsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::nano>(Clock::now() - start)
      .count();
}

std::vector<std::string> ReadLines(const char* path) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path);
    std::exit(2);
  }
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// The sum of the returned texts' lengths keeps every lookup observable.
std::size_t Lookups(const TextResource& t, const std::string* keys,
                    std::size_t count) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < count; ++i) units += std::wcslen(t[keys[i]]);
  return units;
}

int Init(const char* path, long entries) {
  Module module;
  Load(path, module);
  const Clock::time_point start = Clock::now();
  module.init(module.t);
  const double ns = NsSince(start);
  std::printf("init_ns_per_entry %.1f\n", ns / static_cast<double>(entries));
  return 0;
}

void PrintSeries(const char* name, const std::vector<double>& values) {
  std::printf("%s", name);
  for (double value : values) std::printf(" %.2f", value);
  std::printf("\n");
}

int Lookup(const char* path_a, const char* path_b, const char* keys_path,
           const char* misses_path, std::size_t entries, int reps,
           std::size_t pad) {
  static volatile char* const padding = new char[pad + 1];
  padding[0] = 0;
  Module modules[2];
  Load(path_a, modules[0]);
  Load(path_b, modules[1]);
  const std::vector<std::string> keys = ReadLines(keys_path);
  const std::vector<std::string> misses = ReadLines(misses_path);
  const std::size_t miss_block = misses.size() / static_cast<std::size_t>(reps);
  if (entries > keys.size() || miss_block == 0) {
    std::fprintf(stderr, "too few keys\n");
    return 2;
  }

  for (Module& module : modules) {
    module.init(module.t);
    // Every key of the resource file must be there, with its text.
    for (std::size_t i = 0; i < entries; ++i) {
      if (*module.t[keys[i]] == L'\0') {
        std::fprintf(stderr, "no text under %s\n", keys[i].c_str());
        return 3;
      }
    }
    Lookups(module.t, keys.data(), keys.size());  // fills and warms
  }

  std::vector<std::string> order = keys;
  std::shuffle(order.begin(), order.end(), std::mt19937(20240611u));

  std::vector<double> hits[2];
  std::vector<double> miss[2];
  std::size_t sink = 0;
  for (int r = 0; r < reps; ++r) {
    for (int k = 0; k < 2; ++k) {
      const int m = (r % 2 == 0) ? k : 1 - k;
      const Clock::time_point start = Clock::now();
      sink += Lookups(modules[m].t, order.data(), order.size());
      hits[m].push_back(NsSince(start) / static_cast<double>(order.size()));
    }
  }
  // Misses last, so that the hits above see exactly the keys of KEYS. Each
  // repetition takes keys never asked for before, the same ones for both.
  for (int r = 0; r < reps; ++r) {
    const std::string* block = misses.data() + r * miss_block;
    for (int k = 0; k < 2; ++k) {
      const int m = (r % 2 == 0) ? k : 1 - k;
      const Clock::time_point start = Clock::now();
      sink += Lookups(modules[m].t, block, miss_block);
      miss[m].push_back(NsSince(start) / static_cast<double>(miss_block));
    }
  }
  std::printf("table_entries %zu\n", keys.size());
  std::printf("miss_block %zu\n", miss_block);
  PrintSeries("hits_a", hits[0]);
  PrintSeries("hits_b", hits[1]);
  PrintSeries("misses_a", miss[0]);
  PrintSeries("misses_b", miss[1]);
  std::printf("sink %zu\n", sink);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "init" && argc == 4) return Init(argv[2], std::atol(argv[3]));
  if (mode == "lookup" && argc == 9) {
    return Lookup(argv[2], argv[3], argv[4], argv[5],
                  static_cast<std::size_t>(std::atol(argv[6])),
                  std::atoi(argv[7]), static_cast<std::size_t>(std::atol(argv[8])));
  }
  std::fprintf(stderr,
               "usage: harness init MODULE ENTRIES\n"
               "       harness lookup MODULE_A MODULE_B KEYS MISSES ENTRIES "
               "REPS PAD\n");
  return 2;
}

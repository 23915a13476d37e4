// Loads a module built from a generated TextResource.cpp and times one call
// of its InitString, the cost a program pays once at start:
//
//   init_string_timer MODULE ENTRIES
//
// Prints the wall time of the call and the time per entry.

#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "TextResource.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s MODULE ENTRIES\n", argv[0]);
    return 2;
  }
  const double entries = std::atof(argv[2]);
  void* module = dlopen(argv[1], RTLD_NOW);
  if (module == nullptr) {
    std::fprintf(stderr, "%s\n", dlerror());
    return 1;
  }
  using Init = void (*)(TextResource&);
  const auto init = reinterpret_cast<Init>(dlsym(module, "InitString"));
  if (init == nullptr) {
    std::fprintf(stderr, "InitString not found\n");
    return 1;
  }
  // Large with many entries: on the heap, not the stack.
  const auto t = std::make_unique<TextResource>();
  const auto start = std::chrono::steady_clock::now();
  init(*t);
  const auto stop = std::chrono::steady_clock::now();
  const double ns = std::chrono::duration<double, std::nano>(stop - start).count();
  // One lookup through Get, so the call cannot be thought unused.
  if (t->Get == nullptr) return 1;
  std::printf("%.3f ms %.1f ns/entry\n", ns / 1e6, ns / entries);
  return 0;
}

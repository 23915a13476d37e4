// Writes a deterministic resource file for the benchmarks:
//
//   make_resource ENTRIES OUT_FILE grouped|shuffled
//
// ENTRIES distinct dotted keys of two to five parts, each with a text of 8
// to 60 units, about one text in five Japanese; FF FE, UTF-16LE, CR LF.
// "grouped" orders the lines as a catalogue kept by hand: the keys under
// one prefix together, sections in no alphabetical order, the keys of one
// level shuffled. "shuffled" puts the same lines in random order, the
// worst case for the tree. The same arguments always give the same bytes:
// the random numbers come from a fixed-seed generator of our own.
//
// Inner parts and last parts come from disjoint word lists, so no name is
// both a text and a nested struct of one level, and none is a C++ keyword:
// the generated module of any size compiles.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace textresgen::bench {
namespace {

// splitmix64: tiny, fast, and the same sequence on every platform.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  /// Uniform in [0, n).
  std::size_t Below(std::size_t n) {
    return static_cast<std::size_t>(Next() % n);
  }
  /// In [0, n), the first values far more often: a few modules and screens
  /// hold most of the keys, as in a real catalogue.
  std::size_t Skewed(std::size_t n) {
    const double u = static_cast<double>(Next() >> 11) * 0x1.0p-53;
    return static_cast<std::size_t>(u * u * static_cast<double>(n));
  }

 private:
  std::uint64_t state_;
};

constexpr std::string_view kInnerWords[] = {
    "app",      "menu",     "file",     "edit",     "view",     "tools",
    "help",     "dialog",   "settings", "account",  "profile",  "login",
    "signup",   "cart",     "order",    "payment",  "shipping", "invoice",
    "report",   "chart",    "table",    "editor",   "player",   "gallery",
    "upload",   "share",    "search",   "filter",   "sort",     "exports",
    "toolbar",  "sidebar",  "footer",   "header",   "tabs",     "wizard",
    "step",     "form",     "field",    "button",   "status",   "errors",
    "warnings", "notice",   "calendar", "event",    "contact",  "inbox",
    "message",  "thread",   "folder",   "library",  "project",  "task",
    "board",    "sprint",   "team",     "member",   "role",     "admin",
    "audit",    "backup",   "restore",  "sync",     "network",  "device",
    "printer",  "scanner",  "camera",   "audio",    "video",    "display",
    "theme",    "font",     "layout",   "page",     "section",  "panel",
    "card",     "list",     "grid",     "tree",     "node",     "map",
    "route",    "store",    "product",  "price",    "stock",    "vendor",
    "client",   "session",  "security", "privacy",  "license",  "update",
    "install",  "plugin",   "component",   "widget",   "chat",     "voice",
    "alarm",    "timer",    "clock",    "weather",  "news",     "feed",
    "social",   "contacts",   "group",    "channel",  "stream",   "archive",
};

constexpr std::string_view kLastWords[] = {
    "title",   "label",   "hint",    "tooltip", "caption", "text",
    "heading", "summary", "detail",  "prompt",  "ok",      "cancel",
    "apply",   "close",   "open",    "save",    "retry",   "confirm",
    "empty",   "loading", "done",    "failed",  "busy",    "name",
    "desc",    "note",    "tip",     "info",    "warn",    "err",
    "yes",     "no",      "next",    "back",    "more",    "less",
};

constexpr std::string_view kTextWords[] = {
    "the",     "file",    "could",   "not",     "be",       "saved",
    "please",  "try",     "again",   "later",   "your",     "changes",
    "will",    "lost",    "are",     "you",     "sure",     "want",
    "to",      "delete",  "this",    "item",    "settings", "were",
    "updated", "select",  "a",       "folder",  "enter",    "name",
    "for",     "new",     "project", "connection", "failed", "check",
    "network", "and",     "open",    "recent",  "documents", "print",
    "preview", "page",    "of",      "{0}",     "items",    "selected",
    "copy",    "link",    "\"draft\"", "share",  "with",     "team",
    "=",       "100%",    "C:\\Temp", "ready",  "waiting",  "upload",
};

// Frequent kanji, kana and punctuation of everyday interface texts.
constexpr char16_t kKanji[] =
    u"保存開閉設定表示編集削除追加検索更新取消確認送信受信接続失敗成功"
    u"名前番号日付時間画面一覧詳細選択入力出力印刷共有登録解除完了中止"
    u"読込書込新規作成移動変更情報警告注意必要可能不明全部次前戻進";

void AppendAscii(std::string_view text, std::u16string* out) {
  for (char c : text) out->push_back(static_cast<char16_t>(c));
}

std::u16string MakeKey(Random& random) {
  static constexpr int kPartWeights[] = {20, 35, 30, 15};  // 2, 3, 4, 5 parts
  int roll = static_cast<int>(random.Below(100));
  int parts = 2;
  for (int weight : kPartWeights) {
    if (roll < weight) break;
    roll -= weight;
    ++parts;
  }
  std::u16string key;
  constexpr std::size_t kInner = std::size(kInnerWords);
  std::size_t used[4];
  for (int i = 0; i < parts - 1; ++i) {
    // The first level has few modules; deeper levels spread wider. No word
    // twice in one path: a struct may not nest a struct of its own name.
    const std::size_t width = i == 0 ? 24 : kInner;
    std::size_t word;
    do {
      word = random.Skewed(width);
    } while (std::find(used, used + i, word) != used + i);
    used[i] = word;
    AppendAscii(kInnerWords[word], &key);
    key.push_back(u'.');
  }
  AppendAscii(kLastWords[random.Below(std::size(kLastWords))], &key);
  // Numbered variants (label3, hint12) keep a million keys distinct.
  if (random.Below(4) != 0) AppendAscii(std::to_string(random.Below(400)), &key);
  return key;
}

std::u16string MakeText(Random& random) {
  const std::size_t length = 8 + random.Below(53);  // 8 to 60 units
  std::u16string text;
  if (random.Below(5) == 0) {
    constexpr std::size_t kKanjiCount = std::size(kKanji) - 1;
    while (text.size() < length) {
      const std::size_t pick = random.Below(20);
      if (pick < 9) {
        text.push_back(static_cast<char16_t>(0x3041 + random.Below(83)));  // hiragana
      } else if (pick < 13) {
        text.push_back(static_cast<char16_t>(0x30A1 + random.Below(86)));  // katakana
      } else if (pick < 19) {
        text.push_back(kKanji[random.Below(kKanjiCount)]);
      } else {
        text.push_back(random.Below(2) == 0 ? u'、' : u'。');
      }
    }
  } else {
    while (text.size() < length) {
      if (!text.empty()) text.push_back(u' ');
      AppendAscii(kTextWords[random.Below(std::size(kTextWords))], &text);
    }
    text.resize(length);
    if (text.back() == u' ') text.back() = u'.';
    if (text[0] >= u'a' && text[0] <= u'z') text[0] -= 0x20;
  }
  return text;
}

void PutUnits(std::u16string_view units, std::vector<unsigned char>* out) {
  for (char16_t unit : units) {
    out->push_back(static_cast<unsigned char>(unit & 0xFF));
    out->push_back(static_cast<unsigned char>(unit >> 8));
  }
}

struct Entry {
  std::u16string key;
  std::u16string text;
};

// Orders the entries as a catalogue kept by hand: everything under one
// prefix together, sections in an order of their own (not alphabetical),
// and the keys of one struct level in no particular order.
void Group(std::vector<Entry>* entries) {
  Random random(0x6A0B'0DE5'0000'0002ull);
  std::unordered_map<std::u16string, std::uint64_t> section_rank;
  for (std::string_view word : kInnerWords) {
    std::u16string name;
    AppendAscii(word, &name);
    section_rank[name] = random.Next();
  }
  struct Sortable {
    std::vector<std::uint64_t> ranks;  // inner parts, then a random tiebreak
    std::size_t index;
  };
  std::vector<Sortable> order;
  order.reserve(entries->size());
  for (std::size_t i = 0; i < entries->size(); ++i) {
    Sortable item{{}, i};
    std::u16string_view key = (*entries)[i].key;
    for (std::size_t dot; (dot = key.find(u'.')) != std::u16string_view::npos;
         key.remove_prefix(dot + 1)) {
      item.ranks.push_back(section_rank.at(std::u16string(key.substr(0, dot))));
    }
    // A level's own keys come before its subsections, in random order.
    item.ranks.push_back(0);
    item.ranks.push_back(random.Next());
    order.push_back(std::move(item));
  }
  std::sort(order.begin(), order.end(),
            [](const Sortable& a, const Sortable& b) { return a.ranks < b.ranks; });
  std::vector<Entry> grouped;
  grouped.reserve(entries->size());
  for (const Sortable& item : order) grouped.push_back(std::move((*entries)[item.index]));
  *entries = std::move(grouped);
}

int Run(std::size_t entries, bool grouped, const char* out_path) {
  Random random(0x7E57'5EED'2024'0001ull);
  std::unordered_set<std::u16string> seen;
  seen.reserve(entries);
  std::vector<Entry> made;
  made.reserve(entries);
  while (made.size() < entries) {
    std::u16string key = MakeKey(random);
    if (!seen.insert(key).second) continue;
    made.push_back({std::move(key), MakeText(random)});
  }
  if (grouped) Group(&made);

  std::FILE* out = std::fopen(out_path, "wb");
  if (out == nullptr) {
    std::perror(out_path);
    return 1;
  }
  std::vector<unsigned char> bytes = {0xFF, 0xFE};
  bytes.reserve(1 << 20);
  for (const Entry& entry : made) {
    PutUnits(entry.key, &bytes);
    PutUnits(u"=", &bytes);
    PutUnits(entry.text, &bytes);
    PutUnits(u"\r\n", &bytes);
    if (bytes.size() >= (1 << 20) - 512) {
      std::fwrite(bytes.data(), 1, bytes.size(), out);
      bytes.clear();
    }
  }
  std::fwrite(bytes.data(), 1, bytes.size(), out);
  if (std::fclose(out) != 0) {
    std::perror(out_path);
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace textresgen::bench

int main(int argc, char** argv) {
  const std::string_view order = argc == 4 ? argv[3] : "";
  if (argc != 4 || (order != "grouped" && order != "shuffled")) {
    std::fprintf(stderr, "usage: %s ENTRIES OUT_FILE grouped|shuffled\n", argv[0]);
    return 2;
  }
  const long long entries = std::atoll(argv[1]);
  if (entries <= 0) {
    std::fprintf(stderr, "ENTRIES must be positive\n");
    return 2;
  }
  return textresgen::bench::Run(static_cast<std::size_t>(entries), order == "grouped", argv[2]);
}

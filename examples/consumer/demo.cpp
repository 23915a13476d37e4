// Loads the string module that textresgen generated from TextResource.txt,
// fills a TextResource with its InitString and prints a few strings.
//
//   demo [<module>]    (without an argument: the module built beside it)

#include <cstdio>
#include <string>

#include "TextResource.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

using InitStringFunction = void (*)(TextResource&);

InitStringFunction LoadInitString(const char* path) {
#ifdef _WIN32
  HMODULE module = LoadLibraryA(path);
  if (module == nullptr) return nullptr;
  return reinterpret_cast<InitStringFunction>(
      reinterpret_cast<void*>(GetProcAddress(module, "InitString")));
#else
  void* module = dlopen(path, RTLD_NOW);
  if (module == nullptr) return nullptr;
  return reinterpret_cast<InitStringFunction>(dlsym(module, "InitString"));
#endif
}

// UTF-8 of a text: its wchar_t are UTF-16 units where they have 16 bits
// (Windows) and code points where they have 32. Done by hand, so the output
// is the same whatever the locale.
std::string Utf8(const wchar_t* text) {
  std::string out;
  for (const wchar_t* p = text; *p != L'\0'; ++p) {
    unsigned long c = static_cast<unsigned long>(*p);
    const unsigned long next = static_cast<unsigned long>(p[1]);
    if (c >= 0xD800 && c <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
      ++p;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

void Show(const char* expression, const wchar_t* text) {
  std::printf("%-20s %s\n", expression,
              *text == L'\0' ? "(empty)" : Utf8(text).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : DEMO_MODULE_PATH;
  const InitStringFunction init_string = LoadInitString(path);
  if (init_string == nullptr) {
    std::fprintf(stderr, "demo: no InitString in %s\n", path);
    return 1;
  }
#ifdef _WIN32
  SetConsoleOutputCP(CP_UTF8);
#endif

  TextResource t = {};
  init_string(t);

  // Members, as the program's code uses them...
  Show("t.app.title", t.app.title);
  Show("t.app.greeting", t.app.greeting);
  Show("t.menu.file.open", t.menu.file.open);
  Show("t.menu.help.about", t.menu.help.about);
  // ...and lookups by key, as a script or a configuration file would.
  Show("t[\"status.ready\"]", t["status.ready"]);
  Show("t[\"status.path\"]", t["status.path"]);
  Show("t[\"no.such.key\"]", t["no.such.key"]);
  return 0;
}

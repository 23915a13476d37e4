#include "generator/driver.h"

#include "generator/resource_node.h"
#include "generator/resource_reader.h"
#include "generator/tree_arena.h"
#include "scramble/scrambler.h"
#include "textfile/platform.h"
#include "textfile/wide_text_file.h"

namespace textresgen {
namespace {

// A pre-build step must never let the build go on after a failure, so every
// failure both prints the console line and gives a nonzero status.
int Fail() {
  WriteConsoleErrorLine();
  return 1;
}

}  // namespace

int RunGenerator() {
  SelectJapaneseLocale();

  WideTextFile input;
  if (input.OpenRead(u"TextResource.txt") != 0) return Fail();

  TreeArena arena;
  ResourceNode root(&arena);
  if (!ReadResource(input, root)) return Fail();

  Scrambler scrambler;
  WideTextFile source;
  if (source.OpenWrite(u"TextResource.cpp") != 0) return Fail();
  source.Print(u"#include \"TextResource.h\"\n\n");
  root.WriteSource(source, scrambler, true, u"");
  if (source.Close() != 0) return Fail();

  WideTextFile header;
  if (header.OpenWrite(u"TextResource.h") != 0) return Fail();
  root.WriteHeader(header, 0, nullptr, true);
  if (header.Close() != 0) return Fail();

  input.Close();
  return 0;
}

}  // namespace textresgen

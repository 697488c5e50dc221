#pragma once

// The ActionScript compiler: a script (ActionScript 1 and 2 statements and
// expressions, UTF-8) to an AVM1 action list for a DoAction or DoInitAction
// tag, a clip event or a button condition. What it takes and what it
// refuses is in docs/ACTIONSCRIPT.md.
//
//   std::vector<std::uint8_t> actions = avm1::Compile("stop(); fscommand(\"ready\", \"\");");
//   swf.DoAction(actions);
//
// Raises CompileError ("line:column: message") for anything outside the
// subset; it never compiles what it cannot compile faithfully.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "book/as_lexer.h"

namespace avm1 {

struct CompileOptions {
  int swfVersion = 8;  // of the movie the actions go in: 5 to 10
  bool constantPool = true;
};

std::vector<std::uint8_t> Compile(std::string_view source, const CompileOptions& options = {});
// Compiles the script in the file at `path`. Raises std::runtime_error
// naming the file: "cannot read PATH", or "PATH:line:column: message".
std::vector<std::uint8_t> CompileFile(const std::string& path, const CompileOptions& options = {});

}  // namespace avm1

#pragma once

#include <string_view>

#include "book/as_syntax.h"

namespace avm1 {

// Parses a script (ActionScript 1 and 2 statements; AS2 type annotations
// are read and dropped) into a kBlock. Raises CompileError for what the
// compiler does not take, at the token where it begins.
NodePtr Parse(std::string_view source);

}  // namespace avm1

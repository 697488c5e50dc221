#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace avm1 {

// A place in the source: line and column from 1, columns in characters.
struct SourcePosition {
  int line = 1, column = 1;
};

// What the compiler refuses, with where: what() reads "3:7: message".
class CompileError : public std::runtime_error {
 public:
  CompileError(SourcePosition at, const std::string& message)
      : std::runtime_error(std::to_string(at.line) + ":" + std::to_string(at.column) + ": " + message),
        at_(at) {}
  SourcePosition at() const { return at_; }

 private:
  SourcePosition at_;
};

struct Token {
  enum Kind { kIdentifier, kNumber, kString, kPunctuator, kEnd } kind = kEnd;
  std::string text;  // the name, the punctuator, or the string's value (UTF-8)
  double number = 0;
  SourcePosition at;
  bool newlineBefore = false;  // a line break between it and the token before
  bool Is(std::string_view punctuator) const { return kind == kPunctuator && text == punctuator; }
  bool IsWord(std::string_view word) const { return kind == kIdentifier && text == word; }
};

// The tokens of a source text, ending with kEnd. Raises CompileError.
std::vector<Token> Tokenize(std::string_view source);

}  // namespace avm1

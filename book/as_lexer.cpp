#include "book/as_lexer.h"

#include <cctype>
#include <cstdlib>

namespace avm1 {

namespace {

bool IdentifierStart(unsigned char c) { return std::isalpha(c) || c == '_' || c == '$' || c >= 0x80; }
bool IdentifierPart(unsigned char c) { return IdentifierStart(c) || std::isdigit(c); }

void AppendUtf8(std::string& s, unsigned code) {
  if (code < 0x80) {
    s += static_cast<char>(code);
  } else if (code < 0x800) {
    s += static_cast<char>(0xC0 | code >> 6);
    s += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    s += static_cast<char>(0xE0 | code >> 12);
    s += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    s += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | code >> 18);
    s += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    s += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    s += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Longest first, so that ">>>=" is not read as ">>" and ">=".
constexpr std::string_view kPunctuators[] = {
    ">>>=", "===", "!==", ">>>", "<<=", ">>=", "==", "!=", "<=", ">=", "&&", "||", "++", "--", "+=", "-=",
    "*=",   "/=",  "%=",  "&=",  "|=",  "^=",  "<<", ">>", "{",  "}",  "(",  ")",  "[",  "]",  ";",  ",",
    "<",    ">",   "+",   "-",   "*",   "/",   "%",  "&",  "|",  "^",  "!",  "~",  "?",  ":",  "=",  ".",
};

class Lexer {
 public:
  explicit Lexer(std::string_view s) : s_(s) {}

  std::vector<Token> Run() {
    std::vector<Token> out;
    bool newline = false;
    for (;;) {
      newline |= SkipSpace();
      Token t;
      t.at = Here();
      t.newlineBefore = newline;
      newline = false;
      if (pos_ >= s_.size()) {
        out.push_back(t);
        return out;
      }
      unsigned char c = static_cast<unsigned char>(s_[pos_]);
      if (IdentifierStart(c)) {
        t.kind = Token::kIdentifier;
        while (pos_ < s_.size() && IdentifierPart(static_cast<unsigned char>(s_[pos_]))) t.text += Next();
      } else if (std::isdigit(c) || (c == '.' && pos_ + 1 < s_.size() && std::isdigit(s_[pos_ + 1]))) {
        t.kind = Token::kNumber;
        t.number = ReadNumber(t.at);
      } else if (c == '"' || c == '\'') {
        t.kind = Token::kString;
        t.text = ReadString(t.at);
      } else {
        t.kind = Token::kPunctuator;
        for (std::string_view p : kPunctuators)
          if (s_.substr(pos_, p.size()) == p) {
            t.text = p;
            break;
          }
        if (t.text.empty())
          throw CompileError(t.at, "unexpected character '" + std::string(1, s_[pos_]) + "'");
        for (std::size_t i = 0; i < t.text.size(); ++i) Next();
      }
      out.push_back(std::move(t));
    }
  }

 private:
  SourcePosition Here() const { return {line_, column_}; }

  char Next() {
    char c = s_[pos_++];
    if (c == '\n') {
      ++line_;
      column_ = 1;
    } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
      ++column_;  // continuation bytes of a character count with its first
    }
    return c;
  }

  // True when a line break was skipped.
  bool SkipSpace() {
    bool newline = false;
    while (pos_ < s_.size()) {
      char c = s_[pos_];
      if (c == '\n') {
        newline = true;
        Next();
      } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
        Next();
      } else if (s_.substr(pos_, 3) == "\xEF\xBB\xBF") {  // a byte order mark
        pos_ += 3;
      } else if (s_.substr(pos_, 2) == "//") {
        while (pos_ < s_.size() && s_[pos_] != '\n') Next();
      } else if (s_.substr(pos_, 2) == "/*") {
        SourcePosition at = Here();
        Next(), Next();
        while (pos_ < s_.size() && s_.substr(pos_, 2) != "*/") newline |= Next() == '\n';
        if (pos_ >= s_.size()) throw CompileError(at, "a comment that never ends");
        Next(), Next();
      } else {
        break;
      }
    }
    return newline;
  }

  double ReadNumber(SourcePosition at) {
    std::size_t start = pos_;
    if (s_.substr(pos_, 2) == "0x" || s_.substr(pos_, 2) == "0X") {
      Next(), Next();
      while (pos_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_]))) Next();
      if (pos_ == start + 2) throw CompileError(at, "a hexadecimal number without digits");
    } else {
      while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) Next();
      if (pos_ < s_.size() && s_[pos_] == '.') {
        Next();
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) Next();
      }
      if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
        Next();
        if (pos_ < s_.size() && (s_[pos_] == '+' || s_[pos_] == '-')) Next();
        if (pos_ >= s_.size() || !std::isdigit(static_cast<unsigned char>(s_[pos_])))
          throw CompileError(at, "a number's exponent without digits");
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) Next();
      }
    }
    if (pos_ < s_.size() && IdentifierStart(static_cast<unsigned char>(s_[pos_])))
      throw CompileError(at, "a number runs into a name");
    std::string text(s_.substr(start, pos_ - start));
    return text.size() > 2 && (text[1] == 'x' || text[1] == 'X')
               ? static_cast<double>(std::strtoull(text.c_str() + 2, nullptr, 16))
               : std::strtod(text.c_str(), nullptr);
  }

  unsigned Hex(int digits, SourcePosition at) {
    unsigned v = 0;
    for (int i = 0; i < digits; ++i) {
      if (pos_ >= s_.size() || !std::isxdigit(static_cast<unsigned char>(s_[pos_])))
        throw CompileError(at, "an escape needs " + std::to_string(digits) + " hexadecimal digits");
      char c = Next();
      v = v * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                                                                     : (c | 0x20) - 'a' + 10);
    }
    return v;
  }

  std::string ReadString(SourcePosition at) {
    char quote = Next();
    std::string out;
    for (;;) {
      if (pos_ >= s_.size() || s_[pos_] == '\n') throw CompileError(at, "a string that never ends");
      char c = Next();
      if (c == quote) return out;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= s_.size()) throw CompileError(at, "a string that never ends");
      SourcePosition escapeAt = Here();
      char e = Next();
      switch (e) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'x': AppendUtf8(out, Hex(2, escapeAt)); break;
        case 'u': {
          unsigned code = Hex(4, escapeAt);
          if (code >= 0xD800 && code < 0xDC00 && s_.substr(pos_, 2) == "\\u") {
            Next(), Next();
            unsigned low = Hex(4, escapeAt);
            if (low < 0xDC00 || low > 0xDFFF) throw CompileError(escapeAt, "half a surrogate pair");
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          } else if (code >= 0xD800 && code < 0xE000) {
            throw CompileError(escapeAt, "half a surrogate pair");
          }
          AppendUtf8(out, code);
          break;
        }
        case '\n': break;   // a line continued
        default: out += e;  // \\ \' \" and the rest stand for themselves
      }
      if (!out.empty() && out.find('\0') != std::string::npos)
        throw CompileError(escapeAt, "a string cannot hold the character 0");
    }
  }

  std::string_view s_;
  std::size_t pos_ = 0;
  int line_ = 1, column_ = 1;
};

}  // namespace

namespace {
// The length of the UTF-8 sequence at s[i], or 0 when it is not one.
std::size_t Utf8Length(std::string_view s, std::size_t i) {
  auto c = static_cast<unsigned char>(s[i]);
  std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  return n;
}
}  // namespace

std::vector<Token> Tokenize(std::string_view source) {
  SourcePosition at;
  for (std::size_t i = 0; i < source.size();) {
    std::size_t n = Utf8Length(source, i);
    if (n == 0) throw CompileError(at, "the script is not UTF-8 text");
    if (source[i] == '\n') {
      ++at.line;
      at.column = 1;
    } else {
      ++at.column;
    }
    i += n;
  }
  return Lexer(source).Run();
}

}  // namespace avm1

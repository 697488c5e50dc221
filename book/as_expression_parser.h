#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "book/as_syntax.h"

namespace avm1 {

// Reads a script's tokens and its expressions; the statement parser
// (as_parser.cpp) builds on it and reads function bodies for it.
class ExpressionParser {
 public:
  explicit ExpressionParser(std::string_view source);
  virtual ~ExpressionParser() = default;

 protected:
  const Token& Peek(std::size_t ahead = 0) const { return t_[std::min(i_ + ahead, t_.size() - 1)]; }
  const Token& Take();
  bool Accept(std::string_view p);
  void Expect(std::string_view p);
  [[noreturn]] void Fail(const Token& t, const std::string& message) const;
  std::string Describe(const Token& t) const;
  static NodePtr Make(Node::Kind kind, SourcePosition at);
  static bool Reserved(const std::string& word);
  static bool IsTarget(const Node& n);
  std::string Name();  // a name that is no reserved word
  std::string PropertyName();
  void SkipType();  // an AS2 type annotation, read and dropped

  // Scripts nested deeper than this are refused rather than run out of stack.
  struct Depth {
    explicit Depth(ExpressionParser& p);
    ~Depth() { --p_.depth_; }
    ExpressionParser& p_;
  };

  NodePtr Expression();
  NodePtr Assignment();
  // A function, from the word "function" to the end of its body.
  virtual NodePtr Function(Node::Kind kind) = 0;

 private:
  NodePtr Conditional();
  NodePtr Binary(int level);
  NodePtr Unary();
  NodePtr Postfix();
  std::vector<NodePtr> Arguments();
  NodePtr CallOrMember(NodePtr e, bool calls);
  NodePtr Primary();

  std::vector<Token> t_;
  std::size_t i_ = 0;
  int depth_ = 0;
};

}  // namespace avm1

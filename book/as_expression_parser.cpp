#include "book/as_expression_parser.h"

#include <set>

namespace avm1 {

namespace {
const std::set<std::string, std::less<>> kReserved = {
    "break",     "case",      "catch",   "continue", "default", "delete",  "do",         "else",
    "false",     "finally",   "for",     "function", "if",      "in",      "instanceof", "new",
    "null",      "return",    "switch",  "this",     "throw",   "true",    "try",        "typeof",
    "var",       "void",      "while",   "with",     "class",   "extends", "implements", "import",
    "interface", "intrinsic", "dynamic", "static",   "private", "public"};
}  // namespace

bool ExpressionParser::Reserved(const std::string& word) { return kReserved.count(word) > 0; }

ExpressionParser::ExpressionParser(std::string_view source) : t_(Tokenize(source)) {}

ExpressionParser::Depth::Depth(ExpressionParser& p) : p_(p) {
  if (++p_.depth_ > 400) p_.Fail(p_.Peek(), "the script is nested too deeply");
}

const Token& ExpressionParser::Take() {
  const Token& t = t_[i_];
  if (i_ + 1 < t_.size()) ++i_;
  return t;
}

bool ExpressionParser::Accept(std::string_view p) {
  if (!Peek().Is(p)) return false;
  Take();
  return true;
}

void ExpressionParser::Fail(const Token& t, const std::string& message) const {
  throw CompileError(t.at, message);
}

std::string ExpressionParser::Describe(const Token& t) const {
  switch (t.kind) {
    case Token::kEnd: return "the end of the script";
    case Token::kString: return "a string";
    case Token::kNumber: return "a number";
    default: return "'" + t.text + "'";
  }
}

void ExpressionParser::Expect(std::string_view p) {
  if (!Accept(p)) Fail(Peek(), "expected '" + std::string(p) + "' but found " + Describe(Peek()));
}

NodePtr ExpressionParser::Make(Node::Kind kind, SourcePosition at) {
  auto n = std::make_unique<Node>();
  n->kind = kind;
  n->at = at;
  return n;
}

std::string ExpressionParser::Name() {
  const Token& t = Peek();
  if (t.kind != Token::kIdentifier) Fail(t, "expected a name but found " + Describe(t));
  if (kReserved.count(t.text)) Fail(t, "'" + t.text + "' is a reserved word");
  return Take().text;
}

// An AS2 type annotation: read and dropped.
void ExpressionParser::SkipType() {
  if (!Accept(":")) return;
  if (Peek().kind != Token::kIdentifier) Fail(Peek(), "expected a type after ':'");
  Take();
  while (Accept(".")) {
    if (Peek().kind != Token::kIdentifier) Fail(Peek(), "expected a type after '.'");
    Take();
  }
}

// Expressions, from the loosest binding in.
NodePtr ExpressionParser::Expression() {
  NodePtr e = Assignment();
  if (!Peek().Is(",")) return e;
  NodePtr s = Make(Node::kSequence, e->at);
  s->kids.push_back(std::move(e));
  while (Accept(",")) s->kids.push_back(Assignment());
  return s;
}

bool ExpressionParser::IsTarget(const Node& n) {
  return n.kind == Node::kIdentifier || n.kind == Node::kMember || n.kind == Node::kIndex;
}

NodePtr ExpressionParser::Assignment() {
  Depth depth(*this);
  NodePtr left = Conditional();
  static const std::set<std::string, std::less<>> ops = {
      "=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>=", ">>>="};
  const Token& t = Peek();
  if (t.kind != Token::kPunctuator || !ops.count(t.text)) return left;
  if (!IsTarget(*left)) Fail(t, "the left side of '" + t.text + "' is not a variable or a property");
  NodePtr n = Make(Node::kAssign, t.at);
  n->text = Take().text;
  n->kids.push_back(std::move(left));
  n->kids.push_back(Assignment());
  return n;
}

NodePtr ExpressionParser::Conditional() {
  NodePtr test = Binary(0);
  if (!Peek().Is("?")) return test;
  NodePtr n = Make(Node::kConditional, Take().at);
  n->kids.push_back(std::move(test));
  n->kids.push_back(Assignment());
  Expect(":");
  n->kids.push_back(Assignment());
  return n;
}

// Binary operators by precedence level, loosest first.
NodePtr ExpressionParser::Binary(int level) {
  static const std::vector<std::vector<std::string_view>> levels = {{"||"},
                                                                    {"&&"},
                                                                    {"|"},
                                                                    {"^"},
                                                                    {"&"},
                                                                    {"==", "!=", "===", "!=="},
                                                                    {"<", ">", "<=", ">=", "instanceof"},
                                                                    {"<<", ">>", ">>>"},
                                                                    {"+", "-"},
                                                                    {"*", "/", "%"}};
  if (level == static_cast<int>(levels.size())) return Unary();
  NodePtr left = Binary(level + 1);
  for (int chain = 0;; ++chain) {
    // Each operator nests the tree one deeper.
    if (chain > 2000) Fail(Peek(), "the expression is too long; split it");
    const Token& t = Peek();
    if (t.IsWord("in")) Fail(t, "the 'in' operator is not supported; compare with undefined");
    bool match = false;
    for (std::string_view op : levels[static_cast<size_t>(level)])
      if ((t.kind == Token::kPunctuator || op == "instanceof") && t.text == op &&
          (t.kind == Token::kPunctuator || t.kind == Token::kIdentifier))
        match = true;
    if (!match) return left;
    NodePtr n = Make(level <= 1 ? Node::kLogical : Node::kBinary, t.at);
    n->text = Take().text;
    n->kids.push_back(std::move(left));
    n->kids.push_back(Binary(level + 1));
    left = std::move(n);
  }
}

NodePtr ExpressionParser::Unary() {
  Depth depth(*this);
  const Token& t = Peek();
  if (t.Is("!") || t.Is("~") || t.Is("-") || t.Is("+") || t.IsWord("typeof") || t.IsWord("void") ||
      t.IsWord("delete")) {
    NodePtr n = Make(Node::kUnary, t.at);
    n->text = Take().text;
    n->kids.push_back(Unary());
    if (n->text == "delete" && !IsTarget(*n->kids[0])) Fail(t, "delete takes a variable or a property");
    return n;
  }
  if (t.Is("++") || t.Is("--")) {
    NodePtr n = Make(Node::kUpdate, t.at);
    n->text = Take().text;
    n->flag = true;
    n->kids.push_back(Unary());
    if (!IsTarget(*n->kids[0])) Fail(t, "'" + n->text + "' needs a variable or a property");
    return n;
  }
  NodePtr e = Postfix();
  return e;
}

NodePtr ExpressionParser::Postfix() {
  NodePtr e = CallOrMember(Primary(), true);
  const Token& t = Peek();
  if ((t.Is("++") || t.Is("--")) && !t.newlineBefore) {
    if (!IsTarget(*e)) Fail(t, "'" + t.text + "' needs a variable or a property");
    NodePtr n = Make(Node::kUpdate, t.at);
    n->text = Take().text;
    n->kids.push_back(std::move(e));
    return n;
  }
  return e;
}

std::vector<NodePtr> ExpressionParser::Arguments() {
  std::vector<NodePtr> args;
  Expect("(");
  if (!Peek().Is(")")) {
    do args.push_back(Assignment());
    while (Accept(","));
  }
  Expect(")");
  return args;
}

std::string ExpressionParser::PropertyName() {
  const Token& t = Peek();
  if (t.kind != Token::kIdentifier) Fail(t, "expected a property name after '.' but found " + Describe(t));
  return Take().text;
}

NodePtr ExpressionParser::CallOrMember(NodePtr e, bool calls) {
  for (;;) {
    const Token& t = Peek();
    if (t.Is(".")) {
      Take();
      NodePtr n = Make(Node::kMember, t.at);
      n->text = PropertyName();
      n->kids.push_back(std::move(e));
      e = std::move(n);
    } else if (t.Is("[")) {
      Take();
      NodePtr n = Make(Node::kIndex, t.at);
      n->kids.push_back(std::move(e));
      n->kids.push_back(Expression());
      Expect("]");
      e = std::move(n);
    } else if (t.Is("(") && calls) {
      NodePtr n = Make(Node::kCall, e->at);
      n->kids.push_back(std::move(e));
      for (auto& a : Arguments()) n->kids.push_back(std::move(a));
      e = std::move(n);
    } else {
      return e;
    }
  }
}

NodePtr ExpressionParser::Primary() {
  const Token& t = Peek();
  switch (t.kind) {
    case Token::kNumber: {
      NodePtr n = Make(Node::kNumber, t.at);
      n->number = Take().number;
      return n;
    }
    case Token::kString: {
      NodePtr n = Make(Node::kString, t.at);
      n->text = Take().text;
      return n;
    }
    case Token::kEnd: Fail(t, "expected a value but found the end of the script");
    case Token::kPunctuator: {
      if (Accept("(")) {
        NodePtr e = Expression();
        Expect(")");
        return e;
      }
      if (t.Is("[")) {
        NodePtr n = Make(Node::kArray, Take().at);
        if (!Peek().Is("]")) {
          do {
            if (Peek().Is(",") || Peek().Is("]")) Fail(Peek(), "arrays with holes are not supported");
            n->kids.push_back(Assignment());
          } while (Accept(","));
        }
        Expect("]");
        return n;
      }
      if (t.Is("{")) {
        NodePtr n = Make(Node::kObject, Take().at);
        if (!Peek().Is("}")) {
          do {
            const Token& k = Peek();
            NodePtr key = Make(Node::kString, k.at);
            if (k.kind == Token::kIdentifier || k.kind == Token::kString) {
              key->text = Take().text;
            } else if (k.kind == Token::kNumber &&
                       k.number == static_cast<double>(static_cast<long long>(k.number)) && k.number >= 0 &&
                       k.number < 1e15) {
              key->text = std::to_string(static_cast<long long>(Take().number));
            } else {
              Fail(k, "expected a property name but found " + Describe(k));
            }
            Expect(":");
            n->kids.push_back(std::move(key));
            n->kids.push_back(Assignment());
          } while (Accept(","));
        }
        Expect("}");
        return n;
      }
      if (t.Is("/")) Fail(t, "regular expressions are not supported");
      Fail(t, "expected a value but found " + Describe(t));
    }
    case Token::kIdentifier: break;
  }
  const std::string& w = t.text;
  if (w == "function") return Function(Node::kFunction);
  if (w == "new") {
    NodePtr n = Make(Node::kNew, Take().at);
    if (Peek().IsWord("new")) Fail(Peek(), "new new is not supported");
    n->kids.push_back(CallOrMember(Primary(), false));
    if (Peek().Is("("))
      for (auto& a : Arguments()) n->kids.push_back(std::move(a));
    return CallOrMember(std::move(n), true);
  }
  static const std::pair<const char*, Node::Kind> literals[] = {{"true", Node::kTrue},
                                                                {"false", Node::kFalse},
                                                                {"null", Node::kNull},
                                                                {"undefined", Node::kUndefined},
                                                                {"this", Node::kThis}};
  for (auto [word, kind] : literals)
    if (w == word) return Make(kind, Take().at);
  if (w == "super") Fail(t, "super is not supported");
  NodePtr n = Make(Node::kIdentifier, t.at);
  n->text = Name();
  return n;
}

}  // namespace avm1

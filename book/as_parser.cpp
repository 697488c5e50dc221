#include "book/as_parser.h"

#include <set>

namespace avm1 {

namespace {

const std::set<std::string, std::less<>> kReserved = {
    "break",     "case",      "catch",   "continue", "default", "delete",  "do",         "else",
    "false",     "finally",   "for",     "function", "if",      "in",      "instanceof", "new",
    "null",      "return",    "switch",  "this",     "throw",   "true",    "try",        "typeof",
    "var",       "void",      "while",   "with",     "class",   "extends", "implements", "import",
    "interface", "intrinsic", "dynamic", "static",   "private", "public"};

// Statements and declarations outside the subset, with what to say.
const std::pair<const char*, const char*> kUnsupported[] = {
    {"class", "classes are not supported; use functions and prototypes"},
    {"interface", "interfaces are not supported"},
    {"dynamic", "classes are not supported"},
    {"intrinsic", "classes are not supported"},
    {"ifFrameLoaded", "ifFrameLoaded is not supported; test _framesloaded"},
    {"on", "button handlers (on) are not supported in a script; give the actions to the button"},
    {"onClipEvent", "onClipEvent is not supported in a script; give the actions to the placement"},
};

class Parser {
 public:
  explicit Parser(std::string_view source) : t_(Tokenize(source)) {}

  NodePtr Program() {
    NodePtr block = Make(Node::kBlock, Peek().at);
    while (Peek().kind != Token::kEnd) block->kids.push_back(Statement());
    return block;
  }

 private:
  const Token& Peek(std::size_t ahead = 0) const { return t_[std::min(i_ + ahead, t_.size() - 1)]; }
  const Token& Take() {
    const Token& t = t_[i_];
    if (i_ + 1 < t_.size()) ++i_;
    return t;
  }
  bool Accept(std::string_view p) {
    if (!Peek().Is(p)) return false;
    Take();
    return true;
  }
  [[noreturn]] void Fail(const Token& t, const std::string& message) const {
    throw CompileError(t.at, message);
  }
  std::string Describe(const Token& t) const {
    switch (t.kind) {
      case Token::kEnd: return "the end of the script";
      case Token::kString: return "a string";
      case Token::kNumber: return "a number";
      default: return "'" + t.text + "'";
    }
  }
  void Expect(std::string_view p) {
    if (!Accept(p)) Fail(Peek(), "expected '" + std::string(p) + "' but found " + Describe(Peek()));
  }
  static NodePtr Make(Node::Kind kind, SourcePosition at) {
    auto n = std::make_unique<Node>();
    n->kind = kind;
    n->at = at;
    return n;
  }
  std::string Name() {
    const Token& t = Peek();
    if (t.kind != Token::kIdentifier) Fail(t, "expected a name but found " + Describe(t));
    if (kReserved.count(t.text)) Fail(t, "'" + t.text + "' is a reserved word");
    return Take().text;
  }
  // An AS2 type annotation: read and dropped.
  void SkipType() {
    if (!Accept(":")) return;
    if (Peek().kind != Token::kIdentifier) Fail(Peek(), "expected a type after ':'");
    Take();
    while (Accept(".")) {
      if (Peek().kind != Token::kIdentifier) Fail(Peek(), "expected a type after '.'");
      Take();
    }
  }
  // The end of a simple statement: ';', or a line break, '}' or the end before the next token.
  void EndStatement() {
    if (Accept(";")) return;
    const Token& t = Peek();
    if (t.Is("}") || t.kind == Token::kEnd || t.newlineBefore) return;
    Fail(t, "expected ';' but found " + Describe(t));
  }

  // Scripts nested deeper than this are refused rather than run out of stack.
  struct Depth {
    explicit Depth(Parser& p) : p_(p) {
      if (++p_.depth_ > 400) p_.Fail(p_.Peek(), "the script is nested too deeply");
    }
    ~Depth() { --p_.depth_; }
    Parser& p_;
  };

  NodePtr Statement() {
    Depth depth(*this);
    const Token& t = Peek();
    if (t.kind == Token::kIdentifier) {
      for (auto [word, message] : kUnsupported)
        if (t.text == word && ((t.text != "on" && t.text != "onClipEvent") || Peek(1).Is("(")) &&
            !(Peek(1).Is("=") || Peek(1).Is(".")))
          Fail(t, message);
      if (Peek(1).Is(":") && !kReserved.count(t.text)) Fail(t, "statement labels are not supported");
      const std::string& w = t.text;
      if (w == "var") return Var(true);
      if (w == "function" && Peek(1).kind == Token::kIdentifier) return Function(Node::kFunctionDeclaration);
      if (w == "if") return If();
      if (w == "while") return While();
      if (w == "do") return DoWhile();
      if (w == "for") return For();
      if (w == "break" || w == "continue") {
        NodePtr n = Make(w == "break" ? Node::kBreak : Node::kContinue, Take().at);
        if (Peek().kind == Token::kIdentifier && !Peek().newlineBefore)
          Fail(Peek(), "statement labels are not supported");
        EndStatement();
        return n;
      }
      if (w == "return") {
        NodePtr n = Make(Node::kReturn, Take().at);
        if (!Peek().Is(";") && !Peek().Is("}") && Peek().kind != Token::kEnd && !Peek().newlineBefore)
          n->kids.push_back(Expression());
        else
          n->kids.push_back(nullptr);
        EndStatement();
        return n;
      }
      if (w == "switch") return Switch();
      if (w == "with" || w == "tellTarget") {
        NodePtr n = Make(w == "with" ? Node::kWith : Node::kTellTarget, Take().at);
        Expect("(");
        n->kids.push_back(Expression());
        Expect(")");
        n->kids.push_back(Statement());
        return n;
      }
      if (w == "try") return Try();
      if (w == "import") return Import();
      if (w == "throw") {
        NodePtr n = Make(Node::kThrow, Take().at);
        if (Peek().newlineBefore) Fail(Peek(), "throw needs its value on the same line");
        n->kids.push_back(Expression());
        EndStatement();
        return n;
      }
    }
    if (t.Is("{")) return Block();
    if (t.Is(";")) return Make(Node::kEmpty, Take().at);
    NodePtr n = Make(Node::kExpression, t.at);
    n->kids.push_back(Expression());
    EndStatement();
    return n;
  }

  NodePtr Block() {
    NodePtr n = Make(Node::kBlock, Peek().at);
    Expect("{");
    while (!Peek().Is("}")) {
      if (Peek().kind == Token::kEnd) Fail(Peek(), "expected '}' but found the end of the script");
      n->kids.push_back(Statement());
    }
    Take();
    return n;
  }

  // var a = 1, b: Number; (the declarations without the ';' when `end` is false)
  NodePtr Var(bool end) {
    NodePtr n = Make(Node::kVar, Take().at);
    do {
      NodePtr d = Make(Node::kVarDeclaration, Peek().at);
      d->text = Name();
      SkipType();
      d->kids.push_back(Accept("=") ? Assignment() : nullptr);
      n->kids.push_back(std::move(d));
    } while (Accept(","));
    if (end) EndStatement();
    return n;
  }

  NodePtr Function(Node::Kind kind) {
    NodePtr n = Make(kind, Take().at);
    if (kind == Node::kFunctionDeclaration || Peek().kind == Token::kIdentifier) n->text = Name();
    Expect("(");
    if (!Peek().Is(")")) {
      do {
        n->names.push_back(Name());
        SkipType();
      } while (Accept(","));
    }
    Expect(")");
    SkipType();
    if (!Peek().Is("{")) Fail(Peek(), "expected '{' to begin the function's body");
    n->kids.push_back(Block());
    return n;
  }

  NodePtr If() {
    NodePtr n = Make(Node::kIf, Take().at);
    Expect("(");
    n->kids.push_back(Expression());
    Expect(")");
    n->kids.push_back(Statement());
    n->kids.push_back(Peek().IsWord("else") ? (Take(), Statement()) : nullptr);
    return n;
  }

  NodePtr While() {
    NodePtr n = Make(Node::kWhile, Take().at);
    Expect("(");
    n->kids.push_back(Expression());
    Expect(")");
    n->kids.push_back(Statement());
    return n;
  }

  NodePtr DoWhile() {
    NodePtr n = Make(Node::kDoWhile, Take().at);
    n->kids.push_back(Statement());
    if (!Peek().IsWord("while")) Fail(Peek(), "expected 'while' after the body of do");
    Take();
    Expect("(");
    n->kids.push_back(Expression());
    Expect(")");
    Accept(";");
    return n;
  }

  NodePtr For() {
    SourcePosition at = Take().at;
    Expect("(");
    // for (var k in o), for (k in o)
    bool declared = Peek().IsWord("var");
    std::size_t name = declared ? 1 : 0;
    std::size_t after = name + 1;
    if (Peek(name).kind == Token::kIdentifier && Peek(after).Is(":")) {
      // var k: String in o
      after += 2;
      while (Peek(after).Is(".")) after += 2;
    }
    if (Peek(name).kind == Token::kIdentifier && Peek(after).IsWord("in")) {
      NodePtr n = Make(Node::kForIn, at);
      n->flag = declared;
      if (declared) Take();
      n->text = Name();
      SkipType();
      Take();  // in
      n->kids.push_back(Expression());
      Expect(")");
      n->kids.push_back(Statement());
      return n;
    }
    NodePtr n = Make(Node::kFor, at);
    if (Peek().Is(";")) {
      n->kids.push_back(nullptr);
    } else if (declared) {
      n->kids.push_back(Var(false));
    } else {
      NodePtr e = Make(Node::kExpression, Peek().at);
      e->kids.push_back(Expression());
      n->kids.push_back(std::move(e));
    }
    if (Peek().IsWord("in")) Fail(Peek(), "for..in takes a plain variable name");
    Expect(";");
    n->kids.push_back(Peek().Is(";") ? nullptr : Expression());
    Expect(";");
    n->kids.push_back(Peek().Is(")") ? nullptr : Expression());
    Expect(")");
    n->kids.push_back(Statement());
    return n;
  }

  NodePtr Switch() {
    NodePtr n = Make(Node::kSwitch, Take().at);
    Expect("(");
    n->kids.push_back(Expression());
    Expect(")");
    Expect("{");
    bool sawDefault = false;
    while (!Accept("}")) {
      NodePtr c = Make(Node::kCase, Peek().at);
      if (Peek().IsWord("case")) {
        Take();
        c->kids.push_back(Expression());
      } else if (Peek().IsWord("default")) {
        if (sawDefault) Fail(Peek(), "a second default in one switch");
        sawDefault = true;
        Take();
        c->kids.push_back(nullptr);
      } else {
        Fail(Peek(), "expected 'case', 'default' or '}' but found " + Describe(Peek()));
      }
      Expect(":");
      while (!Peek().IsWord("case") && !Peek().IsWord("default") && !Peek().Is("}")) {
        if (Peek().kind == Token::kEnd) Fail(Peek(), "expected '}' but found the end of the script");
        c->kids.push_back(Statement());
      }
      n->kids.push_back(std::move(c));
    }
    return n;
  }

  // import a.b.C; names C for a.b.C in the whole script, as AS2 does.
  NodePtr Import() {
    NodePtr n = Make(Node::kImport, Take().at);
    do {
      if (Peek().Is("*")) Fail(Peek(), "import of a whole package is not supported; import each class");
      n->names.push_back(PropertyName());
    } while (Accept("."));
    if (n->names.size() < 2) throw CompileError(n->at, "import takes a class with its package");
    n->text = n->names.back();
    EndStatement();
    return n;
  }

  NodePtr Try() {
    NodePtr n = Make(Node::kTry, Take().at);
    if (!Peek().Is("{")) Fail(Peek(), "expected '{' after try");
    n->kids.push_back(Block());
    n->kids.push_back(nullptr);
    n->kids.push_back(nullptr);
    if (Peek().IsWord("catch")) {
      Take();
      Expect("(");
      n->text = Name();
      SkipType();
      Expect(")");
      if (Peek().IsWord("if")) Fail(Peek(), "conditional catch is not supported");
      if (!Peek().Is("{")) Fail(Peek(), "expected '{' after catch");
      n->kids[1] = Block();
      if (Peek().IsWord("catch")) Fail(Peek(), "only one catch is supported");
    }
    if (Peek().IsWord("finally")) {
      Take();
      if (!Peek().Is("{")) Fail(Peek(), "expected '{' after finally");
      n->kids[2] = Block();
    }
    if (!n->kids[1] && !n->kids[2]) Fail(Peek(), "try needs a catch or a finally");
    return n;
  }

  // Expressions, from the loosest binding in.
  NodePtr Expression() {
    NodePtr e = Assignment();
    if (!Peek().Is(",")) return e;
    NodePtr s = Make(Node::kSequence, e->at);
    s->kids.push_back(std::move(e));
    while (Accept(",")) s->kids.push_back(Assignment());
    return s;
  }

  static bool IsTarget(const Node& n) {
    return n.kind == Node::kIdentifier || n.kind == Node::kMember || n.kind == Node::kIndex;
  }

  NodePtr Assignment() {
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

  NodePtr Conditional() {
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
  NodePtr Binary(int level) {
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

  NodePtr Unary() {
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

  NodePtr Postfix() {
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

  std::vector<NodePtr> Arguments() {
    std::vector<NodePtr> args;
    Expect("(");
    if (!Peek().Is(")")) {
      do args.push_back(Assignment());
      while (Accept(","));
    }
    Expect(")");
    return args;
  }

  std::string PropertyName() {
    const Token& t = Peek();
    if (t.kind != Token::kIdentifier) Fail(t, "expected a property name after '.' but found " + Describe(t));
    return Take().text;
  }

  NodePtr CallOrMember(NodePtr e, bool calls) {
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

  NodePtr Primary() {
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

  std::vector<Token> t_;
  std::size_t i_ = 0;
  int depth_ = 0;
};

}  // namespace

NodePtr Parse(std::string_view source) { return Parser(source).Program(); }

}  // namespace avm1

#include "book/as_parser.h"

#include "book/as_expression_parser.h"

namespace avm1 {

namespace {

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

class Parser : public ExpressionParser {
 public:
  using ExpressionParser::ExpressionParser;

  NodePtr Program() {
    NodePtr block = Make(Node::kBlock, Peek().at);
    while (Peek().kind != Token::kEnd) block->kids.push_back(Statement());
    return block;
  }

 private:
  // The end of a simple statement: ';', or a line break, '}' or the end before the next token.
  void EndStatement() {
    if (Accept(";")) return;
    const Token& t = Peek();
    if (t.Is("}") || t.kind == Token::kEnd || t.newlineBefore) return;
    Fail(t, "expected ';' but found " + Describe(t));
  }

  NodePtr Statement() {
    Depth depth(*this);
    const Token& t = Peek();
    if (t.kind == Token::kIdentifier) {
      for (auto [word, message] : kUnsupported)
        if (t.text == word && ((t.text != "on" && t.text != "onClipEvent") || Peek(1).Is("(")) &&
            !(Peek(1).Is("=") || Peek(1).Is(".")))
          Fail(t, message);
      if (Peek(1).Is(":") && !Reserved(t.text)) Fail(t, "statement labels are not supported");
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

  NodePtr Function(Node::Kind kind) override {
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
};

}  // namespace

NodePtr Parse(std::string_view source) { return Parser(source).Program(); }

}  // namespace avm1

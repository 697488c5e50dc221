#pragma once

// The compiler's code generator, shared by its statement, expression and
// built-in function parts. Internal to the compiler.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "book/as_compiler.h"
#include "book/as_syntax.h"
#include "book/avm1_assembler.h"

namespace avm1 {

class CodeGen {
 public:
  explicit CodeGen(const CompileOptions& options);
  std::vector<std::uint8_t> Program(const Node& program);

 private:
  // What a break, continue or return passes on its way out.
  struct Construct {
    enum Kind { kLoop, kForIn, kSwitch, kWith, kTry, kTellTarget } kind;
    Label breakTo, continueTo;
  };
  // One function's (or the script's) variables and registers.
  struct Scope {
    bool function = false;
    bool registers = false;  // locals live in registers (DefineFunction2)
    std::map<std::string, std::uint8_t> locals;
    std::uint8_t temps[2] = {0, 1};  // registers for values held a moment
    std::vector<Construct> constructs;
  };

  // Statements (as_statements.cpp).
  void Statements(const std::vector<NodePtr>& list, bool hoist);
  void Statement(const Node& s);
  void Function(const Node& f);
  void Var(const Node& declaration);
  void ForIn(const Node& s);
  void Switch(const Node& s);
  void Try(const Node& s);
  void Jump(const Node& s);
  void Return(const Node& s);
  void PopForIn();
  Scope FunctionScope(const Node& f) const;

  // Expressions (as_expressions.cpp).
  void Value(const Node& e);
  void Discard(const Node& e);
  void Condition(const Node& e, Label whenFalse);
  void Assign(const Node& e, bool keep);
  void Update(const Node& e, bool keep);
  void Call(const Node& e, bool keep);
  void New(const Node& e);
  void Callee(const Node& callee, Action byName, Action byMethod);
  void Binary(const Node& e);
  void Arguments(const Node& call);  // the arguments, last first, then their count
  // A member target's object and name, then its value: [object, name, value].
  void MemberWithValue(const Node& target);
  void MemberTarget(const Node& target);
  std::optional<std::uint8_t> Local(const std::string& name) const;
  // The package path an imported class's name stands for; null when it is none.
  const std::vector<std::string>* Imported(const std::string& name) const;
  void PushPath(const std::vector<std::string>& path, std::size_t count, const Node& at);

  // Global functions that are actions (as_builtins.cpp): true when `call` is one.
  bool Builtin(const Node& call, bool keep);

  // Emitting, with the movie's version checked.
  void Op(Action action, const Node& at);
  void PushString(const std::string& s, const Node& at);
  void CheckText(const std::string& s, const Node& at) const;
  void PushNumber(double v);
  void RequireVersion(int version, const Node& at, const std::string& what) const;
  [[noreturn]] void Fail(const Node& at, const std::string& message) const;
  Scope& scope() { return scopes_.back(); }
  const Scope& scope() const { return scopes_.back(); }

  CompileOptions options_;
  Assembler a_;
  std::vector<Scope> scopes_;
  std::map<std::string, std::vector<std::string>> imports_;
};

}  // namespace avm1

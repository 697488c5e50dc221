// The compiler's statements, functions and the ways out of loops and blocks.
#include <functional>

#include "book/as_codegen.h"
#include "book/as_parser.h"

namespace avm1 {

// Function declarations come first, so a script may call a function it
// declares further down, as the format's own compilers allow.
void CodeGen::Statements(const std::vector<NodePtr>& list, bool hoist) {
  if (hoist)
    for (const auto& s : list)
      if (s->kind == Node::kFunctionDeclaration) Function(*s);
  for (const auto& s : list)
    if (!hoist || s->kind != Node::kFunctionDeclaration) Statement(*s);
}

namespace {
// Whether a function's locals may live in registers: nothing in it reaches
// variables by name at run time (a nested function's scope, with, eval, set).
bool ReachesVariablesByName(const Node& n) {
  if (n.kind == Node::kFunction || n.kind == Node::kFunctionDeclaration || n.kind == Node::kWith) return true;
  if (n.kind == Node::kCall && n.kids[0]->kind == Node::kIdentifier &&
      (n.kids[0]->text == "eval" || n.kids[0]->text == "set"))
    return true;
  for (const auto& k : n.kids)
    if (k && ReachesVariablesByName(*k)) return true;
  return false;
}

void CollectLocals(const Node& n, std::vector<std::string>& names) {
  if (n.kind == Node::kVarDeclaration || (n.kind == Node::kForIn && n.flag) ||
      (n.kind == Node::kTry && n.kids[1]))
    names.push_back(n.text);
  for (const auto& k : n.kids)
    if (k) CollectLocals(*k, names);
}
}  // namespace

CodeGen::Scope CodeGen::FunctionScope(const Node& f) const {
  Scope s;
  s.function = true;
  const Node& body = *f.kids[0];
  if (options_.swfVersion < 7 || ReachesVariablesByName(body)) return s;  // temps r0 and r1
  std::vector<std::string> names = f.names;
  CollectLocals(body, names);
  int next = 1;  // r0 is a temp
  for (const auto& name : names) {
    if (s.locals.count(name)) continue;
    if (next >= 254) return Scope{.function = true};  // too many: all by name
    s.locals[name] = static_cast<std::uint8_t>(next++);
  }
  s.registers = true;
  s.temps[1] = static_cast<std::uint8_t>(next);
  return s;
}

void CodeGen::Function(const Node& f) {
  CheckText(f.text, f);
  for (const auto& name : f.names) CheckText(name, f);
  Label end = a_.NewLabel();
  Scope s = FunctionScope(f);
  if (options_.swfVersion >= 7) {
    Function2 fn{.name = f.text, .registerCount = static_cast<std::uint8_t>(s.temps[1] + 1)};
    for (const auto& name : f.names)
      fn.parameters.push_back({s.registers ? s.locals.at(name) : std::uint8_t{0}, name});
    a_.DefineFunction2(fn, end);
  } else {
    a_.DefineFunction(f.text, f.names, end);
  }
  scopes_.push_back(std::move(s));
  Statements(f.kids[0]->kids, true);
  scopes_.pop_back();
  a_.Bind(end);
}

void CodeGen::Var(const Node& d) {
  const Node* init = d.kids[0].get();
  if (auto r = Local(d.text)) {
    if (!init) return;
    Value(*init);
    a_.StoreRegister(*r);
    a_.Emit(Action::kPop);
    return;
  }
  PushString(d.text, d);
  if (init) {
    Value(*init);
    Op(Action::kDefineLocal, d);
  } else {
    Op(Action::kDefineLocal2, d);
  }
}

void CodeGen::Statement(const Node& s) {
  switch (s.kind) {
    case Node::kEmpty:
    case Node::kImport: break;
    case Node::kBlock: Statements(s.kids, false); break;
    case Node::kExpression: Discard(*s.kids[0]); break;
    case Node::kVar:
      for (const auto& d : s.kids) Var(*d);
      break;
    case Node::kFunctionDeclaration: Function(s); break;
    case Node::kIf: {
      Label otherwise = a_.NewLabel();
      Condition(*s.kids[0], otherwise);
      Statement(*s.kids[1]);
      if (s.kids[2]) {
        Label end = a_.NewLabel();
        a_.Jump(end);
        a_.Bind(otherwise);
        Statement(*s.kids[2]);
        a_.Bind(end);
      } else {
        a_.Bind(otherwise);
      }
      break;
    }
    case Node::kWhile: {
      Label top = a_.NewLabel(), end = a_.NewLabel();
      a_.Bind(top);
      Condition(*s.kids[0], end);
      scope().constructs.push_back({Construct::kLoop, end, top});
      Statement(*s.kids[1]);
      scope().constructs.pop_back();
      a_.Jump(top);
      a_.Bind(end);
      break;
    }
    case Node::kDoWhile: {
      Label top = a_.NewLabel(), test = a_.NewLabel(), end = a_.NewLabel();
      a_.Bind(top);
      scope().constructs.push_back({Construct::kLoop, end, test});
      Statement(*s.kids[0]);
      scope().constructs.pop_back();
      a_.Bind(test);
      Value(*s.kids[1]);
      a_.If(top);
      a_.Bind(end);
      break;
    }
    case Node::kFor: {
      Label top = a_.NewLabel(), next = a_.NewLabel(), end = a_.NewLabel();
      if (s.kids[0]) Statement(*s.kids[0]);
      a_.Bind(top);
      if (s.kids[1]) Condition(*s.kids[1], end);
      scope().constructs.push_back({Construct::kLoop, end, next});
      Statement(*s.kids[3]);
      scope().constructs.pop_back();
      a_.Bind(next);
      if (s.kids[2]) Discard(*s.kids[2]);
      a_.Jump(top);
      a_.Bind(end);
      break;
    }
    case Node::kForIn: ForIn(s); break;
    case Node::kSwitch: Switch(s); break;
    case Node::kBreak:
    case Node::kContinue: Jump(s); break;
    case Node::kReturn: Return(s); break;
    case Node::kWith: {
      Label end = a_.NewLabel();
      Value(*s.kids[0]);
      a_.With(end);
      scope().constructs.push_back({Construct::kWith, {}, {}});
      Statement(*s.kids[1]);
      scope().constructs.pop_back();
      a_.Bind(end);
      break;
    }
    case Node::kTellTarget: {
      if (s.kids[0]->kind == Node::kString) {
        CheckText(s.kids[0]->text, *s.kids[0]);
        a_.SetTarget(s.kids[0]->text);
      } else {
        Value(*s.kids[0]);
        Op(Action::kSetTarget2, s);
      }
      scope().constructs.push_back({Construct::kTellTarget, {}, {}});
      Statement(*s.kids[1]);
      scope().constructs.pop_back();
      a_.SetTarget("");
      break;
    }
    case Node::kTry: Try(s); break;
    case Node::kThrow:
      Value(*s.kids[0]);
      Op(Action::kThrow, s);
      break;
    default: Fail(s, "not a statement");
  }
}

// Enumerate leaves the names on the stack above a null; each turn takes one.
void CodeGen::ForIn(const Node& s) {
  const Node& object = *s.kids[0];
  if (options_.swfVersion >= 6) {
    Value(object);
    Op(Action::kEnumerate2, s);
  } else {
    // SWF 5 enumerates a variable given by its path.
    std::function<std::string(const Node&)> path = [&](const Node& n) -> std::string {
      if (n.kind == Node::kIdentifier && !Local(n.text)) return n.text;
      if (n.kind == Node::kMember) return path(*n.kids[0]) + "." + n.text;
      Fail(n, "in SWF 5, for..in takes a variable or a chain of properties");
    };
    PushString(path(object), object);
    Op(Action::kEnumerate, s);
  }
  Label top = a_.NewLabel(), end = a_.NewLabel();
  const std::uint8_t t = scope().temps[0];
  a_.Bind(top);
  a_.StoreRegister(t);
  a_.Push({PushValue::Null()});
  Op(Action::kEquals2, s);
  a_.If(end);
  if (auto r = Local(s.text)) {
    a_.Push({PushValue::Register(t)});
    a_.StoreRegister(*r);
    a_.Emit(Action::kPop);
  } else {
    PushString(s.text, s);
    a_.Push({PushValue::Register(t)});
    Op(s.flag ? Action::kDefineLocal : Action::kSetVariable, s);
  }
  scope().constructs.push_back({Construct::kForIn, end, top});
  Statement(*s.kids[1]);
  scope().constructs.pop_back();
  a_.Jump(top);
  a_.Bind(end);
}

// The names a for..in has not taken yet, off the stack, its null too.
void CodeGen::PopForIn() {
  Label loop = a_.NewLabel();
  a_.Bind(loop);
  a_.Push({PushValue::Null()});
  a_.Emit(Action::kEquals2);
  a_.Emit(Action::kNot);
  a_.If(loop);
}

// The value under test stays on the stack until a case matches.
void CodeGen::Switch(const Node& s) {
  Value(*s.kids[0]);
  Label end = a_.NewLabel();
  std::vector<Label> bodies;
  std::optional<Label> otherwise;
  for (std::size_t i = 1; i < s.kids.size(); ++i) {
    const Node& c = *s.kids[i];
    bodies.push_back(a_.NewLabel());
    if (!c.kids[0]) {
      otherwise = bodies.back();
      continue;
    }
    Label next = a_.NewLabel();
    a_.Emit(Action::kPushDuplicate);
    Value(*c.kids[0]);
    a_.Emit(options_.swfVersion >= 6 ? Action::kStrictEquals : Action::kEquals2);
    a_.Emit(Action::kNot);
    a_.If(next);
    a_.Emit(Action::kPop);
    a_.Jump(bodies.back());
    a_.Bind(next);
  }
  a_.Emit(Action::kPop);
  a_.Jump(otherwise ? *otherwise : end);
  scope().constructs.push_back({Construct::kSwitch, end, {}});
  for (std::size_t i = 1; i < s.kids.size(); ++i) {
    a_.Bind(bodies[i - 1]);
    for (std::size_t k = 1; k < s.kids[i]->kids.size(); ++k) Statement(*s.kids[i]->kids[k]);
  }
  scope().constructs.pop_back();
  a_.Bind(end);
}

void CodeGen::Try(const Node& s) {
  RequireVersion(7, s, "try");
  TryBlock t{.end = a_.NewLabel()};
  if (s.kids[1]) {
    t.catchStart = a_.NewLabel();
    if (auto r = Local(s.text)) {
      t.catchRegister = *r;
    } else {
      CheckText(s.text, s);
      t.catchName = s.text;
      if (scope().function) {  // the caught value is the function's own variable
        PushString(s.text, s);
        Op(Action::kDefineLocal2, s);
      }
    }
  }
  if (s.kids[2]) t.finallyStart = a_.NewLabel();
  a_.Try(t);
  scope().constructs.push_back({Construct::kTry, {}, {}});
  Statement(*s.kids[0]);
  if (s.kids[1]) {
    a_.Bind(*t.catchStart);
    Statement(*s.kids[1]);
  }
  if (s.kids[2]) {
    a_.Bind(*t.finallyStart);
    Statement(*s.kids[2]);
  }
  scope().constructs.pop_back();
  a_.Bind(t.end);
}

void CodeGen::Jump(const Node& s) {
  const bool isBreak = s.kind == Node::kBreak;
  const char* word = isBreak ? "break" : "continue";
  auto& constructs = scope().constructs;
  for (auto c = constructs.rbegin(); c != constructs.rend(); ++c) {
    // The player runs these blocks as calls of their own: a jump out of one
    // would not land where it says.
    if (c->kind == Construct::kWith) Fail(s, std::string(word) + " cannot leave a with block");
    if (c->kind == Construct::kTry)
      Fail(s, std::string(word) + " cannot leave a try, catch or finally block");
    if (c->kind == Construct::kTellTarget) {
      a_.SetTarget("");
      continue;
    }
    if (c->kind == Construct::kSwitch && !isBreak) continue;
    if (isBreak && c->kind == Construct::kForIn) PopForIn();
    a_.Jump(isBreak ? c->breakTo : c->continueTo);
    return;
  }
  Fail(s, isBreak ? "break outside a loop or switch" : "continue outside a loop");
}

void CodeGen::Return(const Node& s) {
  int forIns = 0;
  bool target = false;
  for (const auto& c : scope().constructs) {
    forIns += c.kind == Construct::kForIn;
    target |= c.kind == Construct::kTellTarget;
  }
  if (s.kids[0])
    Value(*s.kids[0]);
  else
    a_.Push({PushValue::Undefined()});
  if (forIns) {
    const std::uint8_t t = scope().temps[0];
    a_.StoreRegister(t);
    a_.Emit(Action::kPop);
    for (int i = 0; i < forIns; ++i) PopForIn();
    a_.Push({PushValue::Register(t)});
  }
  if (target) a_.SetTarget("");
  Op(Action::kReturn, s);
}

}  // namespace avm1

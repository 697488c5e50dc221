// The compiler's expressions: each leaves one value on the stack, or none where it is discarded.
#include <cmath>
#include <limits>

#include "book/as_codegen.h"

namespace avm1 {

namespace {

// Operators that are one action each.
Action BinaryAction(const std::string& op) {
  static const std::pair<const char*, Action> table[] = {
      {"+", Action::kAdd2},           {"-", Action::kSubtract},     {"*", Action::kMultiply},
      {"/", Action::kDivide},         {"%", Action::kModulo},       {"&", Action::kBitAnd},
      {"|", Action::kBitOr},          {"^", Action::kBitXor},       {"<<", Action::kBitLShift},
      {">>", Action::kBitRShift},     {">>>", Action::kBitURShift}, {"==", Action::kEquals2},
      {"===", Action::kStrictEquals}, {"<", Action::kLess2},        {"instanceof", Action::kInstanceOf}};
  for (auto [name, action] : table)
    if (op == name) return action;
  return Action::kEnd;
}
}  // namespace

void CodeGen::Value(const Node& e) {
  switch (e.kind) {
    case Node::kNumber: PushNumber(e.number); break;
    case Node::kString: PushString(e.text, e); break;
    case Node::kTrue: a_.Push({true}); break;
    case Node::kFalse: a_.Push({false}); break;
    case Node::kNull: a_.Push({PushValue::Null()}); break;
    case Node::kUndefined: a_.Push({PushValue::Undefined()}); break;
    case Node::kIdentifier:
      if (auto r = Local(e.text)) {
        a_.Push({PushValue::Register(*r)});
      } else if (auto path = Imported(e.text)) {
        PushPath(*path, path->size(), e);
      } else if (e.text == "NaN") {
        a_.Push({std::numeric_limits<double>::quiet_NaN()});
      } else if (e.text == "Infinity") {
        a_.Push({std::numeric_limits<double>::infinity()});
      } else if (e.text == "newline") {
        a_.Push({"\n"});
      } else {
        PushString(e.text, e);
        Op(Action::kGetVariable, e);
      }
      break;
    case Node::kThis:
      a_.Push({"this"});
      Op(Action::kGetVariable, e);
      break;
    case Node::kMember:
    case Node::kIndex:
      MemberTarget(e);
      Op(Action::kGetMember, e);
      break;
    case Node::kCall: Call(e, true); break;
    case Node::kNew: New(e); break;
    case Node::kAssign: Assign(e, true); break;
    case Node::kUpdate: Update(e, true); break;
    case Node::kUnary: {
      const Node& x = *e.kids[0];
      if (e.text == "delete") {
        if (x.kind == Node::kIdentifier) {
          if (Local(x.text)) {
            a_.Push({false});  // a declared variable cannot be deleted
          } else {
            PushString(x.text, x);
            Op(Action::kDelete2, e);
          }
        } else {
          MemberTarget(x);
          Op(Action::kDelete, e);
        }
      } else if (e.text == "-") {
        if (x.kind == Node::kNumber) {
          PushNumber(-x.number);
        } else {
          a_.Push({0});
          Value(x);
          Op(Action::kSubtract, e);
        }
      } else {
        Value(x);
        if (e.text == "!") Op(Action::kNot, e);
        if (e.text == "+") Op(Action::kToNumber, e);
        if (e.text == "typeof") Op(Action::kTypeOf, e);
        if (e.text == "~") {
          a_.Push({-1});
          Op(Action::kBitXor, e);
        }
        if (e.text == "void") {
          a_.Emit(Action::kPop);
          a_.Push({PushValue::Undefined()});
        }
      }
      break;
    }
    case Node::kBinary: Binary(e); break;
    case Node::kLogical: {
      Label end = a_.NewLabel();
      Value(*e.kids[0]);
      Op(Action::kPushDuplicate, e);
      if (e.text == "&&") a_.Emit(Action::kNot);
      a_.If(end);
      a_.Emit(Action::kPop);
      Value(*e.kids[1]);
      a_.Bind(end);
      break;
    }
    case Node::kConditional: {
      Label otherwise = a_.NewLabel(), end = a_.NewLabel();
      Condition(*e.kids[0], otherwise);
      Value(*e.kids[1]);
      a_.Jump(end);
      a_.Bind(otherwise);
      Value(*e.kids[2]);
      a_.Bind(end);
      break;
    }
    case Node::kArray:
      // InitArray takes the first element last.
      for (auto k = e.kids.rbegin(); k != e.kids.rend(); ++k) Value(**k);
      PushNumber(static_cast<double>(e.kids.size()));
      Op(Action::kInitArray, e);
      break;
    case Node::kObject:
      for (std::size_t i = 0; i < e.kids.size(); i += 2) {
        PushString(e.kids[i]->text, *e.kids[i]);
        Value(*e.kids[i + 1]);
      }
      PushNumber(static_cast<double>(e.kids.size() / 2));
      Op(Action::kInitObject, e);
      break;
    case Node::kFunction:
      // A named DefineFunction defines its name instead of leaving the function on the stack.
      if (!e.text.empty()) Fail(e, "a function expression cannot have a name; declare the function instead");
      Function(e);
      break;
    case Node::kSequence:
      for (std::size_t i = 0; i + 1 < e.kids.size(); ++i) Discard(*e.kids[i]);
      Value(*e.kids.back());
      break;
    default: Fail(e, "not a value");
  }
}

void CodeGen::Discard(const Node& e) {
  switch (e.kind) {
    case Node::kAssign: Assign(e, false); break;
    case Node::kUpdate: Update(e, false); break;
    case Node::kCall: Call(e, false); break;
    case Node::kSequence:
      for (const auto& k : e.kids) Discard(*k);
      break;
    default: Value(e); a_.Emit(Action::kPop);
  }
}

void CodeGen::Condition(const Node& e, Label whenFalse) {
  if (e.kind == Node::kUnary && e.text == "!") {
    Value(*e.kids[0]);
  } else {
    Value(e);
    a_.Emit(Action::kNot);
  }
  a_.If(whenFalse);
}

void CodeGen::Binary(const Node& e) {
  const std::string& op = e.text;
  Value(*e.kids[0]);
  Value(*e.kids[1]);
  if (op == "!=" || op == "!==") {
    Op(op == "!=" ? Action::kEquals2 : Action::kStrictEquals, e);
    a_.Emit(Action::kNot);
  } else if (op == ">" || op == "<=") {
    // a > b is b < a; a <= b is not (a > b), as the format's compilers give it.
    if (options_.swfVersion >= 6) {
      Op(Action::kGreater, e);
    } else {
      a_.Emit(Action::kStackSwap);
      Op(Action::kLess2, e);
    }
    if (op == "<=") a_.Emit(Action::kNot);
  } else if (op == ">=") {
    Op(Action::kLess2, e);
    a_.Emit(Action::kNot);
  } else {
    Action a = BinaryAction(op);
    if (a == Action::kEnd) Fail(e, "the operator '" + op + "' is not supported");
    Op(a, e);
  }
}

// [object, name] of a member or index target.
void CodeGen::MemberTarget(const Node& t) {
  Value(*t.kids[0]);
  if (t.kind == Node::kMember)
    PushString(t.text, t);
  else
    Value(*t.kids[1]);
}

// [object, name, value]: the object and name taken once, kept a moment in
// the temps while nothing else runs.
void CodeGen::MemberWithValue(const Node& t) {
  const std::uint8_t object = scope().temps[0], name = scope().temps[1];
  MemberTarget(t);
  a_.StoreRegister(name);
  a_.Emit(Action::kPop);
  a_.StoreRegister(object);
  a_.Push({PushValue::Register(name), PushValue::Register(object), PushValue::Register(name)});
  Op(Action::kGetMember, t);
}

void CodeGen::Assign(const Node& e, bool keep) {
  const Node& target = *e.kids[0];
  const Node& value = *e.kids[1];
  const bool compound = e.text != "=";
  std::string op = compound ? e.text.substr(0, e.text.size() - 1) : "";
  auto combine = [&] {
    Value(value);
    if (op == "+") {
      Op(Action::kAdd2, e);
    } else {
      Action a = BinaryAction(op);
      if (a == Action::kEnd) Fail(e, "the operator '" + e.text + "' is not supported");
      Op(a, e);
    }
  };
  // What the target gets: its old value combined with the value, or the value.
  auto assigned = [&](auto pushOld) {
    if (compound) {
      pushOld();
      combine();
    } else {
      Value(value);
    }
  };
  if (target.kind == Node::kIdentifier) {
    if (Imported(target.text)) Fail(target, "an imported class's name cannot be assigned");
    if (auto r = Local(target.text)) {
      assigned([&] { a_.Push({PushValue::Register(*r)}); });
      a_.StoreRegister(*r);
      if (!keep) a_.Emit(Action::kPop);
      return;
    }
    auto old = [&] {
      PushString(target.text, target);
      Op(Action::kGetVariable, target);
    };
    if (!keep) {
      PushString(target.text, target);
      assigned(old);
      Op(Action::kSetVariable, e);
      return;
    }
    // The value stays under the name: [v, v] -> [v, name, v] -> set.
    assigned(old);
    Op(Action::kPushDuplicate, e);
    PushString(target.text, target);
    a_.Emit(Action::kStackSwap);
    Op(Action::kSetVariable, e);
    return;
  }
  if (compound) {
    MemberWithValue(target);
    combine();
  } else {
    MemberTarget(target);
    Value(value);
  }
  if (keep) a_.StoreRegister(scope().temps[0]);
  Op(Action::kSetMember, e);
  if (keep) a_.Push({PushValue::Register(scope().temps[0])});
}

void CodeGen::Update(const Node& e, bool keep) {
  const Node& target = *e.kids[0];
  const Action step = e.text == "++" ? Action::kIncrement : Action::kDecrement;
  const bool prefix = e.flag;
  if (target.kind == Node::kIdentifier) {
    if (Imported(target.text)) Fail(target, "an imported class's name cannot be assigned");
    if (auto r = Local(target.text)) {
      a_.Push({PushValue::Register(*r)});
      if (keep && !prefix) {
        Op(Action::kToNumber, e);
        a_.Emit(Action::kPushDuplicate);
      }
      Op(step, e);
      a_.StoreRegister(*r);
      if (!keep || !prefix) a_.Emit(Action::kPop);
      return;
    }
    if (!keep) {
      PushString(target.text, target);
      PushString(target.text, target);
      Op(Action::kGetVariable, target);
      Op(step, e);
      Op(Action::kSetVariable, e);
      return;
    }
    PushString(target.text, target);
    Op(Action::kGetVariable, target);
    if (!prefix) {
      Op(Action::kToNumber, e);
      Op(Action::kPushDuplicate, e);  // [old, old]
      Op(step, e);                    // [old, new]
    } else {
      Op(step, e);
      Op(Action::kPushDuplicate, e);  // [new, new]
    }
    PushString(target.text, target);
    a_.Emit(Action::kStackSwap);
    Op(Action::kSetVariable, e);
    return;
  }
  MemberWithValue(target);  // [object, name, old]
  const std::uint8_t t = scope().temps[0];
  if (keep && !prefix) {
    Op(Action::kToNumber, e);
    a_.StoreRegister(t);
  }
  Op(step, e);
  if (keep && prefix) a_.StoreRegister(t);
  Op(Action::kSetMember, e);
  if (keep) a_.Push({PushValue::Register(t)});
}

void CodeGen::Arguments(const Node& call) {
  for (std::size_t i = call.kids.size() - 1; i >= 1; --i) Value(*call.kids[i]);
  PushNumber(static_cast<double>(call.kids.size() - 1));
}

// The function a call or new takes: by name from the scope, as a method
// of an object, or any other value (called with no name).
void CodeGen::Callee(const Node& callee, Action byName, Action byMethod) {
  const auto* path = callee.kind == Node::kIdentifier ? Imported(callee.text) : nullptr;
  if (path) {
    PushPath(*path, path->size() - 1, callee);
    PushString(path->back(), callee);
    Op(byMethod, callee);
  } else if (callee.kind == Node::kIdentifier && !Local(callee.text)) {
    PushString(callee.text, callee);
    Op(byName, callee);
  } else if (callee.kind == Node::kMember || callee.kind == Node::kIndex) {
    MemberTarget(callee);
    Op(byMethod, callee);
  } else {
    Value(callee);
    a_.Push({PushValue::Undefined()});
    Op(byMethod, callee);
  }
}

void CodeGen::Call(const Node& e, bool keep) {
  const Node& callee = *e.kids[0];
  if (callee.kind == Node::kIdentifier && !Local(callee.text) && !Imported(callee.text) && Builtin(e, keep))
    return;
  Arguments(e);
  Callee(callee, Action::kCallFunction, Action::kCallMethod);
  if (!keep) a_.Emit(Action::kPop);
}

void CodeGen::New(const Node& e) {
  Arguments(e);
  Callee(*e.kids[0], Action::kNewObject, Action::kNewMethod);
}

}  // namespace avm1

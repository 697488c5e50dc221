// The stand-in's actions on names: variables, the target clip, objects and
// arrays, their members and methods, and the clip properties GetProperty
// and SetProperty reach by number.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>

#include "player/avm1_actions.h"
#include "player/script_machine.h"

namespace player::script {

namespace {

using player::avm1::PropertyName;

bool Settable(const std::string& name) {
  for (const char* fixed : {"_currentframe", "_totalframes", "_framesloaded", "_target", "_droptarget",
                            "_url", "_xmouse", "_ymouse"})
    if (name == fixed) return false;
  return true;
}

}  // namespace

bool Machine::Access(Action op, Payload& p) {
  using enum Action;
  switch (op) {
    case kGetVariable: Push(t_.GetVariable(PopText(), target_)); break;
    case kSetVariable:
    case kDefineLocal: {
      Value v = Pop();
      t_.SetVariable(PopText(), std::move(v), target_);
      break;
    }
    case kDefineLocal2: Pop(); break;
    case kNewObject: NewObject(); break;
    case kInitArray: InitArray(); break;
    case kInitObject: InitObject(); break;
    case kGetMember: {
      std::string name = PopText();
      Value object = Pop();
      Push(object.kind == Value::kObject ? t_.Member(object.object, name) : Value::Undefined());
      break;
    }
    case kSetMember: {
      Value v = Pop();
      std::string name = PopText();
      Value object = Pop();
      if (object.kind == Value::kObject) SetProperty(rules_, object.object, name, std::move(v));
      break;
    }
    case kCallMethod: CallMethod(); break;
    case kGetProperty: {
      const char* name = PropertyName(PopNumber());
      ObjectRef clip = ClipAt(PopText());
      Push(clip && name ? t_.Member(clip, name) : Value::Undefined());
      break;
    }
    case kSetProperty: {
      Value v = Pop();
      const char* name = PropertyName(PopNumber());
      ObjectRef clip = ClipAt(PopText());
      if (clip && name && Settable(name)) SetProperty(rules_, clip, name, std::move(v));
      break;
    }
    case kSetTarget: SetTarget(p.Text()); break;
    case kSetTarget2: SetTarget(PopText()); break;
    default: return false;
  }
  return true;
}

std::size_t Machine::PopCount() {
  double n = PopNumber();
  if (!(n > 0)) return 0;
  return static_cast<std::size_t>(std::min<double>(n, static_cast<double>(stack_.size())));
}

void Machine::NewObject() {
  std::string kind = PopText();
  std::size_t args = PopCount();
  auto o = std::make_shared<Object>();
  if (rules_.Key(kind) == rules_.Key("Array")) {
    o->kind = Object::kArray;
    if (args == 1) {
      double n = PopNumber();
      o->length = n >= 0 && n < 1e6 ? std::floor(n) : 0;
    } else {
      for (std::size_t i = 0; i < args; ++i) SetProperty(rules_, o, std::to_string(i), Pop());
    }
  } else {
    for (std::size_t i = 0; i < args; ++i) Pop();
  }
  Push(Value::Of(o));
}

void Machine::InitArray() {
  auto o = std::make_shared<Object>();
  o->kind = Object::kArray;
  std::size_t n = PopCount();
  for (std::size_t i = 0; i < n; ++i) {
    Value v = Pop();
    if (v.kind != Value::kUndefined) SetProperty(rules_, o, std::to_string(i), std::move(v));
  }
  o->length = static_cast<double>(n);
  Push(Value::Of(o));
}

void Machine::InitObject() {
  auto o = std::make_shared<Object>();
  for (std::size_t n = PopCount(); n > 0 && stack_.size() >= 2; --n) {
    Value v = Pop();
    SetProperty(rules_, o, PopText(), std::move(v));
  }
  Push(Value::Of(o));
}

void Machine::CallMethod() {
  std::string method = PopText();
  Value object = Pop();
  std::vector<Value> args;
  for (std::size_t n = PopCount(); n > 0; --n) args.push_back(Pop());
  auto arg = [&](std::size_t i) { return i < args.size() ? args[i] : Value::Undefined(); };
  const bool clip = object.kind == Value::kObject && object.object->kind == Object::kClip;
  if (clip && rules_.Key(method) == rules_.Key("createEmptyMovieClip")) {
    auto child = std::make_shared<Object>();
    child->kind = Object::kClip;
    child->name = rules_.ToString(arg(0));
    child->parent = object.object;
    SetProperty(rules_, object.object, child->name, Value::Of(child));
    return Push(Value::Of(child));
  }
  if (object.kind == Value::kObject && object.object->kind == Object::kArray &&
      rules_.Key(method) == rules_.Key("push")) {
    for (Value& v : args) SetProperty(rules_, object.object, NumberText(object.object->length), std::move(v));
    return PushNumber(object.object->length);
  }
  Push({});  // a method the stand-in does not have
}

// The clip at a target path; "" is the clip the actions run on now.
ObjectRef Machine::ClipAt(const std::string& path) const {
  if (path.empty()) return target_;
  Value clip = t_.GetVariable(path + (path.back() == '/' ? "" : "/"), target_);
  return clip.kind == Value::kObject && clip.object->kind == Object::kClip ? clip.object : nullptr;
}

void Machine::SetTarget(const std::string& path) {
  if (path.empty()) {
    target_ = original_;
    return;
  }
  Value clip = t_.GetVariable(path + (path.back() == '/' ? "" : "/"), target_);
  target_ = clip.kind == Value::kObject ? clip.object : original_;
}

}  // namespace player::script

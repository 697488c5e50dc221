#pragma once

// The stack machine that runs a movie's action lists for the stand-in; its
// work is split by kind: script_actions.cpp reads the records and runs the
// timeline and flow actions, script_operators.cpp the operators on values,
// script_objects.cpp variables, objects, members and clip properties.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "player/avm1_actions.h"
#include "player/script_timeline.h"

namespace player::script {

// Reads a record's payload; a payload too short for what it should hold
// reads as zeros and empty texts, never past its end.
struct Payload {
  std::span<const std::uint8_t> bytes;
  std::size_t at = 0;
  bool Has(std::size_t n) const { return at + n <= bytes.size(); }
  std::uint8_t U8() { return Has(1) ? bytes[at++] : (at = bytes.size(), 0); }
  std::uint16_t U16() {
    if (!Has(2)) return at = bytes.size(), 0;
    std::uint16_t v = static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
    at += 2;
    return v;
  }
  std::uint32_t U32() {
    std::uint32_t lo = U16();
    return lo | static_cast<std::uint32_t>(U16()) << 16;
  }
  std::string Text() {
    std::size_t end = at;
    while (end < bytes.size() && bytes[end] != 0) ++end;
    std::string s(reinterpret_cast<const char*>(bytes.data() + at), end - at);
    at = end < bytes.size() ? end + 1 : end;
    return s;
  }
};

class Machine {
 public:
  using Action = avm1::Action;
  Machine(Timeline& timeline, const ObjectRef& target)
      : t_(timeline), rules_(timeline.rules()), target_(target), original_(target) {}

  void Run(std::span<const std::uint8_t> code);

 private:
  Value Pop() {
    if (stack_.empty()) return {};
    Value v = std::move(stack_.back());
    stack_.pop_back();
    return v;
  }
  void Push(Value v) { stack_.push_back(std::move(v)); }
  double PopNumber() { return rules_.ToNumber(Pop()); }
  std::string PopText() { return Text(Pop()); }
  std::string Text(const Value& v);
  void PushJoined(const std::string& a, const std::string& b);
  void PushNumber(double n) { Push(Value::Number(n)); }
  // Flash 4's comparisons and logic answer 1 or 0 before version 5.
  void PushTruth(bool b) { Push(rules_.version >= 5 ? Value::Bool(b) : Value::Number(b ? 1 : 0)); }
  // A count popped off the stack, never more than the stack holds.
  std::size_t PopCount();

  // The offset to jump by, or 0.
  long Step(Action op, Payload& p);
  void PushLiteral(Payload& p);
  void PushConstant(std::size_t i) { Push(i < pool_.size() ? Value::Text(pool_[i]) : Value::Undefined()); }
  void GetUrl(const std::string& url, const std::string& target);

  // script_operators.cpp: false for an action that is no operator.
  bool Operate(Action op);
  static std::string TypeOf(const Value& v);

  // script_objects.cpp: false for an action that touches no variable,
  // object or property.
  bool Access(Action op, Payload& p);
  void NewObject();
  void InitArray();
  void InitObject();
  void CallMethod();
  ObjectRef ClipAt(const std::string& path) const;
  void SetTarget(const std::string& path);

  Timeline& t_;
  const Rules& rules_;
  ObjectRef target_, original_;
  std::vector<Value> stack_;
  std::vector<std::string> pool_;
  Value registers_[4];
};

}  // namespace player::script

// The operators of the stand-in's actions: arithmetic, comparison, logic,
// texts, conversions and the stack's own moves.
#include <cmath>

#include "player/script_machine.h"

namespace player::script {

bool Machine::Operate(Action op) {
  using enum Action;
  switch (op) {
    case kAdd: {
      double b = PopNumber();
      PushNumber(PopNumber() + b);
      break;
    }
    case kSubtract: {
      double b = PopNumber();
      PushNumber(PopNumber() - b);
      break;
    }
    case kMultiply: PushNumber(PopNumber() * PopNumber()); break;
    case kDivide: {
      double b = PopNumber();
      PushNumber(PopNumber() / b);
      break;
    }
    case kModulo: {
      double b = PopNumber();
      PushNumber(std::fmod(PopNumber(), b));
      break;
    }
    case kEquals: PushTruth(PopNumber() == PopNumber()); break;
    case kLess: {
      double b = PopNumber();
      PushTruth(PopNumber() < b);
      break;
    }
    case kAnd: {
      bool b = rules_.ToBool(Pop());
      PushTruth(rules_.ToBool(Pop()) && b);
      break;
    }
    case kOr: {
      bool b = rules_.ToBool(Pop());
      PushTruth(rules_.ToBool(Pop()) || b);
      break;
    }
    case kNot: PushTruth(!rules_.ToBool(Pop())); break;
    case kStringEquals: PushTruth(PopText() == PopText()); break;
    case kStringLength: PushNumber(static_cast<double>(PopText().size())); break;
    case kStringAdd: {
      std::string b = PopText();
      PushJoined(PopText(), b);
      break;
    }
    case kPop: Pop(); break;
    case kToInteger: PushNumber(std::trunc(PopNumber())); break;
    case kToNumber: PushNumber(PopNumber()); break;
    case kToString: Push(Value::Text(PopText())); break;
    case kTrace: Pop(); break;
    case kTypeOf: Push(Value::Text(TypeOf(Pop()))); break;
    case kAdd2: {
      Value b = Pop(), a = Pop();
      if (a.kind == Value::kString || b.kind == Value::kString || a.kind == Value::kObject ||
          b.kind == Value::kObject) {
        std::string left = Text(a);
        PushJoined(left, Text(b));
      } else {
        PushNumber(rules_.ToNumber(a) + rules_.ToNumber(b));
      }
      break;
    }
    case kLess2: {
      Value b = Pop(), a = Pop();
      if (a.kind == Value::kString && b.kind == Value::kString) {
        Push(Value::Bool(a.text < b.text));
      } else {
        double x = rules_.ToNumber(a), y = rules_.ToNumber(b);
        Push(std::isnan(x) || std::isnan(y) ? Value::Undefined() : Value::Bool(x < y));
      }
      break;
    }
    case kGreater: {
      Value b = Pop(), a = Pop();
      Push(Value::Bool(a.kind == Value::kString && b.kind == Value::kString
                           ? a.text > b.text
                           : rules_.ToNumber(a) > rules_.ToNumber(b)));
      break;
    }
    case kEquals2: Push(Value::Bool(rules_.LooselyEqual(Pop(), Pop()))); break;
    case kStrictEquals: {
      Value b = Pop(), a = Pop();
      bool same = a.kind == b.kind && (a.kind == Value::kNumber   ? a.number == b.number
                                       : a.kind == Value::kString ? a.text == b.text
                                       : a.kind == Value::kBool   ? a.boolean == b.boolean
                                       : a.kind == Value::kObject ? a.object == b.object
                                                                  : true);
      Push(Value::Bool(same));
      break;
    }
    case kIncrement: PushNumber(PopNumber() + 1); break;
    case kDecrement: PushNumber(PopNumber() - 1); break;
    case kPushDuplicate: Push(stack_.empty() ? Value::Undefined() : stack_.back()); break;
    case kStackSwap: {
      Value b = Pop(), a = Pop();
      Push(std::move(b));
      Push(std::move(a));
      break;
    }
    default: return false;
  }
  return true;
}

std::string Machine::TypeOf(const Value& v) {
  switch (v.kind) {
    case Value::kUndefined: return "undefined";
    case Value::kNull: return "null";
    case Value::kBool: return "boolean";
    case Value::kNumber: return "number";
    case Value::kString: return "string";
    case Value::kObject: return v.object->kind == Object::kClip ? "movieclip" : "object";
  }
  return "undefined";
}

}  // namespace player::script

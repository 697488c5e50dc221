// The actions of a movie's frames, as the stand-in runs them: a stack
// machine over the format's action records. What it does not know it
// passes over, as a player of an older version would.
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>

#include "player/script_timeline.h"

namespace player::script {

namespace {

// A list that piles up values, or grows a text, without end is cut off.
constexpr std::size_t kMaxStack = 10000;
constexpr std::size_t kMaxText = 1 << 20;

enum : std::uint8_t {
  kNextFrame = 0x04,
  kPrevFrame = 0x05,
  kPlay = 0x06,
  kStop = 0x07,
  kAdd = 0x0A,
  kSubtract = 0x0B,
  kMultiply = 0x0C,
  kDivide = 0x0D,
  kEquals = 0x0E,
  kLess = 0x0F,
  kAnd = 0x10,
  kOr = 0x11,
  kNot = 0x12,
  kStringEquals = 0x13,
  kStringLength = 0x14,
  kPop = 0x17,
  kToInteger = 0x18,
  kGetVariable = 0x1C,
  kSetVariable = 0x1D,
  kSetTarget2 = 0x20,
  kGetProperty = 0x22,
  kSetProperty = 0x23,
  kStringAdd = 0x21,
  kTrace = 0x26,
  kDefineLocal = 0x3C,
  kModulo = 0x3F,
  kNewObject = 0x40,
  kDefineLocal2 = 0x41,
  kInitArray = 0x42,
  kInitObject = 0x43,
  kTypeOf = 0x44,
  kAdd2 = 0x47,
  kLess2 = 0x48,
  kEquals2 = 0x49,
  kToNumber = 0x4A,
  kToString = 0x4B,
  kPushDuplicate = 0x4C,
  kStackSwap = 0x4D,
  kGetMember = 0x4E,
  kSetMember = 0x4F,
  kIncrement = 0x50,
  kDecrement = 0x51,
  kCallMethod = 0x52,
  kStrictEquals = 0x66,
  kGreater = 0x67,
  kGotoFrame = 0x81,
  kGetUrl = 0x83,
  kStoreRegister = 0x87,
  kConstantPool = 0x88,
  kSetTarget = 0x8B,
  kGoToLabel = 0x8C,
  kPush = 0x96,
  kJump = 0x99,
  kGetUrl2 = 0x9A,
  kIf = 0x9D,
  kCall = 0x9E,
  kGotoFrame2 = 0x9F,
};

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
  Machine(Timeline& timeline, const ObjectRef& target)
      : t_(timeline), rules_(timeline.rules()), target_(target), original_(target) {}

  void Run(std::span<const std::uint8_t> code) {
    std::size_t pc = 0;
    while (pc < code.size() && t_.Spend()) {
      const std::uint8_t op = code[pc++];
      if (op == 0) return;
      Payload p;
      if (op >= 0x80) {
        if (pc + 2 > code.size()) return;
        std::size_t length = static_cast<std::size_t>(code[pc] | code[pc + 1] << 8);
        pc += 2;
        if (pc + length > code.size()) return;
        p.bytes = code.subspan(pc, length);
        pc += length;
      }
      long jump = Step(op, p);
      if (jump != 0) {
        long next = static_cast<long>(pc) + jump;
        if (next < 0 || next > static_cast<long>(code.size())) return;
        pc = static_cast<std::size_t>(next);
      }
      if (stack_.size() > kMaxStack) return;
    }
  }

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
  // A value as text, its cost charged: an array is spelled out element by element.
  std::string Text(const Value& v) {
    if (v.kind == Value::kObject && v.object->kind == Object::kArray)
      t_.Spend(static_cast<long>(std::min(v.object->length, 65536.0)));
    return rules_.ToString(v);
  }
  // Two texts joined, or the list cut off should they grow too long.
  void PushJoined(const std::string& a, const std::string& b) {
    if (a.size() + b.size() > kMaxText) return t_.Exhaust();
    t_.Spend(static_cast<long>((a.size() + b.size()) / 256));
    Push(Value::Text(a + b));
  }
  void PushNumber(double n) { Push(Value::Number(n)); }
  // Flash 4's comparisons and logic answer 1 or 0 before version 5.
  void PushTruth(bool b) { Push(rules_.version >= 5 ? Value::Bool(b) : Value::Number(b ? 1 : 0)); }

  // The offset to jump by, or 0.
  long Step(std::uint8_t op, Payload& p) {
    switch (op) {
      case kNextFrame: t_.GoTo(t_.currentFrame() + 1, false); break;
      case kPrevFrame: t_.GoTo(t_.currentFrame() - 1, false); break;
      case kPlay: t_.Play(true); break;
      case kStop: t_.Play(false); break;
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
      case kGetVariable: Push(t_.GetVariable(PopText(), target_)); break;
      case kSetVariable:
      case kDefineLocal: {
        Value v = Pop();
        t_.SetVariable(PopText(), std::move(v), target_);
        break;
      }
      case kDefineLocal2: Pop(); break;
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
      case kGotoFrame: t_.GoTo(p.U16() + 1, false); break;
      case kGoToLabel: t_.GoTo(t_.FrameOf(p.Text()), false); break;
      case kGotoFrame2: {
        std::uint8_t flags = p.U8();
        int bias = (flags & 2) ? p.U16() : 0;
        Value frame = Pop();
        int n = frame.kind == Value::kString ? t_.FrameOf(frame.text)
                                             : static_cast<int>(rules_.ToNumber(frame)) + bias;
        t_.GoTo(n, (flags & 1) != 0);
        break;
      }
      case kCall: t_.Call(PopText()); break;
      case kGetUrl: {
        std::string url = p.Text(), target = p.Text();
        GetUrl(url, target);
        break;
      }
      case kGetUrl2: {
        p.U8();
        std::string target = PopText(), url = PopText();
        GetUrl(url, target);
        break;
      }
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
      case kConstantPool: {
        pool_.clear();
        for (std::uint16_t n = p.U16(); n > 0 && p.Has(1); --n) pool_.push_back(p.Text());
        break;
      }
      case kPush:
        while (p.Has(1)) PushLiteral(p);
        break;
      case kStoreRegister: {
        std::uint8_t r = p.U8();
        if (r < 4) registers_[r] = stack_.empty() ? Value::Undefined() : stack_.back();
        break;
      }
      case kJump: return static_cast<std::int16_t>(p.U16());
      case kIf: {
        auto offset = static_cast<std::int16_t>(p.U16());
        return rules_.ToBool(Pop()) ? offset : 0;
      }
      default: break;  // not run by the stand-in
    }
    return 0;
  }

  void PushLiteral(Payload& p) {
    switch (p.U8()) {
      case 0: Push(Value::Text(p.Text())); break;
      case 1: {
        std::uint32_t bits = p.U32();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        PushNumber(f);
        break;
      }
      case 2: Push(Value::Null()); break;
      case 3: Push(Value::Undefined()); break;
      case 4: {
        std::uint8_t r = p.U8();
        Push(r < 4 ? registers_[r] : Value::Undefined());
        break;
      }
      case 5: Push(Value::Bool(p.U8() != 0)); break;
      case 6: {
        // The high word first, then the low one.
        std::uint64_t high = p.U32(), low = p.U32();
        std::uint64_t bits = high << 32 | low;
        double d;
        std::memcpy(&d, &bits, sizeof d);
        PushNumber(d);
        break;
      }
      case 7: PushNumber(static_cast<std::int32_t>(p.U32())); break;
      case 8: PushConstant(p.U8()); break;
      case 9: PushConstant(p.U16()); break;
      default: p.at = p.bytes.size(); break;  // unknown: the rest of the record means nothing
    }
  }
  void PushConstant(std::size_t i) { Push(i < pool_.size() ? Value::Text(pool_[i]) : Value::Undefined()); }

  std::size_t PopCount() {
    double n = PopNumber();
    if (!(n > 0)) return 0;
    return static_cast<std::size_t>(std::min<double>(n, static_cast<double>(stack_.size())));
  }

  void NewObject() {
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

  void InitArray() {
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

  void InitObject() {
    auto o = std::make_shared<Object>();
    for (std::size_t n = PopCount(); n > 0 && stack_.size() >= 2; --n) {
      Value v = Pop();
      SetProperty(rules_, o, PopText(), std::move(v));
    }
    Push(Value::Of(o));
  }

  void CallMethod() {
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
      for (Value& v : args)
        SetProperty(rules_, object.object, NumberText(object.object->length), std::move(v));
      return PushNumber(object.object->length);
    }
    Push({});  // a method the stand-in does not have
  }

  void GetUrl(const std::string& url, const std::string& target) {
    static constexpr char kPrefix[] = "FSCommand:";
    if (url.compare(0, sizeof kPrefix - 1, kPrefix) == 0) {
      t_.FsCommand(url.substr(sizeof kPrefix - 1), target);
    } else {
      t_.GetUrl(url, target);
    }
  }

  // The clip at a target path; "" is the clip the actions run on now.
  ObjectRef ClipAt(const std::string& path) const {
    if (path.empty()) return target_;
    Value clip = t_.GetVariable(path + (path.back() == '/' ? "" : "/"), target_);
    return clip.kind == Value::kObject && clip.object->kind == Object::kClip ? clip.object : nullptr;
  }

  void SetTarget(const std::string& path) {
    if (path.empty()) {
      target_ = original_;
      return;
    }
    Value clip = t_.GetVariable(path + (path.back() == '/' ? "" : "/"), target_);
    target_ = clip.kind == Value::kObject ? clip.object : original_;
  }

  // GetProperty's and SetProperty's property numbers.
  static const char* PropertyName(double index) {
    static constexpr const char* kNames[] = {
        "_x",          "_y",     "_xscale",      "_yscale",    "_currentframe", "_totalframes",  "_alpha",
        "_visible",    "_width", "_height",      "_rotation",  "_target",       "_framesloaded", "_name",
        "_droptarget", "_url",   "_highquality", "_focusrect", "_soundbuftime", "_quality",      "_xmouse",
        "_ymouse"};
    if (!(index >= 0 && index < static_cast<double>(std::size(kNames)))) return nullptr;
    return kNames[static_cast<std::size_t>(index)];
  }
  static bool Settable(const std::string& name) {
    for (const char* fixed : {"_currentframe", "_totalframes", "_framesloaded", "_target", "_droptarget",
                              "_url", "_xmouse", "_ymouse"})
      if (name == fixed) return false;
    return true;
  }

  std::string TypeOf(const Value& v) const {
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

  Timeline& t_;
  const Rules& rules_;
  ObjectRef target_, original_;
  std::vector<Value> stack_;
  std::vector<std::string> pool_;
  Value registers_[4];
};

}  // namespace

void RunActions(Timeline& timeline, std::span<const std::uint8_t> actions, const ObjectRef& target) {
  Machine(timeline, target).Run(actions);
}

}  // namespace player::script

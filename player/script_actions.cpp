// The actions of a movie's frames, as the stand-in runs them: a stack
// machine over the format's action records. What it does not know it
// passes over, as a player of an older version would.
#include <algorithm>
#include <cstring>

#include "player/script_machine.h"

namespace player::script {

namespace {
// A list that piles up values, or grows a text, without end is cut off.
constexpr std::size_t kMaxStack = 10000;
constexpr std::size_t kMaxText = 1 << 20;
}  // namespace

void Machine::Run(std::span<const std::uint8_t> code) {
  std::size_t pc = 0;
  while (pc < code.size() && t_.Spend()) {
    const avm1::ActionRecord record = avm1::ReadActionRecord(code, pc);
    if (!record.ok || record.code == 0) return;
    pc = record.next;
    Payload p{record.payload};
    long jump = Step(static_cast<Action>(record.code), p);
    if (jump != 0) {
      long next = static_cast<long>(pc) + jump;
      if (next < 0 || next > static_cast<long>(code.size())) return;
      pc = static_cast<std::size_t>(next);
    }
    if (stack_.size() > kMaxStack) return;
  }
}

// A value as text, its cost charged: an array is spelled out element by element.
std::string Machine::Text(const Value& v) {
  if (v.kind == Value::kObject && v.object->kind == Object::kArray)
    t_.Spend(static_cast<long>(std::min(v.object->length, 65536.0)));
  return rules_.ToString(v);
}

// Two texts joined, or the list cut off should they grow too long.
void Machine::PushJoined(const std::string& a, const std::string& b) {
  if (a.size() + b.size() > kMaxText) return t_.Exhaust();
  t_.Spend(static_cast<long>((a.size() + b.size()) / 256));
  Push(Value::Text(a + b));
}

long Machine::Step(Action op, Payload& p) {
  if (Operate(op) || Access(op, p)) return 0;
  using enum Action;
  switch (op) {
    case kNextFrame: t_.GoTo(t_.currentFrame() + 1, false); break;
    case kPrevFrame: t_.GoTo(t_.currentFrame() - 1, false); break;
    case kPlay: t_.Play(true); break;
    case kStop: t_.Play(false); break;
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

void Machine::PushLiteral(Payload& p) {
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

void Machine::GetUrl(const std::string& url, const std::string& target) {
  static constexpr char kPrefix[] = "FSCommand:";
  if (url.compare(0, sizeof kPrefix - 1, kPrefix) == 0) {
    t_.FsCommand(url.substr(sizeof kPrefix - 1), target);
  } else {
    t_.GetUrl(url, target);
  }
}

void RunActions(Timeline& timeline, std::span<const std::uint8_t> actions, const ObjectRef& target) {
  Machine(timeline, target).Run(actions);
}

}  // namespace player::script

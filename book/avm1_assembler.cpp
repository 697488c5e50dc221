#include "book/avm1_assembler.h"

#include <bit>
#include <map>

namespace avm1 {

namespace {

void Le16(std::vector<std::uint8_t>& o, std::uint32_t v) {
  o.push_back(static_cast<std::uint8_t>(v));
  o.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Le32(std::vector<std::uint8_t>& o, std::uint32_t v) {
  Le16(o, v & 0xffff);
  Le16(o, v >> 16);
}

// Strings end at their first zero byte: one inside would cut them short.
void CString(std::vector<std::uint8_t>& o, const std::string& s) {
  if (s.find('\0') != std::string::npos) throw AssemblyError("a string in an action holds a zero byte");
  o.insert(o.end(), s.begin(), s.end());
  o.push_back(0);
}

std::uint16_t Size16(std::size_t n, const char* what) {
  if (n > 0xffff) throw AssemblyError(std::string(what) + " is larger than 65535 bytes");
  return static_cast<std::uint16_t>(n);
}

void EncodeValue(std::vector<std::uint8_t>& o, const PushValue& v, const std::map<std::string, int>& pool) {
  using T = PushValue::Type;
  if (v.pooled()) {
    auto it = pool.find(v.text());
    if (it != pool.end()) {
      if (it->second < 256) {
        o.push_back(8);
        o.push_back(static_cast<std::uint8_t>(it->second));
      } else {
        o.push_back(9);
        Le16(o, static_cast<std::uint32_t>(it->second));
      }
      return;
    }
  }
  o.push_back(static_cast<std::uint8_t>(v.type()));
  switch (v.type()) {
    case T::kString: CString(o, v.text()); break;
    case T::kFloat: Le32(o, std::bit_cast<std::uint32_t>(static_cast<float>(v.number()))); break;
    case T::kNull:
    case T::kUndefined: break;
    case T::kRegister:
    case T::kBoolean:
    case T::kConstant8: o.push_back(static_cast<std::uint8_t>(v.integer())); break;
    case T::kDouble: {
      // Stored as two little-endian words, the high one first.
      auto bits = std::bit_cast<std::uint64_t>(v.number());
      Le32(o, static_cast<std::uint32_t>(bits >> 32));
      Le32(o, static_cast<std::uint32_t>(bits));
      break;
    }
    case T::kInteger: Le32(o, static_cast<std::uint32_t>(v.integer())); break;
    case T::kConstant16: Le16(o, static_cast<std::uint32_t>(v.integer())); break;
  }
}

void Record(std::vector<std::uint8_t>& o, std::uint8_t code, const std::vector<std::uint8_t>& payload) {
  o.push_back(code);
  if (code >= 0x80) {
    Le16(o, Size16(payload.size(), ActionName(code) ? ActionName(code) : "an action"));
    o.insert(o.end(), payload.begin(), payload.end());
  } else if (!payload.empty()) {
    throw AssemblyError("action code below 0x80 cannot carry a payload");
  }
}

}  // namespace

PushValue PushValue::Float(float value) {
  PushValue v;
  v.type_ = Type::kFloat;
  v.number_ = value;
  return v;
}
PushValue PushValue::Null() {
  PushValue v;
  v.type_ = Type::kNull;
  return v;
}
PushValue PushValue::Undefined() { return PushValue(); }
PushValue PushValue::Register(std::uint8_t index) {
  PushValue v;
  v.type_ = Type::kRegister;
  v.integer_ = index;
  return v;
}
PushValue PushValue::Constant(std::uint16_t index) {
  PushValue v;
  v.type_ = index < 256 ? Type::kConstant8 : Type::kConstant16;
  v.integer_ = index;
  return v;
}
PushValue PushValue::InlineString(std::string text) {
  PushValue v(std::move(text));
  v.inline_ = true;
  return v;
}

Label Assembler::NewLabel() {
  bound_.push_back(-1);
  return Label{static_cast<int>(bound_.size()) - 1};
}

void Assembler::Bind(Label label) {
  if (label.id < 0 || label.id >= static_cast<int>(bound_.size()))
    throw AssemblyError("a label of another assembler");
  if (bound_[static_cast<size_t>(label.id)] >= 0) throw AssemblyError("a label bound twice");
  bound_[static_cast<size_t>(label.id)] = static_cast<int>(items_.size());
  lastBound_ = static_cast<int>(items_.size());
}

void Assembler::Add(Item item) { items_.push_back(std::move(item)); }

void Assembler::Emit(Action action) {
  auto code = static_cast<std::uint8_t>(action);
  if (code >= 0x80 || code == 0)
    throw AssemblyError(std::string(ActionName(code)) + " needs its own call, not Emit");
  Add({.kind = Item::kRecord, .code = code});
}

void Assembler::Raw(std::uint8_t code, std::vector<std::uint8_t> payload) {
  if (code < 0x80 && !payload.empty()) throw AssemblyError("action code below 0x80 cannot carry a payload");
  Add({.kind = Item::kRecord, .code = code, .payload = std::move(payload)});
}

void Assembler::Push(std::vector<PushValue> values) {
  if (values.empty()) return;
  for (const auto& v : values)
    if (v.type() == PushValue::Type::kString && v.text().find('\0') != std::string::npos)
      throw AssemblyError("a pushed string holds a zero byte");
  // Pushes in a row are one record, unless a label lies between them.
  const bool labelHere = lastBound_ == static_cast<int>(items_.size());
  if (!items_.empty() && items_.back().kind == Item::kPush && !labelHere) {
    auto& last = items_.back().values;
    last.insert(last.end(), std::make_move_iterator(values.begin()), std::make_move_iterator(values.end()));
    return;
  }
  Add({.kind = Item::kPush, .code = static_cast<std::uint8_t>(Action::kPush), .values = std::move(values)});
}

void Assembler::Branch(Action action, Label target) {
  Add({.kind = Item::kBranch, .code = static_cast<std::uint8_t>(action), .target = target});
}

void Assembler::Block(Action action, std::vector<std::uint8_t> head, std::vector<Span> sizes,
                      std::vector<std::uint8_t> tail, bool function) {
  Add({.kind = Item::kBlock,
       .code = static_cast<std::uint8_t>(action),
       .payload = std::move(head),
       .sizes = std::move(sizes),
       .tail = std::move(tail),
       .function = function});
}

void Assembler::StoreRegister(std::uint8_t index) { Raw(0x87, {index}); }

void Assembler::GotoFrame(std::uint16_t frame) {
  std::vector<std::uint8_t> p;
  Le16(p, frame);
  Raw(0x81, p);
}

void Assembler::GetUrl(const std::string& url, const std::string& target) {
  std::vector<std::uint8_t> p;
  CString(p, url);
  CString(p, target);
  Raw(0x83, p);
}

void Assembler::GetUrl2(std::uint8_t flags) { Raw(0x9A, {flags}); }

void Assembler::GotoFrame2(bool play, std::optional<std::uint16_t> sceneBias) {
  std::vector<std::uint8_t> p{static_cast<std::uint8_t>((sceneBias ? 2 : 0) | (play ? 1 : 0))};
  if (sceneBias) Le16(p, *sceneBias);
  Raw(0x9F, p);
}

void Assembler::SetTarget(const std::string& target) {
  std::vector<std::uint8_t> p;
  CString(p, target);
  Raw(0x8B, p);
}

void Assembler::GoToLabel(const std::string& label) {
  std::vector<std::uint8_t> p;
  CString(p, label);
  Raw(0x8C, p);
}

void Assembler::WaitForFrame(std::uint16_t frame, std::uint8_t skipCount) {
  std::vector<std::uint8_t> p;
  Le16(p, frame);
  p.push_back(skipCount);
  Raw(0x8A, p);
}

void Assembler::WaitForFrame2(std::uint8_t skipCount) { Raw(0x8D, {skipCount}); }

void Assembler::ConstantPool(const std::vector<std::string>& strings) {
  std::vector<std::uint8_t> p;
  Le16(p, Size16(strings.size(), "a constant pool's count"));
  for (const auto& s : strings) CString(p, s);
  explicitPool_ = true;
  Raw(0x88, p);
}

void Assembler::DefineFunction(const std::string& name, const std::vector<std::string>& parameters,
                               Label end) {
  std::vector<std::uint8_t> p;
  CString(p, name);
  Le16(p, Size16(parameters.size(), "a parameter count"));
  for (const auto& s : parameters) CString(p, s);
  Block(Action::kDefineFunction, p, {{.to = end}}, {}, true);
}

void Assembler::DefineFunction2(const Function2& f, Label end) {
  std::vector<std::uint8_t> p;
  CString(p, f.name);
  Le16(p, Size16(f.parameters.size(), "a parameter count"));
  p.push_back(f.registerCount);
  Le16(p, f.flags);
  for (const auto& param : f.parameters) {
    if (param.reg != 0 && param.reg >= f.registerCount)
      throw AssemblyError("parameter " + param.name + " is in a register the function does not have");
    p.push_back(param.reg);
    CString(p, param.name);
  }
  Block(Action::kDefineFunction2, p, {{.to = end}}, {}, true);
}

void Assembler::With(Label end) { Block(Action::kWith, {}, {{.to = end}}, {}, false); }

void Assembler::Try(const TryBlock& t) {
  std::uint8_t flags = static_cast<std::uint8_t>((t.catchRegister ? 4 : 0) | (t.finallyStart ? 2 : 0) |
                                                 (t.catchStart ? 1 : 0));
  std::optional<Label> afterTry = t.catchStart ? t.catchStart : t.finallyStart ? t.finallyStart : t.end;
  std::optional<Label> afterCatch = t.finallyStart ? t.finallyStart : t.end;
  std::vector<Span> sizes = {{.to = afterTry},
                             t.catchStart ? Span{t.catchStart, afterCatch} : Span{},
                             t.finallyStart ? Span{t.finallyStart, t.end} : Span{}};
  std::vector<std::uint8_t> tail;
  if (t.catchRegister)
    tail.push_back(*t.catchRegister);
  else
    CString(tail, t.catchName);
  Block(Action::kTry, {flags}, sizes, tail, false);
}

std::vector<std::uint8_t> Assembler::Finish() {
  // The pool: every pooled string, in the order of first use, while it fits.
  std::map<std::string, int> pool;
  std::vector<std::uint8_t> out;
  if (options_.constantPool && !explicitPool_) {
    std::vector<std::uint8_t> p(2);
    for (const auto& item : items_)
      for (const auto& v : item.values) {
        if (!v.pooled() || pool.count(v.text()) || pool.size() == 0xffff) continue;
        if (p.size() + v.text().size() + 1 > 0xffff) continue;
        pool.emplace(v.text(), static_cast<int>(pool.size()));
        CString(p, v.text());
      }
    if (!pool.empty()) {
      p[0] = static_cast<std::uint8_t>(pool.size());
      p[1] = static_cast<std::uint8_t>(pool.size() >> 8);
      Record(out, 0x88, p);
    }
  }

  // Every record at its final size, offsets and sizes left at zero.
  const std::size_t n = items_.size();
  std::vector<std::size_t> start(n + 1), recordEnd(n);
  for (std::size_t i = 0; i < n; ++i) {
    const Item& item = items_[i];
    start[i] = out.size();
    switch (item.kind) {
      case Item::kRecord: Record(out, item.code, item.payload); break;
      case Item::kPush: {
        std::vector<std::uint8_t> p, one;
        for (const auto& v : item.values) {
          one.clear();
          EncodeValue(one, v, pool);
          if (one.size() > 0xffff) throw AssemblyError("a pushed value is larger than 65535 bytes");
          if (p.size() + one.size() > 0xffff) {
            Record(out, item.code, p);
            p.clear();
          }
          p.insert(p.end(), one.begin(), one.end());
        }
        Record(out, item.code, p);
        break;
      }
      case Item::kBranch: Record(out, item.code, {0, 0}); break;
      case Item::kBlock: {
        std::vector<std::uint8_t> p = item.payload;
        p.resize(p.size() + 2 * item.sizes.size());
        p.insert(p.end(), item.tail.begin(), item.tail.end());
        Record(out, item.code, p);
        break;
      }
    }
    recordEnd[i] = out.size();
  }
  start[n] = out.size();

  auto position = [&](Label l) -> std::size_t {
    if (l.id < 0 || l.id >= static_cast<int>(bound_.size()))
      throw AssemblyError("a label of another assembler");
    int at = bound_[static_cast<size_t>(l.id)];
    if (at < 0) throw AssemblyError("a label that is never bound");
    return start[static_cast<size_t>(at)];
  };
  for (std::size_t i = 0; i < n; ++i) {
    const Item& item = items_[i];
    if (item.kind == Item::kBranch) {
      auto offset =
          static_cast<std::ptrdiff_t>(position(item.target)) - static_cast<std::ptrdiff_t>(recordEnd[i]);
      if (offset < -32768 || offset > 32767) throw AssemblyError("a branch reaches further than 32 kB");
      out[recordEnd[i] - 2] = static_cast<std::uint8_t>(offset);
      out[recordEnd[i] - 1] = static_cast<std::uint8_t>(offset >> 8);
    } else if (item.kind == Item::kBlock) {
      std::size_t at = start[i] + 3 + item.payload.size();
      for (const Span& s : item.sizes) {
        std::size_t from = s.from ? position(*s.from) : recordEnd[i];
        std::size_t to = s.to ? position(*s.to) : from;
        if (to < from) throw AssemblyError(std::string(ActionName(item.code)) + " ends before it begins");
        std::uint16_t size = Size16(to - from, "a block");
        out[at++] = static_cast<std::uint8_t>(size);
        out[at++] = static_cast<std::uint8_t>(size >> 8);
      }
    }
  }
  // A branch inside a function stays inside it; a block inside one ends within it.
  for (std::size_t f = 0; f < n; ++f) {
    if (!items_[f].function) continue;
    std::size_t begin = recordEnd[f], end = position(*items_[f].sizes[0].to);
    for (std::size_t i = f + 1; i < n && start[i] < end; ++i) {
      const Item& item = items_[i];
      if (item.kind == Item::kBranch) {
        std::size_t to = position(item.target);
        if (to < begin || to > end) throw AssemblyError("a branch leaves the function it is in");
      } else if (item.kind == Item::kBlock) {
        for (const Span& s : item.sizes)
          if (s.to && position(*s.to) > end) throw AssemblyError("a block runs past the end of its function");
      }
    }
  }
  out.push_back(0);
  return out;
}

}  // namespace avm1

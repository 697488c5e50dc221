#include "book/avm1_disassembler.h"

#include <bit>
#include <charconv>
#include <cstdio>
#include <map>
#include <set>
#include <vector>

#include "book/avm1_actions.h"

namespace avm1 {

namespace {

class Cursor {
 public:
  explicit Cursor(std::span<const std::uint8_t> p) : p_(p) {}
  bool more() const { return at_ < p_.size(); }
  std::uint32_t U8() { return at_ < p_.size() ? p_[at_++] : (bad_ = true, 0); }
  std::uint32_t U16() { return U8() | U8() << 8; }
  std::uint32_t U32() { return U16() | U16() << 16; }
  std::string Str() {
    std::string s;
    while (at_ < p_.size() && p_[at_]) s += static_cast<char>(p_[at_++]);
    if (at_ >= p_.size()) bad_ = true;
    ++at_;
    return s;
  }
  bool bad() const { return bad_ || at_ > p_.size(); }

 private:
  std::span<const std::uint8_t> p_;
  std::size_t at_ = 0;
  bool bad_ = false;
};

std::string Quote(const std::string& s) {
  std::string q = "\"";
  for (char c : s) {
    switch (c) {
      case '"': q += "\\\""; break;
      case '\\': q += "\\\\"; break;
      case '\n': q += "\\n"; break;
      case '\r': q += "\\r"; break;
      case '\t': q += "\\t"; break;
      default: q += c;
    }
  }
  return q + "\"";
}

std::string Number(double d) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, d);
  return std::string(buf, r.ptr);
}

// Where each record's branches and blocks lead: offsets from the list's start.
std::vector<std::size_t> Targets(std::size_t next, std::uint8_t code, std::span<const std::uint8_t> payload) {
  Cursor c(payload);
  switch (code) {
    case 0x99:
    case 0x9D: {
      auto offset = static_cast<std::int16_t>(c.U16());
      return {static_cast<std::size_t>(static_cast<std::ptrdiff_t>(next) + offset)};
    }
    case 0x94: return {next + c.U16()};
    case 0x9B:
    case 0x8E: {
      if (payload.size() < 2) return {};
      return {next + (payload[payload.size() - 2] | payload[payload.size() - 1] << 8)};
    }
    case 0x8F: {
      c.U8();
      std::size_t t = c.U16(), k = c.U16(), f = c.U16();
      return {next + t, next + t + k, next + t + k + f};
    }
    default: return {};
  }
}

}  // namespace

std::string Disassemble(std::span<const std::uint8_t> bytes) {
  std::set<std::size_t> boundaries, targets;
  for (std::size_t pos = 0;;) {
    ActionRecord r = ReadActionRecord(bytes, pos);
    if (!r.ok) break;
    boundaries.insert(pos);
    for (std::size_t t : Targets(r.next, r.code, r.payload)) targets.insert(t);
    if (r.code == 0) break;
    pos = r.next;
  }
  std::map<std::size_t, int> labels;
  for (std::size_t t : targets)
    if (boundaries.count(t) || t == bytes.size()) labels.emplace(t, static_cast<int>(labels.size()) + 1);
  auto label = [&](std::size_t t) {
    auto it = labels.find(t);
    return it != labels.end() ? "L" + std::to_string(it->second) : "?" + std::to_string(t);
  };

  std::vector<std::string> pool;
  std::string out;
  std::size_t pos = 0;
  for (;;) {
    if (labels.count(pos)) out += label(pos) + ":\n";
    ActionRecord r = ReadActionRecord(bytes, pos);
    if (!r.ok) {
      if (pos < bytes.size()) out += "! cut at " + std::to_string(pos) + "\n";
      break;
    }
    const char* name = ActionName(r.code);
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02x", r.code);
    std::string line = name ? name : hex;
    Cursor c(r.payload);
    std::vector<std::size_t> to = Targets(r.next, r.code, r.payload);
    switch (r.code) {
      case 0x96:
        while (c.more() && !c.bad()) {
          std::uint32_t type = c.U8();
          switch (type) {
            case 0: line += " " + Quote(c.Str()); break;
            case 1: line += " f:" + Number(std::bit_cast<float>(c.U32())); break;
            case 2: line += " null"; break;
            case 3: line += " undefined"; break;
            case 4: line += " r" + std::to_string(c.U8()); break;
            case 5: line += c.U8() ? " true" : " false"; break;
            case 6: {
              std::uint64_t hi = c.U32(), lo = c.U32();
              line += " d:" + Number(std::bit_cast<double>(hi << 32 | lo));
              break;
            }
            case 7: line += " " + std::to_string(static_cast<std::int32_t>(c.U32())); break;
            case 8:
            case 9: {
              std::uint32_t i = type == 8 ? c.U8() : c.U16();
              line += i < pool.size() ? " c:" + Quote(pool[i]) : " c" + std::to_string(i);
              break;
            }
            default: line += " ?type" + std::to_string(type); c = Cursor({});
          }
        }
        break;
      case 0x88: {
        pool.clear();
        for (std::uint32_t n = c.U16(), i = 0; i < n && !c.bad(); ++i) pool.push_back(c.Str());
        for (const auto& s : pool) line += " " + Quote(s);
        break;
      }
      case 0x81: line += " " + std::to_string(c.U16()); break;
      case 0x83: {
        std::string url = c.Str();
        line += " " + Quote(url) + " " + Quote(c.Str());
        break;
      }
      case 0x8A: {
        std::uint32_t frame = c.U16();
        line += " " + std::to_string(frame) + " skip " + std::to_string(c.U8());
        break;
      }
      case 0x8D: line += " skip " + std::to_string(c.U8()); break;
      case 0x8B:
      case 0x8C: line += " " + Quote(c.Str()); break;
      case 0x87: line += " r" + std::to_string(c.U8()); break;
      case 0x9A: {
        char buf[8];
        std::snprintf(buf, sizeof buf, " 0x%02x", c.U8());
        line += buf;
        break;
      }
      case 0x9F: {
        std::uint32_t flags = c.U8();
        line += flags & 1 ? " play" : " stop";
        if (flags & 2) line += " bias " + std::to_string(c.U16());
        break;
      }
      case 0x99:
      case 0x9D:
      case 0x94: line += " " + label(to[0]); break;
      case 0x9B: {
        line += " " + Quote(c.Str()) + " (";
        for (std::uint32_t n = c.U16(), i = 0; i < n && !c.bad(); ++i) line += (i ? ", " : "") + c.Str();
        line += ") " + label(to.at(0));
        break;
      }
      case 0x8E: {
        line += " " + Quote(c.Str());
        std::uint32_t n = c.U16(), regs = c.U8(), flags = c.U16();
        char buf[40];
        std::snprintf(buf, sizeof buf, " regs %u flags 0x%x (", regs, flags);
        line += buf;
        for (std::uint32_t i = 0; i < n && !c.bad(); ++i) {
          std::uint32_t reg = c.U8();
          line += (i ? ", " : "") + (reg ? "r" + std::to_string(reg) + ":" : std::string()) + c.Str();
        }
        line += ") " + label(to.at(0));
        break;
      }
      case 0x8F: {
        std::uint32_t flags = c.U8();
        c.U16(), c.U16(), c.U16();
        if (flags & 1)
          line +=
              " catch " + (flags & 4 ? "r" + std::to_string(c.U8()) : Quote(c.Str())) + " " + label(to[0]);
        if (flags & 2) line += " finally " + label(to[1]);
        line += " end " + label(to[2]);
        break;
      }
      default:
        if (!r.payload.empty()) line += " [" + std::to_string(r.payload.size()) + " bytes]";
    }
    if (c.bad()) line += " !bad payload";
    out += line + "\n";
    if (r.code == 0) {
      if (r.next != bytes.size()) out += "! " + std::to_string(bytes.size() - r.next) + " bytes after End\n";
      break;
    }
    pos = r.next;
  }
  return out;
}

}  // namespace avm1

#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>

// The format's action codes and records, shared by the stand-in that runs
// action lists and the build-time tools that write them.
namespace player::avm1 {

// Action codes of AVM1 (SWF 3 to 7). Codes from 0x80 up carry a 16-bit
// length and a payload; the others are one byte.
enum class Action : std::uint8_t {
  kEnd = 0x00,
  // SWF 3
  kNextFrame = 0x04,
  kPrevFrame = 0x05,
  kPlay = 0x06,
  kStop = 0x07,
  kToggleQuality = 0x08,
  kStopSounds = 0x09,
  kGotoFrame = 0x81,
  kGetUrl = 0x83,
  kWaitForFrame = 0x8A,
  kSetTarget = 0x8B,
  kGoToLabel = 0x8C,
  // SWF 4
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
  kStringExtract = 0x15,
  kPop = 0x17,
  kToInteger = 0x18,
  kGetVariable = 0x1C,
  kSetVariable = 0x1D,
  kSetTarget2 = 0x20,
  kStringAdd = 0x21,
  kGetProperty = 0x22,
  kSetProperty = 0x23,
  kCloneSprite = 0x24,
  kRemoveSprite = 0x25,
  kTrace = 0x26,
  kStartDrag = 0x27,
  kEndDrag = 0x28,
  kStringLess = 0x29,
  kRandomNumber = 0x30,
  kMbStringLength = 0x31,
  kCharToAscii = 0x32,
  kAsciiToChar = 0x33,
  kGetTime = 0x34,
  kMbStringExtract = 0x35,
  kMbCharToAscii = 0x36,
  kMbAsciiToChar = 0x37,
  kWaitForFrame2 = 0x8D,
  kPush = 0x96,
  kJump = 0x99,
  kGetUrl2 = 0x9A,
  kIf = 0x9D,
  kCall = 0x9E,
  kGotoFrame2 = 0x9F,
  // SWF 5
  kDelete = 0x3A,
  kDelete2 = 0x3B,
  kDefineLocal = 0x3C,
  kCallFunction = 0x3D,
  kReturn = 0x3E,
  kModulo = 0x3F,
  kNewObject = 0x40,
  kDefineLocal2 = 0x41,
  kInitArray = 0x42,
  kInitObject = 0x43,
  kTypeOf = 0x44,
  kTargetPath = 0x45,
  kEnumerate = 0x46,
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
  kNewMethod = 0x53,
  kBitAnd = 0x60,
  kBitOr = 0x61,
  kBitXor = 0x62,
  kBitLShift = 0x63,
  kBitRShift = 0x64,
  kBitURShift = 0x65,
  kStoreRegister = 0x87,
  kConstantPool = 0x88,
  kWith = 0x94,
  kDefineFunction = 0x9B,
  // SWF 6
  kInstanceOf = 0x54,
  kEnumerate2 = 0x55,
  kStrictEquals = 0x66,
  kGreater = 0x67,
  kStringGreater = 0x68,
  // SWF 7
  kExtends = 0x69,
  kCastOp = 0x2B,
  kImplementsOp = 0x2C,
  kThrow = 0x2A,
  kDefineFunction2 = 0x8E,
  kTry = 0x8F,
};

// One action record as it lies in an action list: where its payload is and
// where the next record begins. `ok` is false when the record runs past the
// bytes.
struct ActionRecord {
  bool ok = false;
  std::uint8_t code = 0;
  std::span<const std::uint8_t> payload;
  std::size_t next = 0;
};

inline ActionRecord ReadActionRecord(std::span<const std::uint8_t> bytes, std::size_t pos) {
  ActionRecord r;
  if (pos >= bytes.size()) return r;
  r.code = bytes[pos];
  std::size_t at = pos + 1, length = 0;
  if (r.code >= 0x80) {
    if (bytes.size() - at < 2) return r;
    length = static_cast<std::size_t>(bytes[at] | bytes[at + 1] << 8);
    at += 2;
  }
  if (bytes.size() - at < length) return r;
  r.payload = bytes.subspan(at, length);
  r.next = at + length;
  r.ok = true;
  return r;
}

// True when `bytes` is a whole action list: records that fit, the last of
// them the end flag and nothing after it.
inline bool IsActionList(std::span<const std::uint8_t> bytes) {
  for (std::size_t pos = 0;;) {
    ActionRecord r = ReadActionRecord(bytes, pos);
    if (!r.ok) return false;
    if (r.code == 0) return r.next == bytes.size();
    pos = r.next;
  }
}

// The clip properties GetProperty and SetProperty name by number.
inline constexpr const char* kPropertyNames[] = {
    "_x",          "_y",     "_xscale",      "_yscale",    "_currentframe", "_totalframes",  "_alpha",
    "_visible",    "_width", "_height",      "_rotation",  "_target",       "_framesloaded", "_name",
    "_droptarget", "_url",   "_highquality", "_focusrect", "_soundbuftime", "_quality",      "_xmouse",
    "_ymouse"};

// The property numbered `index`; null when there is none.
inline const char* PropertyName(double index) {
  if (!(index >= 0 && index < static_cast<double>(std::size(kPropertyNames)))) return nullptr;
  return kPropertyNames[static_cast<std::size_t>(index)];
}

}  // namespace player::avm1

#include "book/avm1_actions.h"

namespace avm1 {

namespace {
struct ActionInfo {
  std::uint8_t code;
  const char* name;
  int version;
};
constexpr ActionInfo kActions[] = {
    {0x00, "End", 1},
    {0x04, "NextFrame", 3},
    {0x05, "PrevFrame", 3},
    {0x06, "Play", 3},
    {0x07, "Stop", 3},
    {0x08, "ToggleQuality", 3},
    {0x09, "StopSounds", 3},
    {0x81, "GotoFrame", 3},
    {0x83, "GetURL", 3},
    {0x8A, "WaitForFrame", 3},
    {0x8B, "SetTarget", 3},
    {0x8C, "GoToLabel", 3},
    {0x0A, "Add", 4},
    {0x0B, "Subtract", 4},
    {0x0C, "Multiply", 4},
    {0x0D, "Divide", 4},
    {0x0E, "Equals", 4},
    {0x0F, "Less", 4},
    {0x10, "And", 4},
    {0x11, "Or", 4},
    {0x12, "Not", 4},
    {0x13, "StringEquals", 4},
    {0x14, "StringLength", 4},
    {0x15, "StringExtract", 4},
    {0x17, "Pop", 4},
    {0x18, "ToInteger", 4},
    {0x1C, "GetVariable", 4},
    {0x1D, "SetVariable", 4},
    {0x20, "SetTarget2", 4},
    {0x21, "StringAdd", 4},
    {0x22, "GetProperty", 4},
    {0x23, "SetProperty", 4},
    {0x24, "CloneSprite", 4},
    {0x25, "RemoveSprite", 4},
    {0x26, "Trace", 4},
    {0x27, "StartDrag", 4},
    {0x28, "EndDrag", 4},
    {0x29, "StringLess", 4},
    {0x30, "RandomNumber", 4},
    {0x31, "MBStringLength", 4},
    {0x32, "CharToAscii", 4},
    {0x33, "AsciiToChar", 4},
    {0x34, "GetTime", 4},
    {0x35, "MBStringExtract", 4},
    {0x36, "MBCharToAscii", 4},
    {0x37, "MBAsciiToChar", 4},
    {0x8D, "WaitForFrame2", 4},
    {0x96, "Push", 4},
    {0x99, "Jump", 4},
    {0x9A, "GetURL2", 4},
    {0x9D, "If", 4},
    {0x9E, "Call", 4},
    {0x9F, "GotoFrame2", 4},
    {0x3A, "Delete", 5},
    {0x3B, "Delete2", 5},
    {0x3C, "DefineLocal", 5},
    {0x3D, "CallFunction", 5},
    {0x3E, "Return", 5},
    {0x3F, "Modulo", 5},
    {0x40, "NewObject", 5},
    {0x41, "DefineLocal2", 5},
    {0x42, "InitArray", 5},
    {0x43, "InitObject", 5},
    {0x44, "TypeOf", 5},
    {0x45, "TargetPath", 5},
    {0x46, "Enumerate", 5},
    {0x47, "Add2", 5},
    {0x48, "Less2", 5},
    {0x49, "Equals2", 5},
    {0x4A, "ToNumber", 5},
    {0x4B, "ToString", 5},
    {0x4C, "PushDuplicate", 5},
    {0x4D, "StackSwap", 5},
    {0x4E, "GetMember", 5},
    {0x4F, "SetMember", 5},
    {0x50, "Increment", 5},
    {0x51, "Decrement", 5},
    {0x52, "CallMethod", 5},
    {0x53, "NewMethod", 5},
    {0x60, "BitAnd", 5},
    {0x61, "BitOr", 5},
    {0x62, "BitXor", 5},
    {0x63, "BitLShift", 5},
    {0x64, "BitRShift", 5},
    {0x65, "BitURShift", 5},
    {0x87, "StoreRegister", 5},
    {0x88, "ConstantPool", 5},
    {0x94, "With", 5},
    {0x9B, "DefineFunction", 5},
    {0x54, "InstanceOf", 6},
    {0x55, "Enumerate2", 6},
    {0x66, "StrictEquals", 6},
    {0x67, "Greater", 6},
    {0x68, "StringGreater", 6},
    {0x69, "Extends", 7},
    {0x2B, "CastOp", 7},
    {0x2C, "ImplementsOp", 7},
    {0x2A, "Throw", 7},
    {0x8E, "DefineFunction2", 7},
    {0x8F, "Try", 7},
};

const ActionInfo* Find(std::uint8_t code) {
  for (const auto& a : kActions)
    if (a.code == code) return &a;
  return nullptr;
}
}  // namespace

const char* ActionName(std::uint8_t code) {
  const ActionInfo* a = Find(code);
  return a ? a->name : nullptr;
}

int ActionVersion(std::uint8_t code) {
  const ActionInfo* a = Find(code);
  return a ? a->version : 0;
}

}  // namespace avm1

#pragma once

// An assembler for AVM1 action lists: the bytes of a DoAction or
// DoInitAction tag, of a clip event or of a button condition.
//
//   avm1::Assembler a;
//   avm1::Label done = a.NewLabel();
//   a.Push({"ready"});
//   a.Emit(avm1::Action::kGetVariable);
//   a.If(done);                       // the offset is worked out by Finish
//   a.GetUrl("FSCommand:notReady", "");
//   a.Bind(done);
//   std::vector<std::uint8_t> actions = a.Finish();   // ends with the end flag
//
// Branch offsets (Jump, If) and the sizes of blocks (DefineFunction,
// DefineFunction2, With, Try) are given as labels and resolved by Finish,
// which raises AssemblyError for a label never bound, an offset or size out
// of range or a branch that leaves the function it is in. By default every
// pushed std::string goes through one ConstantPool at the start of the list
// (Options::constantPool); InlineString keeps a string out of it.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "book/avm1_actions.h"

namespace avm1 {

class AssemblyError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A position in the action list, bound once with Assembler::Bind.
struct Label {
  int id = -1;
};

// One value of an ActionPush, of any of its types.
class PushValue {
 public:
  enum class Type : std::uint8_t {
    kString = 0,
    kFloat = 1,
    kNull = 2,
    kUndefined = 3,
    kRegister = 4,
    kBoolean = 5,
    kDouble = 6,
    kInteger = 7,
    kConstant8 = 8,
    kConstant16 = 9,
  };
  PushValue(const char* text) : type_(Type::kString), text_(text) {}
  PushValue(std::string text) : type_(Type::kString), text_(std::move(text)) {}
  PushValue(int value) : type_(Type::kInteger), integer_(value) {}
  PushValue(double value) : type_(Type::kDouble), number_(value) {}
  PushValue(bool value) : type_(Type::kBoolean), integer_(value) {}
  static PushValue Float(float value);
  static PushValue Null();
  static PushValue Undefined();
  static PushValue Register(std::uint8_t index);
  // Entry `index` of the list's ConstantPool (constant8 below 256, else constant16).
  static PushValue Constant(std::uint16_t index);
  // A string pushed as it is, never through the constant pool.
  static PushValue InlineString(std::string text);

  Type type() const { return type_; }
  const std::string& text() const { return text_; }
  double number() const { return number_; }
  std::int32_t integer() const { return integer_; }
  bool pooled() const { return type_ == Type::kString && !inline_; }

 private:
  PushValue() = default;
  Type type_ = Type::kUndefined;
  bool inline_ = false;
  std::string text_;
  double number_ = 0;
  std::int32_t integer_ = 0;
};

// GetURL2's flags.
inline constexpr std::uint8_t kUrlMethodGet = 1, kUrlMethodPost = 2, kUrlLoadTarget = 0x40,
                              kUrlLoadVariables = 0x80;

// DefineFunction2's flags.
namespace function2 {
inline constexpr std::uint16_t kPreloadThis = 1 << 0, kSuppressThis = 1 << 1, kPreloadArguments = 1 << 2,
                               kSuppressArguments = 1 << 3, kPreloadSuper = 1 << 4, kSuppressSuper = 1 << 5,
                               kPreloadRoot = 1 << 6, kPreloadParent = 1 << 7, kPreloadGlobal = 1 << 8;
}

struct Function2 {
  struct Parameter {
    std::uint8_t reg = 0;  // 0: the parameter is a named variable, not a register
    std::string name;
  };
  std::string name;  // empty: the function is pushed, not defined by name
  std::vector<Parameter> parameters;
  std::uint8_t registerCount = 0;
  std::uint16_t flags = 0;
};

// A Try block: the try body follows the action, then the catch and finally
// bodies from their labels; `end` is where it all ends.
struct TryBlock {
  std::optional<Label> catchStart;  // none: no catch body
  std::optional<Label> finallyStart;
  Label end;
  std::string catchName;                      // the caught value goes to this variable,
  std::optional<std::uint8_t> catchRegister;  // or to this register
};

class Assembler {
 public:
  struct Options {
    bool constantPool = true;
  };
  Assembler() : Assembler(Options{}) {}
  explicit Assembler(Options options) : options_(options) {}

  Label NewLabel();
  void Bind(Label label);

  // An action without a payload (Add2, GetVariable, Play, ...).
  void Emit(Action action);
  // One ActionPush (more when they would not fit in one record); joined to
  // the Push just before it unless a label lies between.
  void Push(std::vector<PushValue> values);
  void Jump(Label target) { Branch(Action::kJump, target); }
  void If(Label target) { Branch(Action::kIf, target); }
  void StoreRegister(std::uint8_t index);
  void GotoFrame(std::uint16_t frame);  // 0-based
  void GetUrl(const std::string& url, const std::string& target);
  void GetUrl2(std::uint8_t flags);
  void GotoFrame2(bool play, std::optional<std::uint16_t> sceneBias = std::nullopt);
  void SetTarget(const std::string& target);
  void GoToLabel(const std::string& label);
  void WaitForFrame(std::uint16_t frame, std::uint8_t skipCount);
  void WaitForFrame2(std::uint8_t skipCount);
  // An explicit pool: pushed strings are then inline unless pushed as Constant.
  void ConstantPool(const std::vector<std::string>& strings);
  // The body runs from after this action to `end`.
  void DefineFunction(const std::string& name, const std::vector<std::string>& parameters, Label end);
  void DefineFunction2(const Function2& function, Label end);
  void With(Label end);
  void Try(const TryBlock& block);
  // Any record, as given.
  void Raw(std::uint8_t code, std::vector<std::uint8_t> payload = {});

  // The action list, ending with the end flag.
  std::vector<std::uint8_t> Finish();

 private:
  // A size a block records: from the end of its record (or a label) to a label.
  struct Span {
    std::optional<Label> from;
    std::optional<Label> to;  // none: a size of 0
  };
  struct Item {
    enum Kind { kRecord, kPush, kBranch, kBlock } kind = kRecord;
    std::uint8_t code = 0;
    std::vector<std::uint8_t> payload;  // a record's; a block's part before its sizes
    std::vector<PushValue> values;      // kPush
    Label target;                       // kBranch
    std::vector<Span> sizes;            // kBlock
    std::vector<std::uint8_t> tail;     // kBlock: after its sizes
    bool function = false;              // kBlock: branches may not leave it
  };
  void Branch(Action action, Label target);
  void Block(Action action, std::vector<std::uint8_t> head, std::vector<Span> sizes,
             std::vector<std::uint8_t> tail, bool function);
  void Add(Item item);

  Options options_;
  bool explicitPool_ = false;
  std::vector<Item> items_;
  std::vector<int> bound_;  // the item index each label is bound before; -1 unbound
  int lastBound_ = -1;
};

}  // namespace avm1

#include "book/load_once_action.h"

#include <stdexcept>

#include "book/avm1_assembler.h"

namespace avm1 {

std::vector<std::uint8_t> LoadMovieOnceActions(const std::string& url, int level, const std::string& guard) {
  if (guard.empty()) throw std::invalid_argument("a load guard needs a name");
  if (level < 0 || level > 16000) throw std::invalid_argument("a level from 0 to 16000");
  try {
    Assembler a(Assembler::Options{.constantPool = false});
    Label loaded = a.NewLabel();
    a.Push({"_level0"});
    a.Emit(Action::kGetVariable);
    a.Push({guard});
    a.Emit(Action::kGetMember);
    a.Push({PushValue::Undefined()});
    a.Emit(Action::kEquals2);
    a.Emit(Action::kNot);
    a.If(loaded);
    a.Push({"_level0"});
    a.Emit(Action::kGetVariable);
    a.Push({guard, true});
    a.Emit(Action::kSetMember);
    a.GetUrl(url, "_level" + std::to_string(level));
    a.Bind(loaded);
    return a.Finish();
  } catch (const AssemblyError& e) {
    throw std::invalid_argument(e.what());
  }
}

}  // namespace avm1

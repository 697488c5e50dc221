// The book's shared rules (tests/support/book_rules.h) on the stand-in.
#include "tests/support/book_rules.h"

#include <memory>

#include "tests/player/book_fixture.h"

namespace {

class StandIn {
 public:
  StandIn() {
    const auto& r = book::EmbeddedResources()[0];
    testing_support::WriteFile(dir_ / "book.swf", std::string(reinterpret_cast<const char*>(r.data), r.size));
    player_.OnFSCommand([this](const std::string& c, const std::string& a) { sent_.push_back(c + " " + a); });
    player_.Movie(dir_ / "book.swf");
    desktop_.Pump();
    sent_.clear();
  }
  void Set(const std::string& name, const std::string& value) { player_.SetVariable(name, value); }
  void Call(const std::string& label) {
    player_.TCallLabel("/", label);
    desktop_.Pump();
  }
  void Key(const std::string& key) {
    if (key == "Right") player_.NextPage();
    if (key == "Left") player_.PreviousPage();
    if (key == "Home") player_.FirstPage();
    if (key == "End") player_.LastPage();
    desktop_.Pump();
  }
  std::string Get(const std::string& path) { return player_.GetVariable(path); }
  std::string Frame() { return player_.TGetProperty("/", 4); }
  std::vector<std::string> Sent() {
    desktop_.Pump();
    return std::exchange(sent_, {});
  }

 private:
  testing_support::TempDir dir_;
  headless::Desktop desktop_;
  book_fixture::MemoryStorage storage_;
  player::BookPlayer player_{desktop_, &storage_};
  std::vector<std::string> sent_;
};

}  // namespace

TEST(BookRules, TheStandInHoldsTheBooksRules) {
  book_rules::RunAll([] { return std::make_unique<StandIn>(); });
}

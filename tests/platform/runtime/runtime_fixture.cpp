#include "tests/platform/runtime/runtime_fixture.h"

#include <sys/stat.h>

#include <QEventLoop>
#include <QTimer>
#include <fstream>

#include "components/window_design.h"
#include "platform/qt/event_hold.h"

namespace runtime_test {

void RuntimeFixture::SetUp() {
  ::mkdir(media_.c_str(), 0755);
  files_ = std::make_unique<runtime::MovieFiles>(READER_PROGRAM_DIR "/runtime", dir_.path(), media_);
  NewPlayer(dir_ / "data");
}

void RuntimeFixture::TearDown() {
  DropPlayer();
  // The pages, the engine and their posted events go before the next test.
  RunUntil([] { return false; }, 50);
}

runtime::Host RuntimeFixture::MakeHost(const std::string& data) {
  return runtime::Host{
      .post = qtdesk::PostHeld,
      .hold = [] { qtdesk::EventHold::Get().Hold(); },
      .release = [] { qtdesk::EventHold::Get().Release(); },
      .openUrl = [this](const std::string& url) { opened_.push_back(url); },
      .serve =
          [this](std::string_view url) {
            runtime::Response r = files_->Get(url);
            if (r.status == 200) served_.emplace_back(url);
            return r;
          },
      .setBook = [this](const std::string& path) { files_->SetBook(path); },
      .mediaFolders = {media_},
      .dataFolder = data,
      .callTimeoutMs = timeoutMs_,
  };
}

void RuntimeFixture::NewPlayer(const std::string& data) {
  DropPlayer();
  window_ = std::make_unique<QWidget>();
  window_->resize(400, 300);
  runtime::Host host = MakeHost(data);
  components::ControlDesign design{.name = "Flash", .kind = components::ControlKind::Player};
  design.width = 400 * 15;
  design.height = 300 * 15;
  player_ = runtime::CreatePlayer(host, window_.get(), design);
  ASSERT_TRUE(player_);
  player_->OnFSCommand([this](const std::string& c, const std::string& a) { commands_.emplace_back(c, a); });
  window_->show();
}

void RuntimeFixture::DropPlayer() {
  player_.reset();
  window_.reset();
  RunUntil([] { return false; }, 20);  // what went later goes now
}

void RuntimeFixture::Play(const std::vector<std::uint8_t>& movie, const std::string& name) {
  std::string path = media_ + "/" + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(movie.data()), static_cast<std::streamsize>(movie.size()));
  commands_.clear();
  player_->Movie(path);
}

bool RuntimeFixture::RunUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer since;
  since.start();
  while (!done()) {
    if (since.elapsed() >= ms) return false;
    QEventLoop loop;
    QTimer::singleShot(5, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  return true;
}

std::optional<std::string> RuntimeFixture::WaitForCommand(const std::string& command, int ms) {
  std::optional<std::string> args;
  RunUntil(
      [&] {
        for (const auto& [c, a] : commands_)
          if (c == command) {
            args = a;
            return true;
          }
        return false;
      },
      ms);
  return args;
}

QWidget* RuntimeFixture::PlayerWidget() const {
  for (QWidget* w : window_->findChildren<QWidget*>())
    if (w->property("windowClass").toString() == "MacromediaFlashPlayerActiveX") return w;
  return nullptr;
}

}  // namespace runtime_test

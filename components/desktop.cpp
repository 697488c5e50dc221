#include "components/desktop.h"

#include <cstdlib>

#include "components/errors.h"

namespace components {

void Desktop::RunHandler(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const StepError& e) {
    ReportFatal(e.step(), e.what());
  } catch (const std::exception& e) {
    ReportFatal("", e.what());
  }
}

namespace {
std::function<void()> WhileAlive(const Lifetime& owner, std::function<void()> fn) {
  return [token = owner.token(), fn = std::move(fn)] {
    if (!token.expired()) fn();
  };
}
}  // namespace

void Desktop::Post(const Lifetime& owner, std::function<void()> fn) {
  PostEvent(WhileAlive(owner, std::move(fn)));
}

void Desktop::PostDelayed(const Lifetime& owner, int milliseconds, std::function<void()> fn) {
  PostDelayedEvent(milliseconds, WhileAlive(owner, std::move(fn)));
}

void Desktop::ReportFatal(const std::string& step, const std::string& detail) {
  MessageBox box;
  box.text = step.empty() ? "執行錯誤：" + detail : "執行錯誤（" + step + "）：\n" + detail;
  box.buttons = Buttons::OK;
  box.icon = Icon::Critical;
  try {
    MsgBox(box);
  } catch (const std::exception&) {
    // Nothing more can be told; the end comes anyway.
  }
  End(1);
  std::abort();  // End does not return
}

}  // namespace components

#include "platform/qt/event_hold.h"

#include <QCoreApplication>

namespace qtdesk {

EventHold& EventHold::Get() {
  static EventHold hold;
  return hold;
}

void EventHold::Release() {
  if (depth_ == 0 || --depth_ > 0 || waiting_.empty() || posted_) return;
  posted_ = true;
  auto next = [this] {
    posted_ = false;
    if (held()) return;  // the next release comes back
    RunNext();
    if (!waiting_.empty() && !held() && !posted_) {
      ++depth_;  // a release that posts the rest
      Release();
    }
  };
  if (post_)
    post_(std::move(next));
  else
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(next), Qt::QueuedConnection);
}

void EventHold::RunNext() {
  std::function<void()> fn = std::move(waiting_.front());
  waiting_.pop_front();
  fn();
}

void EventHold::RunOrDefer(std::function<void()> fn) {
  if (held() || !waiting_.empty())
    waiting_.push_back(std::move(fn));
  else
    fn();
}

void PostHeld(std::function<void()> fn) {
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [fn = std::move(fn)] { EventHold::Get().RunOrDefer(fn); },
      Qt::QueuedConnection);
}

}  // namespace qtdesk

#pragma once

#include <functional>
#include <string>

namespace posix {

// One running copy of a book per user. Each copy keeps the lists in memory
// and rewrites their whole file, so two copies would lose each other's
// bookmarks: the first copy claims the book (a lock in the user's private
// runtime folder) and listens; a later one asks it to come forward and ends
// before it writes anything.
class SingleInstance {
 public:
  SingleInstance(const std::string& programName, const std::string& book);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // This copy holds the claim (also when no private folder could be had:
  // then nothing is shared and every copy runs).
  bool first() const { return lockFd_ >= 0 || !claimed_; }
  // A later copy: asks the first to come forward; true once it answered
  // that it did. False when it did not answer (it is ending, or stuck).
  bool AskFirstToShow() const;
  // A later copy whose first did not answer: tries the claim again.
  void Retry();
  // The first copy: readable when a later copy asks; -1 when not listening.
  int listener() const { return listenFd_; }
  // Takes one request from the listener: `show` brings the copy forward and
  // says whether it could; the asking copy hears that.
  void TakeRequest(const std::function<bool()>& show) const;

 private:
  void Claim();
  std::string lockPath_;
  bool claimed_ = false;  // another copy holds the lock
  int lockFd_ = -1;
  int listenFd_ = -1;
  std::string socketPath_;
};

}  // namespace posix

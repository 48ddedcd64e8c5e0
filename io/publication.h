#pragma once

namespace pixorale {

// While one lives, the calling thread is giving a set of files their names (the last step of
// WriteFilesTogether), and an interruption (SIGINT, SIGTERM, a console event) waits for the
// set to be named rather than leave part of it: a user finds all of an input's outputs or
// none. Not nested.
class Publication {
 public:
  Publication();
  ~Publication();
  Publication(const Publication&) = delete;
  Publication& operator=(const Publication&) = delete;

  // False when an interruption is already under way: the set is not to be named at all.
  bool started() const { return started_; }

 private:
  bool started_ = false;
};

// For a SIGINT or SIGTERM handler, called first: true when the handler must return at once,
// because a set is being named; the publishing thread raises `signal` again as soon as the
// set is complete. Waiting in the handler could wait for ever: the thread it interrupted may
// hold a lock (the allocator's) that the publishing thread needs. Safe in a signal handler.
bool DeferSignalDuringPublication(int signal) noexcept;

// For a handler that runs on a thread of its own (a console handler on Windows), never one
// that interrupted a thread: no new set is named from now on, and the one under way is waited
// for.
void WaitForPublications() noexcept;

}  // namespace pixorale

#pragma once
// What a long run shares with the thread that waits for it: how far it has got, and a request
// to stop. Everything here may be used from any thread.

#include <atomic>
#include <cstddef>
#include <stdexcept>

namespace corvane {

// Raised inside a run asked to stop. The run unwinds as a failed run does, putting nothing in
// place. It is not an error of the run: whoever asked for the stop reports it.
class RunCancelled : public std::runtime_error {
 public:
  RunCancelled() : std::runtime_error("run cancelled") {}
};

class RunControl {
 public:
  // Asks the run to stop. True when it will put nothing in place; false when it had already
  // begun to put its files in place, and so completes (or fails) on its own.
  bool Cancel() {
    int running = kRunning;
    return state_.compare_exchange_strong(running, kCancelled) || running == kCancelled;
  }
  bool Cancelled() const { return state_.load() == kCancelled; }
  void ThrowIfCancelled() const {
    if (Cancelled()) throw RunCancelled();
  }
  // The run is about to put its files in place: from here on a stop is refused. Raises
  // RunCancelled when the stop came first.
  void BeginCommit() {
    int running = kRunning;
    if (!state_.compare_exchange_strong(running, kCommitting)) throw RunCancelled();
  }

  void SetTotal(std::size_t total) { total_.store(total); }
  void Advance() { done_.fetch_add(1, std::memory_order_relaxed); }
  std::size_t Done() const { return done_.load(std::memory_order_relaxed); }
  std::size_t Total() const { return total_.load(); }

 private:
  enum : int { kRunning, kCommitting, kCancelled };
  std::atomic<int> state_{kRunning};
  std::atomic<std::size_t> done_{0};
  std::atomic<std::size_t> total_{0};
};

}  // namespace corvane

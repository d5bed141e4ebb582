// The signals that end a run from outside (Ctrl+C, Ctrl+\, kill, a closed
// terminal, a timer's alarm...), and what the run does about them while it
// writes its document.
#pragma once

#include <signal.h>

namespace velmo {

/// Holds the ending signals back while it lives: a signal sent meanwhile
/// takes effect when it ends.
class EndingSignalsHeld {
 public:
  EndingSignalsHeld();
  EndingSignalsHeld(const EndingSignalsHeld&) = delete;
  EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;
  ~EndingSignalsHeld();

 private:
  sigset_t previous_;
};

/// While it lives, an ending signal first removes the file `name` (which
/// must outlive it), then ends the process as it would have. A signal that
/// was ignored or handled when the run began (nohup) is left as it was.
/// One at a time.
class RemovedOnEndingSignals {
 public:
  explicit RemovedOnEndingSignals(const char* name);
  RemovedOnEndingSignals(const RemovedOnEndingSignals&) = delete;
  RemovedOnEndingSignals& operator=(const RemovedOnEndingSignals&) = delete;
  ~RemovedOnEndingSignals();

 private:
  struct sigaction previous_[NSIG] {};
  bool caught_[NSIG]{};
};

}  // namespace velmo

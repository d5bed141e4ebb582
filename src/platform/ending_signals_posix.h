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

/// From now on, an ending signal first removes the file `name` in the
/// directory `directory` (a name part, kept in a copy; the descriptor must
/// stay open until Forget), then ends the process as it would have. The
/// handlers are installed at the first call and stay; a signal that was
/// ignored or handled when the run began (nohup) is left as it was. One
/// file at a time.
void RemoveOnEndingSignals(int directory, const char* name);

/// The file is gone or in its place: an ending signal removes nothing more.
void ForgetOnEndingSignals();

}  // namespace velmo

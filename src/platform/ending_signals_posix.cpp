#include "platform/ending_signals_posix.h"

#include <unistd.h>

#include <csignal>

namespace velmo {

namespace {

/// True for the signals that end a process by default and can be caught,
/// when sent from outside; the faults of the program's own instructions
/// are left to their default.
bool EndsTheRun(int signal) {
  switch (signal) {
    case SIGKILL:
    case SIGSTOP:
    case SIGCHLD:
    case SIGCONT:
    case SIGTSTP:
    case SIGTTIN:
    case SIGTTOU:
    case SIGURG:
    case SIGWINCH:
    case SIGSEGV:
    case SIGBUS:
    case SIGILL:
    case SIGFPE: return false;
    default: return true;
  }
}

// The file to remove, for the handler; null when none.
const char* volatile pendingFile = nullptr;

extern "C" void RemovePendingFileAndEnd(int signal) {
  if (const char* file = pendingFile) ::unlink(file);
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

}  // namespace

EndingSignalsHeld::EndingSignalsHeld() {
  sigset_t held;
  sigemptyset(&held);
  for (int signal = 1; signal < NSIG; ++signal) {
    if (EndsTheRun(signal)) sigaddset(&held, signal);
  }
  ::sigprocmask(SIG_BLOCK, &held, &previous_);
}

EndingSignalsHeld::~EndingSignalsHeld() {
  ::sigprocmask(SIG_SETMASK, &previous_, nullptr);
}

RemovedOnEndingSignals::RemovedOnEndingSignals(const char* name) {
  pendingFile = name;
  for (int signal = 1; signal < NSIG; ++signal) {
    // Numbers that the C library keeps for itself refuse to be asked.
    if (!EndsTheRun(signal) || ::sigaction(signal, nullptr, &previous_[signal]) != 0) continue;
    if ((previous_[signal].sa_flags & SA_SIGINFO) || previous_[signal].sa_handler != SIG_DFL) continue;
    struct sigaction action {};
    action.sa_handler = RemovePendingFileAndEnd;
    sigemptyset(&action.sa_mask);
    caught_[signal] = ::sigaction(signal, &action, nullptr) == 0;
  }
}

RemovedOnEndingSignals::~RemovedOnEndingSignals() {
  for (int signal = 1; signal < NSIG; ++signal) {
    if (caught_[signal]) ::sigaction(signal, &previous_[signal], nullptr);
  }
  pendingFile = nullptr;
}

}  // namespace velmo

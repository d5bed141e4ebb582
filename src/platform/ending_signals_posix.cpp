#include "platform/ending_signals_posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstddef>

namespace velmo {

namespace {

// The signals that end a process by default, as others send them.
constexpr int kEndingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM, SIGALRM,   SIGUSR1,
                                  SIGUSR2, SIGABRT, SIGPIPE, SIGXCPU, SIGVTALRM, SIGPROF};
// The faults of the program's own instructions, which others can send too.
constexpr int kFaults[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE};

// The file to remove, for the handler: set before it is published.
int pendingDirectory = -1;
char pendingName[256];
volatile sig_atomic_t pending = 0;

/// True when `signal` is a fault of the program's own instructions, not
/// one that another process (or the kernel for it) sent.
bool IsOwnFault(int signal, const siginfo_t& info) {
  if (std::ranges::count(kFaults, signal) == 0) return false;
  bool sent = info.si_code <= 0 || info.si_code == SI_USER || info.si_code == SI_QUEUE;
#ifdef SI_KERNEL
  sent = sent || info.si_code == SI_KERNEL;  // Linux's own sending, as strace's
#endif
  return !sent;
}

extern "C" void RemovePendingFileAndEnd(int signal, siginfo_t* info, void*) {
  // The name lies in static storage, out of reach of a fault in the heap,
  // so even a run that crashes leaves no temporary file.
  if (pending) ::unlinkat(pendingDirectory, pendingName, 0);
  ::signal(signal, SIG_DFL);
  // A fault of the program's own comes back when the handler returns, so
  // that a core dump shows where; anything else is sent again, to end the
  // process as it would have.
  if (!IsOwnFault(signal, *info)) ::raise(signal);
}

void Install(int signal) {
  struct sigaction previous {};
  if (::sigaction(signal, nullptr, &previous) != 0) return;
  if ((previous.sa_flags & SA_SIGINFO) || previous.sa_handler != SIG_DFL) return;
  struct sigaction action {};
  action.sa_sigaction = RemovePendingFileAndEnd;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, nullptr);
}

void InstallOnce() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (int signal : kEndingSignals) Install(signal);
  for (int signal : kFaults) Install(signal);
}

}  // namespace

EndingSignalsHeld::EndingSignalsHeld() {
  sigset_t held;
  sigemptyset(&held);
  for (int signal : kEndingSignals) sigaddset(&held, signal);
  ::sigprocmask(SIG_BLOCK, &held, &previous_);
}

EndingSignalsHeld::~EndingSignalsHeld() {
  ::sigprocmask(SIG_SETMASK, &previous_, nullptr);
}

void RemoveOnEndingSignals(int directory, const char* name) {
  InstallOnce();
  pending = 0;
  pendingDirectory = directory;
  std::size_t i = 0;
  for (; name[i] != '\0' && i + 1 < sizeof pendingName; ++i) pendingName[i] = name[i];
  pendingName[i] = '\0';
  pending = 1;
}

void ForgetOnEndingSignals() {
  pending = 0;
}

}  // namespace velmo

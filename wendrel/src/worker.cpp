/*
 * worker.cpp - running a command on a worker thread: the status shared with
 * the caller, the cancel event, and the worker itself (RunWaitable) with the
 * two ways to start it (SpawnCmdLine, StartWaitable).
 *
 * The worker waits with poll() on the child's process descriptor and the
 * cancel event together, so it never spins.  The child leads a process group
 * of its own; cancelling kills the whole group and reaps the child.
 */
#include "wendrel_run.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <system_error>

/* ---- status ------------------------------------------------------------ */

void SWaitableStatus::SetStatus(EStatus status) {
  std::lock_guard<std::mutex> g(lock_);
  status_ = status;
}

SWaitableStatus::EStatus SWaitableStatus::GetStatus() const {
  std::lock_guard<std::mutex> g(lock_);
  return status_;
}

void SWaitableStatus::SetExitStatus(int status) {
  std::lock_guard<std::mutex> g(lock_);
  exitStatus_ = status;
}

int SWaitableStatus::GetExitStatus() const {
  std::lock_guard<std::mutex> g(lock_);
  return exitStatus_;
}

void SWaitableStatus::SetFailure(const std::string &why) {
  std::lock_guard<std::mutex> g(lock_);
  failure_ = why;
}

std::string SWaitableStatus::GetFailure() const {
  std::lock_guard<std::mutex> g(lock_);
  return failure_;
}

/* ---- cancel event -------------------------------------------------------- */

int CreateCancelEvent() { return ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); }

bool SetCancelEvent(int event) {
  if (event < 0) return false;
  uint64_t one = 1;
  /* The counter is never read, so the event stays signalled.  A full counter
   * (EAGAIN) means it is signalled already. */
  ssize_t n;
  do {
    n = ::write(event, &one, sizeof one);
  } while (n < 0 && errno == EINTR);
  return n == sizeof one || errno == EAGAIN;
}

void CloseCancelEvent(int &event) {
  if (event >= 0) ::close(event);
  event = -1;
}

/* ---- the worker's parameters ------------------------------------------- */

SThreadParams::~SThreadParams() {
  if (worker_.joinable()) {
    SetCancelEvent(stopEvent_);
    worker_.join();
  }
  ::CloseCancelEvent(stopEvent_);
  ::CloseCancelEvent(cancelEvent);
}

void SThreadParams::Cancel() { SetCancelEvent(cancelEvent); }

void SThreadParams::CloseCancelEvent() { ::CloseCancelEvent(cancelEvent); }

bool SThreadParams::WaitWorker(unsigned long ms) {
  {
    std::unique_lock<std::mutex> lk(workerLock_);
    auto ended = [this] { return !workerRunning_; };
    if (ms == WR_INFINITE)
      workerEnded_.wait(lk, ended);
    else if (!workerEnded_.wait_for(lk, std::chrono::milliseconds(ms), ended))
      return false;
  }
  if (worker_.joinable()) worker_.join();
  return true;
}

bool SThreadParams::IsWorkerDone() const {
  std::lock_guard<std::mutex> g(workerLock_);
  return !workerRunning_;
}

unsigned SThreadParams::WorkerResult() const {
  std::lock_guard<std::mutex> g(workerLock_);
  return workerResult_;
}

pid_t SThreadParams::ProcessId() const {
  std::lock_guard<std::mutex> g(workerLock_);
  return processId_;
}

void SThreadParams::SetProcessId(pid_t pid) {
  std::lock_guard<std::mutex> g(workerLock_);
  processId_ = pid;
}

/* ---- the worker ------------------------------------------------------------ */

static int PollTimeout(unsigned long ms) {
  if (ms == WR_INFINITE) return -1;
  if (ms == 0) return 1; /* a zero time-out would spin: wait again at once */
  return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

static bool Readable(const pollfd &p) { return p.fd >= 0 && (p.revents & (POLLIN | POLLHUP)); }

static void KillGroup(pid_t pid) {
  ::kill(-pid, SIGKILL);
  ::kill(pid, SIGKILL); /* in case the child left its group */
}

/* The worker watches its own copy of an event, so that a caller who closes
 * its handle early cannot make it watch some unrelated descriptor. */
static int DupEvent(int event) { return event >= 0 ? ::fcntl(event, F_DUPFD_CLOEXEC, 0) : -1; }

unsigned RunWaitable(SThreadParams *p) {
  if (!p) return WR_WAIT_FAILED;
  p->SetExitStatus(-1);
  p->SetFailure(std::string());
  p->SetStatus(SWaitableStatus::Failed);
  if (p->beforeCreate) p->beforeCreate(*p);

  SStartupInfo startup = p->startupInfo;
  startup.newProcessGroup = true;
  SProcessInfo pi;
  if (!SendOutputTo(p->sendOutput, &startup, &pi)) {
    p->SetFailure(pi.error);
    p->SetStatus(SWaitableStatus::Failed);
    return WR_WAIT_FAILED;
  }
  p->SetStatus(SWaitableStatus::Running);
  p->SetProcessId(pi.processId);

  pollfd fds[3] = {{pi.process, POLLIN, 0},
                   {DupEvent(p->cancelEvent), POLLIN, 0},
                   {DupEvent(p->stopEvent_), POLLIN, 0}};
  unsigned result = 0;
  for (;;) {
    for (pollfd &f : fds) f.revents = 0;
    int r = -1;
    errno = EBADF; /* no process descriptor: the wait fails */
    if (pi.process >= 0) r = ::poll(fds, 3, PollTimeout(p->timeOut));
    if (r == 0 || (r < 0 && errno == EINTR)) continue; /* time-out: wait again */
    if (r > 0 && Readable(fds[0])) {
      p->SetExitStatus(CollectProcess(pi));
      p->SetStatus(SWaitableStatus::Finished);
      break;
    }
    if (r > 0 && (Readable(fds[1]) || Readable(fds[2]))) {
      KillGroup(pi.processId);
      p->SetExitStatus(CollectProcess(pi));
      break; /* the status stays Running: the run was cancelled */
    }
    /* The wait itself failed: nobody could follow the child any more, so it
     * goes too. */
    KillGroup(pi.processId);
    p->SetExitStatus(CollectProcess(pi));
    p->SetFailure("waiting for the process failed");
    p->SetStatus(SWaitableStatus::Failed);
    result = WR_WAIT_FAILED;
    break;
  }
  for (int i = 1; i < 3; ++i)
    if (fds[i].fd >= 0) ::close(fds[i].fd);
  p->SetProcessId(-1);
  return result;
}

int StartWaitable(SThreadParams &p) {
  if (!p.IsWorkerDone()) return 0;
  if (p.worker_.joinable()) p.worker_.join(); /* a previous run, ended */
  if (p.stopEvent_ < 0) p.stopEvent_ = CreateCancelEvent();
  p.SetStatus(SWaitableStatus::Running);
  {
    std::lock_guard<std::mutex> g(p.workerLock_);
    p.workerRunning_ = true;
    p.workerResult_ = 0;
  }
  try {
    p.worker_ = std::thread([&p] {
      unsigned r = RunWaitable(&p);
      std::lock_guard<std::mutex> g(p.workerLock_);
      p.workerResult_ = r;
      p.workerRunning_ = false;
      p.workerEnded_.notify_all();
    });
  } catch (const std::system_error &) {
    std::lock_guard<std::mutex> g(p.workerLock_);
    p.workerRunning_ = false;
    return 0;
  }
  return 1;
}

int SpawnCmdLine(SThreadParams &p, const char *cmdLine, const char *curDir,
                 unsigned short showWindow) {
  if (!p.IsWorkerDone()) return 0;
  p.SetStatus(SWaitableStatus::Running);
  p.timeOut = WR_INFINITE;
  p.CloseCancelEvent();
  p.cancelEvent = CreateCancelEvent();
  if (p.cancelEvent < 0) return 0;
  p.startupInfo = SStartupInfo();
  p.startupInfo.useShowWindow = true;
  p.startupInfo.showWindow = showWindow;
  p.sendOutput = SSendOutputParams();
  p.sendOutput.cmdLine = cmdLine ? cmdLine : "";
  p.sendOutput.curDir = curDir ? curDir : "";
  return StartWaitable(p);
}

/*
 * wendrel_run.h - the command runner: the one place where the system's
 * programs start other programs.
 *
 * A command line is one string, split into the child's argument vector by
 * the rule of wendrel_cmdline.h; the first word names the program, looked up
 * in PATH when it holds no '/' (a name with '/' is taken relative to the
 * child's current directory).  The program is started directly with that
 * vector, never through a shell.  Standard input is inherited; standard
 * output and standard error go to the caller's or into files.  No other
 * descriptor of the caller reaches the child, and signals that the caller
 * ignores or blocks are back to their defaults in the child.
 *
 * Three ways to run a command:
 *
 *   - ProcessCmdLineWait starts it and waits on the calling thread,
 *     repainting the caller's windows meanwhile;
 *   - SpawnCmdLine starts a worker thread that starts the command and waits
 *     for it, while the caller polls the status and may cancel the run;
 *   - a caller that needs redirection fills an SThreadParams itself and
 *     calls StartWaitable (a worker) or RunWaitable (on its own thread).
 *
 * A run of a worker:
 *
 *     SThreadParams run;
 *     if (!SpawnCmdLine(run, cmd.c_str(), nullptr, 0)) ... not started ...
 *     while (!run.WaitWorker(100)) { ... keep the progress window alive,
 *                                    run.Cancel() when the user asks ... }
 *     bool ok = !cancelled && run.GetStatus() == SWaitableStatus::Finished;
 *
 * Poll the worker's end with WaitWorker or IsWorkerDone, not the status: the
 * status reads Failed for a moment while the worker creates the process, and
 * stays Running after a cancellation.  The child runs in a process group of
 * its own, so a cancellation kills whatever it started too, and every child
 * is reaped: no process and no zombie is left behind.
 *
 * Waiting functions take time-outs in milliseconds; WR_INFINITE means none.
 * Handles are descriptors that become readable when signalled (the process
 * descriptor of a child, a cancel event); -1 is the invalid handle.
 *
 * The show-window values of the windowed callers are accepted everywhere and
 * have no effect on Linux: a child opens its own windows, if any.
 *
 * The pump functions use Qt's event loop of the calling thread when a
 * QCoreApplication exists and do nothing otherwise, so console programs use
 * the runner as they are.
 */
#ifndef WENDREL_RUN_H
#define WENDREL_RUN_H

#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

/* ---- time-outs and wait results ------------------------------------ */

inline constexpr unsigned long WR_INFINITE = 0xFFFFFFFFul;
inline constexpr unsigned long WR_WAIT_SIGNALLED = 0;      /* the handle is signalled */
inline constexpr unsigned long WR_WAIT_TIMEOUT = 258;      /* the total time ran out */
inline constexpr unsigned long WR_WAIT_FAILED = 0xFFFFFFFFul;

/* Three-way comparison of two time-outs in which WR_INFINITE is greater than
 * every finite value (two infinite time-outs are equal). */
int CompareTimeOuts(unsigned long a, unsigned long b);

/* ---- the description of one process --------------------------------- */

struct SSendOutputParams {
  /* The whole command line (see wendrel_cmdline.h). */
  std::string cmdLine;
  /* The child's current directory; empty: the caller's. */
  std::string curDir;
  /* When not empty, the child's standard output goes to this file, created
   * anew (an existing file is truncated). */
  std::string outputFile;
  /* When set, standard error shares standard output's destination and
   * errorFile is ignored. */
  bool errToOutput = false;
  /* Used only when errToOutput is clear: when not empty, the child's
   * standard error goes to this file, created anew.  Naming the output file
   * here shares its descriptor, as errToOutput does. */
  std::string errorFile;
};

/* How to start the process. */
struct SStartupInfo {
  bool useShowWindow = false;
  unsigned short showWindow = 0; /* accepted; no effect on Linux */
  /* Start the child as the leader of a new process group, so that the whole
   * group can be killed (the workers always do). */
  bool newProcessGroup = false;
};

/* A started process.  The caller of SendOutputTo owns it and ends it with
 * CollectProcess (wait and reap) or CloseProcessInfo (let it run on). */
struct SProcessInfo {
  pid_t processId = -1;
  /* Readable once the process has ended (a process descriptor). */
  int process = -1;
  /* Why the start failed, in words, when SendOutputTo returned 0. */
  std::string error;
};

/* Starts the process described by params and returns at once: non-zero when
 * it was created.  Redirection files are created before the process, and
 * when one cannot be created nothing is started.  An empty or blank command
 * line, a missing program and a current directory that cannot be entered
 * are failures.  Either record may be null.  Without a process record the
 * child is left to run and is reaped in the background when it ends. */
int SendOutputTo(const SSendOutputParams &params, const SStartupInfo *startup,
                 SProcessInfo *info);

/* Waits (blocking, no repainting) until the process of info has ended and
 * reaps it; returns its exit status (0 to 255, or 128 + the signal number
 * that killed it), or -1 when it cannot be collected.  Closes the handle. */
int CollectProcess(SProcessInfo &info);

/* Closes the handle without waiting; the process runs on and is reaped in
 * the background when it ends. */
void CloseProcessInfo(SProcessInfo &info);

/* Starts the command with no redirection and waits until it ends, repainting
 * the caller's windows every 200 ms.  Returns 0 when the process cannot be
 * started or the wait fails, non-zero otherwise, whatever the child's exit
 * status; that status (see CollectProcess) is stored in *exitStatus when
 * given, -1 when there is none. */
int ProcessCmdLineWait(const char *cmdLine, const char *curDir, unsigned short showWindow,
                       int *exitStatus = nullptr);

/* ---- waiting on the calling thread ---------------------------------- */

/* Waits for handle in slices of sliceMs, processing pending paint and timer
 * events (never user input) between slices, until it is signalled or totalMs
 * have passed.  Returns WR_WAIT_SIGNALLED, WR_WAIT_TIMEOUT or
 * WR_WAIT_FAILED (also for the invalid handle).  Time is measured on the
 * monotonic clock; a slice of 0 counts as 1 ms so that the wait never
 * spins. */
unsigned long WaitForObject(int handle, unsigned long sliceMs, unsigned long totalMs);

/* Processes the calling thread's pending paint and timer events, not user
 * input.  Nothing without a QCoreApplication. */
void Pump_WM_PAINT();

/* Processes all pending events of the calling thread.  Returns 1, or 0 once
 * the application has been asked to quit (then the outer event loop ends as
 * asked and later calls keep returning 0).  1 without a QCoreApplication. */
int PumpCurrentThread();

/* ---- the cancel event ------------------------------------------------ */

/* A manual-reset event: created unsignalled, stays signalled once set.
 * Returns -1 when it cannot be created. */
int CreateCancelEvent();
/* Signals the event; safe to call from a signal handler.  False for the
 * invalid handle. */
bool SetCancelEvent(int event);
/* Closes the event (when valid) and sets it to -1. */
void CloseCancelEvent(int &event);

/* ---- the status of a worker run ------------------------------------- */

struct SWaitableStatus {
  enum EStatus : std::int32_t {
    Running = 0,  /* started, or cancelled once the worker has returned */
    Finished = 1, /* the process ended by itself */
    Failed = 3    /* creating the process or waiting for it failed */
  };

  SWaitableStatus() = default;
  SWaitableStatus(const SWaitableStatus &) = delete;
  SWaitableStatus &operator=(const SWaitableStatus &) = delete;

  void SetStatus(EStatus status);
  EStatus GetStatus() const;
  /* The child's exit status (see CollectProcess) once it has been reaped,
   * also after a cancellation (killed: 128 + 9); -1 before. */
  void SetExitStatus(int status);
  int GetExitStatus() const;
  /* Why the run failed, in words; empty unless the status is Failed. */
  void SetFailure(const std::string &why);
  std::string GetFailure() const;

 private:
  mutable std::mutex lock_;
  EStatus status_ = Running;
  int exitStatus_ = -1;
  std::string failure_;
};

/* Everything a worker needs.  The caller owns it and keeps it alive while
 * the worker runs; destroying it cancels a run still going and waits for the
 * worker, and closes the cancel event. */
struct SThreadParams : SWaitableStatus {
  SStartupInfo startupInfo;
  SSendOutputParams sendOutput;
  /* Cancel event (see CreateCancelEvent); -1: the run cannot be cancelled. */
  int cancelEvent = -1;
  /* Length of each wait for the process; the worker waits again after a
   * time-out, so this only bounds how long one wait lasts. */
  unsigned long timeOut = WR_INFINITE;
  /* Called on the worker thread after it has set Failed and before it
   * creates the process; for tests. */
  std::function<void(SThreadParams &)> beforeCreate;

  SThreadParams() = default;
  ~SThreadParams();

  /* Signals the cancel event. */
  void Cancel();
  /* Closes the cancel event (when valid) and sets it to -1. */
  void CloseCancelEvent();
  /* Waits up to ms for the worker started by SpawnCmdLine or StartWaitable
   * to return; true when it has (or none was started). */
  bool WaitWorker(unsigned long ms);
  bool IsWorkerDone() const;
  /* RunWaitable's result once the worker has returned. */
  unsigned WorkerResult() const;
  /* The child's process id while it runs; -1 before and after. */
  pid_t ProcessId() const;

 private:
  friend int StartWaitable(SThreadParams &params);
  friend unsigned RunWaitable(SThreadParams *params);
  void SetProcessId(pid_t pid);

  mutable std::mutex workerLock_;
  std::condition_variable workerEnded_;
  std::thread worker_;
  bool workerRunning_ = false;
  unsigned workerResult_ = 0;
  pid_t processId_ = -1;
  /* Signalled by the destructor to end a worker still running. */
  int stopEvent_ = -1;
};

/* Prepares params for the command (status Running, infinite time-out, a new
 * cancel event, startup record with the show-window value, no redirection)
 * and starts the worker.  Returns non-zero when the worker was started; 0
 * when the event or the thread cannot be created or a worker of params is
 * still running. */
int SpawnCmdLine(SThreadParams &params, const char *cmdLine, const char *curDir,
                 unsigned short showWindow);

/* Starts RunWaitable on a worker thread for parameters the caller has filled
 * (redirection, time-out, its own cancel event or none).  Sets the status to
 * Running first.  Returns non-zero when the worker was started, 0 when the
 * thread cannot be created or a worker of params is still running. */
int StartWaitable(SThreadParams &params);

/* The worker: sets Failed, creates the process (in a group of its own),
 * sets Running and waits for the process or the cancel event.  The process
 * ending gives Finished; the cancel event kills the process group, reaps the
 * child and leaves the status Running; a failed wait gives Failed (the
 * group is killed too).  Returns 0 after an end or a cancellation,
 * WR_WAIT_FAILED when the process cannot be created or a wait fails.  May
 * also be called directly, on any thread. */
unsigned RunWaitable(SThreadParams *params);

#endif

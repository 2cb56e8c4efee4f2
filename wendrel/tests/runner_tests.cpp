/* Starting processes: SendOutputTo, ProcessCmdLineWait and the worker, run
 * against the real test child. */
#include <gtest/gtest.h>

#include "runner_support.h"
#include "wendrel_run.h"

#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <vector>

namespace {

/* Runs cmd to its end with output (and error) sent into a file of dir;
 * returns what it wrote. */
std::string RunCaptured(const ScratchDir &dir, const std::string &cmd, int *exitStatus = nullptr) {
  SSendOutputParams p;
  p.cmdLine = cmd;
  p.outputFile = dir.Path("out.txt");
  p.errToOutput = true;
  SProcessInfo pi;
  if (!SendOutputTo(p, nullptr, &pi)) return "<not started: " + pi.error + ">";
  int st = CollectProcess(pi);
  if (exitStatus) *exitStatus = st;
  return ReadFile(p.outputFile);
}

std::vector<std::string> NulSeparated(const std::string &s) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i)
    if (s[i] == '\0') {
      out.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  return out;
}

bool Alive(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string pidText, comm, state;
  if (!(stat >> pidText >> comm >> state)) return false;
  return state != "Z";
}

/* Points descriptor 1 at a file for the life of the object. */
class StdoutToFile {
 public:
  explicit StdoutToFile(const std::string &path) {
    fflush(stdout);
    saved_ = dup(1);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(fd, 1);
    close(fd);
  }
  ~StdoutToFile() {
    fflush(stdout);
    dup2(saved_, 1);
    close(saved_);
  }

 private:
  int saved_;
};

}  // namespace

/* ---- SendOutputTo ------------------------------------------------------- */

TEST(SendOutputTo, WordsReachTheChildLiterally) {
  ScratchDir dir;
  std::vector<std::string> words = {"$(touch pwned)", ";rm x", "`touch q`", "a|b", "*",
                                     "two words", "quote\"d", "back\\slash\\", "new\nline", ""};
  SSendOutputParams p;
  p.cmdLine = Child("args " + JoinCmdLine(words));
  p.curDir = dir.Str();
  p.outputFile = dir.Path("out.txt");
  SProcessInfo pi;
  ASSERT_TRUE(SendOutputTo(p, nullptr, &pi)) << pi.error;
  EXPECT_EQ(CollectProcess(pi), 0);
  EXPECT_EQ(NulSeparated(ReadFile(p.outputFile)), words);
  EXPECT_FALSE(fs::exists(dir.Path("pwned")));
  EXPECT_FALSE(fs::exists(dir.Path("q")));
}

TEST(SendOutputTo, RedirectsOutputAndError) {
  ScratchDir dir;
  SSendOutputParams p;
  p.cmdLine = Child("out o1 err e1 out o2");
  p.outputFile = dir.Path("out.txt");
  p.errorFile = dir.Path("err.txt");
  WriteFile(p.outputFile, "old text that must go away\n");
  SProcessInfo pi;
  ASSERT_TRUE(SendOutputTo(p, nullptr, &pi));
  CollectProcess(pi);
  EXPECT_EQ(ReadFile(p.outputFile), "o1\no2\n");
  EXPECT_EQ(ReadFile(p.errorFile), "e1\n");

  /* With the flag, the error file is ignored even though it is named. */
  p.errorFile = dir.Path("ignored.txt");
  p.errToOutput = true;
  ASSERT_TRUE(SendOutputTo(p, nullptr, &pi));
  CollectProcess(pi);
  EXPECT_EQ(ReadFile(p.outputFile), "o1\ne1\no2\n");
  EXPECT_FALSE(fs::exists(p.errorFile));

  /* The same file named twice is shared, not overwritten from two places. */
  p.errToOutput = false;
  p.errorFile = p.outputFile;
  ASSERT_TRUE(SendOutputTo(p, nullptr, &pi));
  CollectProcess(pi);
  EXPECT_EQ(ReadFile(p.outputFile), "o1\ne1\no2\n");
}

TEST(SendOutputTo, EmptyOutputNameMeansNoRedirection) {
  ScratchDir dir;
  SSendOutputParams p;
  p.cmdLine = Child("out inherited");
  p.outputFile = "";
  p.errorFile = "";
  {
    StdoutToFile capture(dir.Path("stdout.txt"));
    SProcessInfo pi;
    ASSERT_TRUE(SendOutputTo(p, nullptr, &pi));
    CollectProcess(pi);
  }
  EXPECT_EQ(ReadFile(dir.Path("stdout.txt")), "inherited\n");
}

TEST(SendOutputTo, FailuresStartNothing) {
  ScratchDir dir;
  std::string pidfile = dir.Path("pid.txt");
  SSendOutputParams p;
  SProcessInfo pi;

  p.cmdLine = Child("pidfile " + QuoteCmdArg(pidfile));
  p.outputFile = dir.Path("no/such/dir/out.txt");
  EXPECT_FALSE(SendOutputTo(p, nullptr, &pi));
  EXPECT_NE(pi.error.find("cannot create file"), std::string::npos) << pi.error;

  p.outputFile = dir.Path("out.txt");
  p.errorFile = dir.Path("no/such/dir/err.txt");
  EXPECT_FALSE(SendOutputTo(p, nullptr, &pi));
  EXPECT_EQ(pi.processId, -1);
  EXPECT_EQ(pi.process, -1);

  /* A directory that cannot be entered is found before any file is
   * truncated. */
  WriteFile(dir.Path("keep.txt"), "precious");
  p = SSendOutputParams();
  p.cmdLine = Child("pidfile " + QuoteCmdArg(pidfile));
  p.curDir = dir.Path("missing");
  p.outputFile = dir.Path("keep.txt");
  EXPECT_FALSE(SendOutputTo(p, nullptr, &pi));
  EXPECT_NE(pi.error.find("cannot enter directory"), std::string::npos) << pi.error;
  EXPECT_EQ(ReadFile(dir.Path("keep.txt")), "precious");

  p = SSendOutputParams();
  p.cmdLine = "wendrel-no-such-program-anywhere arg";
  EXPECT_FALSE(SendOutputTo(p, nullptr, &pi));
  EXPECT_NE(pi.error.find("cannot start \"wendrel-no-such-program-anywhere\""), std::string::npos);
  p.cmdLine = " \t ";
  EXPECT_FALSE(SendOutputTo(p, nullptr, nullptr));

  EXPECT_FALSE(fs::exists(pidfile));
}

TEST(SendOutputTo, NoDescriptorOfTheCallerLeaks) {
  ScratchDir dir;
  /* Descriptors without close-on-exec, as a careless library leaves them. */
  int devnull = open("/dev/null", O_RDONLY);
  int pipefd[2];
  ASSERT_EQ(pipe(pipefd), 0);
  std::string text = RunCaptured(dir, Child("fds"));
  close(devnull);
  close(pipefd[0]);
  close(pipefd[1]);
  std::istringstream in(text);
  int fd;
  while (in >> fd) EXPECT_LE(fd, 2) << "descriptor " << fd << " reached the child";
}

TEST(SendOutputTo, DirectorySignalsAndExitStatus) {
  ScratchDir dir;
  SSendOutputParams p;
  p.cmdLine = Child("cwd sigpipe exit 7");
  p.curDir = dir.Str();
  p.outputFile = dir.Path("out.txt");
  struct sigaction ignore = {}, old;
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &old);
  SProcessInfo pi;
  bool started = SendOutputTo(p, nullptr, &pi);
  sigaction(SIGPIPE, &old, nullptr);
  ASSERT_TRUE(started);
  EXPECT_EQ(CollectProcess(pi), 7);
  EXPECT_EQ(ReadFile(p.outputFile),
            fs::canonical(dir.Str()).string() + "\ndefault\n");

  /* Killed by a signal: 128 + its number, as a shell reports it. */
  p.cmdLine = Child("sleep 5000");
  p.curDir.clear();
  ASSERT_TRUE(SendOutputTo(p, nullptr, &pi));
  kill(pi.processId, SIGTERM);
  EXPECT_EQ(CollectProcess(pi), 128 + SIGTERM);
}

TEST(SendOutputTo, ChildWithoutRecordIsReapedInTheBackground) {
  ScratchDir dir;
  std::string pidfile = dir.Path("pid.txt");
  SSendOutputParams p;
  p.cmdLine = Child("pidfile " + QuoteCmdArg(pidfile) + " sleep 100");
  ASSERT_TRUE(SendOutputTo(p, nullptr, nullptr));
  ASSERT_TRUE(WaitUntil([&] { return ReadFile(pidfile).find('\n') != std::string::npos; }));
  pid_t pid = std::stoi(ReadFile(pidfile));
  /* Neither running nor a zombie once it has ended. */
  EXPECT_TRUE(WaitUntil([&] { return !fs::exists("/proc/" + std::to_string(pid)); }));
}

/* ---- ProcessCmdLineWait --------------------------------------------------- */

TEST(ProcessCmdLineWait, ReportsStartNotOutcome) {
  int status = 99;
  EXPECT_NE(ProcessCmdLineWait(Child("exit 3").c_str(), nullptr, 0, &status), 0);
  EXPECT_EQ(status, 3);
  EXPECT_NE(ProcessCmdLineWait(Child("sleep 250").c_str(), "", 5), 0);
  EXPECT_EQ(ProcessCmdLineWait("wendrel-no-such-program-anywhere", nullptr, 0, &status), 0);
  EXPECT_EQ(status, -1);
  EXPECT_EQ(ProcessCmdLineWait(nullptr, nullptr, 0), 0);
}

/* ---- the worker ------------------------------------------------------------- */

TEST(Worker, StatusOfARunThatEndsByItself) {
  SThreadParams run;
  std::vector<SWaitableStatus::EStatus> beforeCreate;
  run.beforeCreate = [&](SThreadParams &p) { beforeCreate.push_back(p.GetStatus()); };
  ASSERT_TRUE(SpawnCmdLine(run, Child("sleep 150 exit 5").c_str(), nullptr, 0));
  ASSERT_TRUE(WaitUntil([&] { return run.ProcessId() > 0 || run.IsWorkerDone(); }));
  EXPECT_EQ(run.GetStatus(), SWaitableStatus::Running);
  EXPECT_GE(run.cancelEvent, 0);
  ASSERT_TRUE(run.WaitWorker(5000));
  EXPECT_EQ(beforeCreate, std::vector<SWaitableStatus::EStatus>{SWaitableStatus::Failed});
  EXPECT_EQ(run.GetStatus(), SWaitableStatus::Finished);
  EXPECT_EQ(run.WorkerResult(), 0u);
  EXPECT_EQ(run.GetExitStatus(), 5);
  EXPECT_EQ(run.ProcessId(), -1);
  EXPECT_EQ(run.GetFailure(), "");
}

TEST(Worker, CancelKillsTheWholeGroup) {
  ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0); /* orphans come back to us */
  ScratchDir dir;
  std::string pids = dir.Path("pids.txt"), grand = dir.Path("grand.txt");
  SThreadParams run;
  std::string cmd = Child("pidfile " + QuoteCmdArg(pids) + " grandchild " + QuoteCmdArg(grand) +
                          " sleep 20000");
  ASSERT_TRUE(SpawnCmdLine(run, cmd.c_str(), nullptr, 0));
  ASSERT_TRUE(WaitUntil([&] { return !ReadFile(grand).empty() && !ReadFile(pids).empty(); }));
  pid_t child = 0, group = 0, grandchild = std::stoi(ReadFile(grand));
  std::istringstream(ReadFile(pids)) >> child >> group;
  ASSERT_GT(group, 1);
  /* Should the test fail, nothing of the group outlives it. */
  std::shared_ptr<void> cleanup(nullptr, [&](void *) {
    kill(-group, SIGKILL);
    kill(grandchild, SIGKILL);
    waitpid(grandchild, nullptr, 0);
  });
  EXPECT_EQ(child, group); /* a group of its own */
  EXPECT_NE(group, getpgrp());

  run.Cancel();
  ASSERT_TRUE(run.WaitWorker(5000));
  EXPECT_EQ(run.GetStatus(), SWaitableStatus::Running);
  EXPECT_EQ(run.WorkerResult(), 0u);
  EXPECT_EQ(run.GetExitStatus(), 128 + SIGKILL);
  /* The grandchild was killed with the group; reap it as its new parent. */
  EXPECT_TRUE(WaitUntil([&] {
    waitpid(grandchild, nullptr, WNOHANG);
    return !Alive(grandchild) && kill(-group, 0) != 0;
  }));
  EXPECT_FALSE(fs::exists("/proc/" + std::to_string(child)));
}

TEST(Worker, FailuresToStart) {
  ScratchDir dir;
  SThreadParams run;
  ASSERT_TRUE(SpawnCmdLine(run, "wendrel-no-such-program-anywhere", nullptr, 0));
  ASSERT_TRUE(run.WaitWorker(5000));
  EXPECT_EQ(run.GetStatus(), SWaitableStatus::Failed);
  EXPECT_EQ(run.WorkerResult(), WR_WAIT_FAILED);
  EXPECT_NE(run.GetFailure(), "");

  /* A redirection file that cannot be created: nothing starts. */
  std::string pidfile = dir.Path("pid.txt");
  run.sendOutput = SSendOutputParams();
  run.sendOutput.cmdLine = Child("pidfile " + QuoteCmdArg(pidfile));
  run.sendOutput.outputFile = dir.Str(); /* a directory */
  ASSERT_TRUE(StartWaitable(run));
  ASSERT_TRUE(run.WaitWorker(5000));
  EXPECT_EQ(run.GetStatus(), SWaitableStatus::Failed);
  EXPECT_NE(run.GetFailure().find("cannot create file"), std::string::npos);
  EXPECT_FALSE(fs::exists(pidfile));
}

TEST(Worker, RedirectedRunWithoutCancelEventAndShortTimeOut) {
  ScratchDir dir;
  SThreadParams run;
  run.sendOutput.cmdLine = Child("out hello sleep 120 err world");
  run.sendOutput.outputFile = dir.Path("console.txt");
  run.sendOutput.errToOutput = true;
  run.timeOut = 10; /* each wait times out several times before the end */
  ASSERT_EQ(run.cancelEvent, -1);
  ASSERT_TRUE(StartWaitable(run));
  EXPECT_FALSE(StartWaitable(run)); /* one worker at a time */
  EXPECT_FALSE(SpawnCmdLine(run, Child("").c_str(), nullptr, 0));
  ASSERT_TRUE(run.WaitWorker(5000));
  EXPECT_EQ(run.GetStatus(), SWaitableStatus::Finished);
  EXPECT_EQ(ReadFile(dir.Path("console.txt")), "hello\nworld\n");

  /* The same parameters run again, this time on the calling thread. */
  EXPECT_EQ(RunWaitable(&run), 0u);
  EXPECT_EQ(run.GetStatus(), SWaitableStatus::Finished);
  EXPECT_EQ(RunWaitable(nullptr), WR_WAIT_FAILED);
}

TEST(Worker, DestroyingTheParametersEndsTheRun) {
  ScratchDir dir;
  std::string pids = dir.Path("pids.txt");
  auto started = std::chrono::steady_clock::now();
  {
    SThreadParams run;
    run.sendOutput.cmdLine = Child("pidfile " + QuoteCmdArg(pids) + " sleep 20000");
    ASSERT_TRUE(StartWaitable(run)); /* no cancel event at all */
    ASSERT_TRUE(WaitUntil([&] { return !ReadFile(pids).empty(); }));
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
  pid_t child = std::stoi(ReadFile(pids));
  EXPECT_FALSE(fs::exists("/proc/" + std::to_string(child)));
}

TEST(CancelEvent, StaysSignalled) {
  int ev = CreateCancelEvent();
  ASSERT_GE(ev, 0);
  EXPECT_EQ(WaitForObject(ev, 5, 20), WR_WAIT_TIMEOUT);
  EXPECT_TRUE(SetCancelEvent(ev));
  EXPECT_TRUE(SetCancelEvent(ev));
  EXPECT_EQ(WaitForObject(ev, 5, 20), WR_WAIT_SIGNALLED);
  EXPECT_EQ(WaitForObject(ev, 5, 20), WR_WAIT_SIGNALLED);
  CloseCancelEvent(ev);
  EXPECT_EQ(ev, -1);
  EXPECT_FALSE(SetCancelEvent(ev));
}

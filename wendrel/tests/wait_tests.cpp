/* Waiting on the calling thread: time-outs, the sliced wait and the pumps,
 * with and without an application object. */
#include <gtest/gtest.h>

#include "wendrel_run.h"

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <thread>

#include <unistd.h>

using Clock = std::chrono::steady_clock;

static long long MsSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

TEST(CompareTimeOuts, InfiniteIsGreatest) {
  EXPECT_EQ(CompareTimeOuts(WR_INFINITE, WR_INFINITE), 0);
  EXPECT_EQ(CompareTimeOuts(5, WR_INFINITE), -1);
  EXPECT_EQ(CompareTimeOuts(WR_INFINITE, 5), 1);
  EXPECT_EQ(CompareTimeOuts(0xFFFFFFFEul, WR_INFINITE), -1);
  EXPECT_EQ(CompareTimeOuts(3, 5), -1);
  EXPECT_EQ(CompareTimeOuts(5, 5), 0);
  EXPECT_EQ(CompareTimeOuts(7, 5), 1);
}

TEST(WaitForObject, TimesOutAfterTheTotal) {
  int ev = CreateCancelEvent();
  auto t = Clock::now();
  EXPECT_EQ(WaitForObject(ev, 20, 100), WR_WAIT_TIMEOUT);
  long long spent = MsSince(t);
  EXPECT_GE(spent, 100);
  EXPECT_LT(spent, 2000);
  /* A zero slice does not spin forever; a zero total tries once. */
  t = Clock::now();
  EXPECT_EQ(WaitForObject(ev, 0, 30), WR_WAIT_TIMEOUT);
  EXPECT_EQ(WaitForObject(ev, WR_INFINITE, 30), WR_WAIT_TIMEOUT);
  EXPECT_EQ(WaitForObject(ev, 50, 0), WR_WAIT_TIMEOUT);
  EXPECT_LT(MsSince(t), 2000);
  CloseCancelEvent(ev);
}

TEST(WaitForObject, SignalledOrFailed) {
  int ev = CreateCancelEvent();
  std::thread setter([ev] {
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    SetCancelEvent(ev);
  });
  auto t = Clock::now();
  EXPECT_EQ(WaitForObject(ev, 20, WR_INFINITE), WR_WAIT_SIGNALLED);
  EXPECT_LT(MsSince(t), 2000);
  setter.join();
  CloseCancelEvent(ev);
  EXPECT_EQ(WaitForObject(-1, 20, 100), WR_WAIT_FAILED);
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  close(fds[0]);
  close(fds[1]);
  EXPECT_EQ(WaitForObject(fds[0], 20, 100), WR_WAIT_FAILED); /* no longer open */
}

TEST(Pumps, WithoutApplicationDoNothing) {
  ASSERT_EQ(QCoreApplication::instance(), nullptr);
  Pump_WM_PAINT();
  EXPECT_EQ(PumpCurrentThread(), 1);
}

/* Timers of the waiting thread keep running during a wait. */
TEST(Pumps, WaitProcessesTimers) {
  int argc = 1;
  char name[] = "wait_tests", *argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(10);
  int ev = CreateCancelEvent();
  EXPECT_EQ(WaitForObject(ev, 20, 200), WR_WAIT_TIMEOUT);
  EXPECT_GE(ticks, 2);
  CloseCancelEvent(ev);

  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  EXPECT_EQ(PumpCurrentThread(), 1);
  EXPECT_TRUE(ran);
}

TEST(Pumps, PumpReportsQuit) {
  int argc = 1;
  char name[] = "wait_tests", *argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  int first = -1, again = -1, before = -1;
  QTimer::singleShot(0, [&] {
    before = PumpCurrentThread();
    QCoreApplication::quit();
    first = PumpCurrentThread();
    again = PumpCurrentThread();
  });
  QTimer::singleShot(5000, [] { QCoreApplication::exit(1); }); /* safety net */
  EXPECT_EQ(app.exec(), 0);
  EXPECT_EQ(before, 1);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(again, 0);
}

/*
 * wait.cpp - waiting on the calling thread while its windows stay painted:
 * time-out comparison, the sliced wait, the two event pumps and
 * ProcessCmdLineWait, which combines a start with such a wait.
 *
 * The pumps go through Qt's event loop of the calling thread.  Without a
 * QCoreApplication they do nothing, so console programs wait the same way.
 * Built with WENDREL_NO_EVENT_LOOP (the static runner of programs that have
 * no event loop ever), they do nothing and Qt is not needed at all.
 */
#include "wendrel_run.h"

#ifndef WENDREL_NO_EVENT_LOOP
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#endif

#include <cerrno>
#include <chrono>
#include <climits>
#include <poll.h>

int CompareTimeOuts(unsigned long a, unsigned long b) {
  bool ia = a == WR_INFINITE, ib = b == WR_INFINITE;
  if (ia || ib) return ia == ib ? 0 : (ia ? 1 : -1);
  return a < b ? -1 : (a > b ? 1 : 0);
}

unsigned long WaitForObject(int handle, unsigned long sliceMs, unsigned long totalMs) {
  if (handle < 0) return WR_WAIT_FAILED;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  if (sliceMs == 0) sliceMs = 1;
  for (;;) {
    long long wait = sliceMs == WR_INFINITE ? -1 : static_cast<long long>(sliceMs);
    if (totalMs != WR_INFINITE) {
      long long spent =
          std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
      long long left = static_cast<long long>(totalMs) - spent;
      if (left < 0) left = 0;
      if (wait < 0 || left < wait) wait = left;
    }
    pollfd p = {handle, POLLIN, 0};
    int r = ::poll(&p, 1, wait > INT_MAX ? INT_MAX : static_cast<int>(wait));
    if (r < 0 && errno != EINTR) return WR_WAIT_FAILED;
    if (r > 0) {
      if (p.revents & (POLLERR | POLLNVAL)) return WR_WAIT_FAILED;
      return WR_WAIT_SIGNALLED;
    }
    if (r == 0 && totalMs != WR_INFINITE) {
      auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
      if (CompareTimeOuts(static_cast<unsigned long>(spent.count()), totalMs) >= 0)
        return WR_WAIT_TIMEOUT;
    }
    Pump_WM_PAINT();
  }
}

#ifdef WENDREL_NO_EVENT_LOOP

void Pump_WM_PAINT() {}

int PumpCurrentThread() { return 1; }

#else

void Pump_WM_PAINT() {
  if (!QCoreApplication::instance()) return;
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

namespace {
/* Remembers, on the application object itself, that the application has
 * been asked to quit. */
class QuitWatch : public QObject {
 public:
  explicit QuitWatch(QCoreApplication *app) : QObject(app) {
    setObjectName(QStringLiteral("wendrel-quit-watch"));
    app->installEventFilter(this);
    QObject::connect(app, &QCoreApplication::aboutToQuit, this, [this] { quit_ = true; });
  }
  bool QuitRequested() const { return quit_; }

 protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::Quit && watched == parent()) quit_ = true;
    return false; /* the application still handles it */
  }

 private:
  bool quit_ = false;
};

QuitWatch *QuitWatchOf(QCoreApplication *app) {
  QObject *o = app->findChild<QObject *>(QStringLiteral("wendrel-quit-watch"),
                                         Qt::FindDirectChildrenOnly);
  if (auto *w = dynamic_cast<QuitWatch *>(o)) return w;
  return new QuitWatch(app);
}
}  // namespace

int PumpCurrentThread() {
  QCoreApplication *app = QCoreApplication::instance();
  if (!app) return 1;
  if (QThread::currentThread() != app->thread()) {
    /* a thread of its own: only the application's thread is asked to quit */
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return 1;
  }
  QuitWatch *watch = QuitWatchOf(app);
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  return watch->QuitRequested() ? 0 : 1;
}

#endif

int ProcessCmdLineWait(const char *cmdLine, const char *curDir, unsigned short showWindow,
                       int *exitStatus) {
  if (exitStatus) *exitStatus = -1;
  SSendOutputParams params;
  params.cmdLine = cmdLine ? cmdLine : "";
  params.curDir = curDir ? curDir : "";
  SStartupInfo startup;
  startup.useShowWindow = true;
  startup.showWindow = showWindow;
  SProcessInfo info;
  int started = SendOutputTo(params, &startup, &info);
  if (!started) return 0;
  if (WaitForObject(info.process, 200, WR_INFINITE) != WR_WAIT_SIGNALLED) {
    CloseProcessInfo(info);
    return 0;
  }
  int status = CollectProcess(info);
  if (exitStatus) *exitStatus = status;
  return started;
}

/*
 * main.cpp - the capture program: started by a capture build in place of
 * the user's compiler or make (see capture_run.h).  It has no window of its
 * own; when options stored for a file differ from the ones it sees, it asks
 * in a message box, or, with no display to ask on, keeps them and says so
 * on standard error.
 */
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "capture_program.h"
#include "capture_run.h"

#ifdef KVX_CAPTURE_WITH_GUI
#include <QApplication>
#include <QMessageBox>

namespace {

/* Asks in a message box; the application object is made only when the
 * first question comes, so that a capture without one stays cheap. */
class CMessageBoxAsker : public CCaptureAsker {
 public:
  bool AskReplaceOptions(const CPathName &file) override {
    if (!app_) app_ = std::make_unique<QApplication>(argc_, argv_);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Teskel"),
                    QString::fromStdString(GetReplaceOptionsQuestion(file)),
                    QMessageBox::Yes | QMessageBox::No);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.show();
    box.raise();
    box.activateWindow();
    return box.exec() == QMessageBox::Yes;
  }

 private:
  int argc_ = 1;
  char name_[7] = "teskel";
  char *argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

}  // namespace
#endif

int main(int argc, char **argv) {
  CStreamErrorLog log(stderr, "teskel");
  CEnvironment env;
  if (!StartCaptureProgram(env, log, [](const std::string &text) {
        std::fprintf(stderr, "teskel: %s\n", text.c_str());
      }))
    return eCaptureFailed;

  SCaptureRequest request =
      ReadCaptureRequest(std::vector<std::string>(argv + 1, argv + argc), GetCurrentDirectory());
  std::unique_ptr<CCaptureAsker> asker;
#ifdef KVX_CAPTURE_WITH_GUI
  if (HasDisplay()) asker = std::make_unique<CMessageBoxAsker>();
#endif
  CCaptureRun run(asker.get(), stderr);
  return run.Run(request);
}

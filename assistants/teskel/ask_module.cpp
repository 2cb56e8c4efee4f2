/*
 * ask_module.cpp - the module teskel_ask: the capture program's message
 * box, in a library of its own so that the program loads the window
 * libraries only when it asks.
 */
#include <QApplication>
#include <QMessageBox>
#include <memory>

extern "C" __attribute__((visibility("default"))) int kvx_teskel_ask(const char *title, const char *text) {
  static int argc = 1;
  static char name[] = "teskel";
  static char *argv[] = {name, nullptr};
  static std::unique_ptr<QApplication> app;
  if (!QCoreApplication::instance()) app = std::make_unique<QApplication>(argc, argv);
  if (!qobject_cast<QApplication *>(QCoreApplication::instance())) return -1;
  QMessageBox box(QMessageBox::Question, QString::fromUtf8(title), QString::fromUtf8(text),
                  QMessageBox::Yes | QMessageBox::No);
  box.setDefaultButton(QMessageBox::Yes);
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  box.show();
  box.raise();
  box.activateWindow();
  return box.exec() == QMessageBox::Yes ? 1 : 0;
}

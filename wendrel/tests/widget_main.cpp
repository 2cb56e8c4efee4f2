/* Runs every group of window-control tests; fails when any group fails. */
#include "widget_tests.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char **argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  int failed = 0;
  failed += RunComboSlideTests(argc, argv);
  failed += RunListTests(argc, argv);
  failed += RunUiTests(argc, argv);
  return failed ? 1 : 0;
}

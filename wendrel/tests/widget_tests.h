/*
 * widget_tests.h - the groups of window-control tests, each run by
 * widget_main.cpp under one QApplication on the offscreen platform.
 */
#ifndef WENDREL_WIDGET_TESTS_H
#define WENDREL_WIDGET_TESTS_H

int RunComboSlideTests(int argc, char **argv);
int RunListTests(int argc, char **argv);
int RunUiTests(int argc, char **argv);

#endif

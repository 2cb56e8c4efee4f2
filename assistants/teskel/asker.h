/*
 * asker.h - how the capture program asks its question: in a message box
 * shown by the module teskel_ask (lib/libteskel_ask.so), which the program
 * loads only when it has a question and a display to ask on, so that a
 * capture build does not pay for the window libraries at every compile.
 */
#ifndef TESKEL_ASKER_H
#define TESKEL_ASKER_H

#include "capture_run.h"

/* The module's entry point: shows text in a Yes/No message box titled
 * title, brought to the foreground; 1 for Yes, 0 for No, -1 when no box
 * can be shown. */
extern "C" {
typedef int (*TeskelAskFunction)(const char *title, const char *text);
}
inline constexpr const char *kTeskelAskSymbol = "kvx_teskel_ask";

class CModuleAsker : public CCaptureAsker {
 public:
  /* module: the path of the module to load at the first question. */
  explicit CModuleAsker(std::string module) : module_(std::move(module)) {}
  ~CModuleAsker() override;
  bool CanAsk() override;
  bool AskReplaceOptions(const CPathName &file) override;

 private:
  std::string module_;
  void *handle_ = nullptr;
  TeskelAskFunction ask_ = nullptr;
  bool tried_ = false;
};

#endif

/*
 * asker.cpp - loading the question module at the first question.
 */
#include "asker.h"

#include <dlfcn.h>

CModuleAsker::~CModuleAsker() {
  if (handle_) ::dlclose(handle_);
}

bool CModuleAsker::CanAsk() {
  if (!tried_) {
    tried_ = true;
    handle_ = ::dlopen(module_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_) ask_ = reinterpret_cast<TeskelAskFunction>(::dlsym(handle_, kTeskelAskSymbol));
  }
  return ask_ != nullptr;
}

bool CModuleAsker::AskReplaceOptions(const CPathName &file) {
  if (!CanAsk()) return false;
  int answer = ask_("Teskel", GetReplaceOptionsQuestion(file).c_str());
  if (answer < 0) ask_ = nullptr;
  return answer > 0;
}

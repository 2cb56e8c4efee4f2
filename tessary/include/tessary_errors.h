/*
 * tessary_errors.h - how the configuration library reports: the error
 * record, the exception that carries one, the abstract error log that the
 * user interface implements, and the numbered message table.
 */
#ifndef TESSARY_ERRORS_H
#define TESSARY_ERRORS_H

#include <exception>
#include <string>

class CZKError {
 public:
  /* Bit values, so that a silent mask can combine them. */
  enum EType { eError = 1, eWarning = 2, eInformation = 4 };

  CZKError(EType type, unsigned id, std::string arg = std::string())
      : type_(type), id_(id), arg_(std::move(arg)) {}
  EType GetType() const { return type_; }
  unsigned GetID() const { return id_; }
  const std::string &GetArg() const { return arg_; }

 private:
  EType type_;
  unsigned id_;
  std::string arg_;
};

/* Thrown by value, caught by reference. */
class CZKException : public std::exception {
 public:
  CZKException(unsigned id, std::string arg = std::string());
  const CZKError &GetError() const { return error_; }
  unsigned GetID() const { return error_.GetID(); }
  const std::string &GetArg() const { return error_.GetArg(); }
  /* The message text with its insert, without prefix. */
  const char *what() const noexcept override { return text_.c_str(); }

  [[noreturn]] static void Throw(unsigned id, const std::string &arg = std::string());
  [[noreturn]] static void ReThrow(const CZKException &e);

 private:
  CZKError error_;
  std::string text_;
};

class CErrorLog {
 public:
  virtual ~CErrorLog() = default;
  /* Shows or stores one message; type is a CZKError::EType value. */
  virtual void ReportMessage(int type, unsigned id, const std::string &first,
                             const std::string &second) = 0;
  virtual void Report(const CZKException &e);
  virtual void Report(const CZKError &e);
  virtual void BeginRun() = 0;

  void SetSilentMode(int mask) { silent_ = mask; }
  void ResetSilentMode() { silent_ = 0; }
  int GetSilentMode() const { return silent_; }
  /* The prefixed, formatted text; empty for a type in the silent mask. */
  std::string GetMsg(int type, unsigned id, const std::string &first,
                     const std::string &second) const;

 private:
  int silent_ = 0;
};

/* The process's error log, set by the program before any load or save. */
extern CErrorLog *TheErrorLog;

/* Reports through TheErrorLog when one is installed. */
void ReportMessage(int type, unsigned id, const std::string &first = std::string(),
                   const std::string &second = std::string());

/* Text of message id, or null for an unknown number. */
const char *GetMessageText(unsigned id);
/* The text with %1 and %2 replaced (an unknown number gives its number). */
std::string FormatMessageText(unsigned id, const std::string &first = std::string(),
                              const std::string &second = std::string());

#endif

/*
 * tessary_text.h - text streams, path names and temporary files.
 *
 * Every file the configuration library reads or writes goes through the
 * character sources and sinks declared here, and every file or directory
 * name through CPathName.  Paths accept '/' and '\' as separators when read
 * and are always written with '/'.  A path is full when it starts with '/'.
 * Names differ by letter case, so comparisons are case-sensitive.
 */
#ifndef TESSARY_TEXT_H
#define TESSARY_TEXT_H

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

/* ---- free functions on text ---------------------------------------- */

bool IsIdent(int c);
/* Trims blanks, tabs and line ends at both ends. */
void TrimString(std::string &s);
std::string Trimmed(const std::string &s);
/* Trims s, then drops one trailing and one leading c. */
void RemoveEnclosed(std::string &s, char c);
/* Keeps only the decimal digits of s. */
void ConvertToDigits(std::string &s);
/* Splits "KEY = value": the key must be a non-empty identifier. */
bool GetKeyAndValue(const std::string &line, std::string &key, std::string &value);
/* Expands $NAME and ${NAME} from the process environment (unset: empty). */
std::string ExpandEnvironment(const std::string &text);
/* The text as one word of a command line: in double quotes when it holds a
 * blank, a tab or a quote, otherwise unchanged. */
std::string QuoteIfNeeded(const std::string &text);

/* ---- character sources --------------------------------------------- */

class CTextInput {
 public:
  virtual ~CTextInput() = default;
  virtual bool ReadLine(std::string &s);
  virtual bool ReadLineContinuous(std::string &s);
  virtual bool ReadDelimitedString(std::string &s, const char *delims);
  virtual bool ReadTrimmedDelimitedString(std::string &s, const char *delims);
  virtual bool ReadTrimmedLine(std::string &s);
  virtual bool ReadQuotedString(std::string &s);
  virtual bool SkipWhileOneOf(const char *set);
  virtual bool SkipUntilOneOf(const char *set);
  virtual bool SkipBlanks();
  virtual bool GetUntilOneOf(std::string &s, const char *set);
  virtual bool GetWhileChars(std::string &s);
  virtual bool GetWhileIdents(std::string &s);
  virtual bool RetrievePureOption(std::string &s, char quote);
  virtual bool ReadPath(std::string &path);
  virtual bool IsEOF() const;
  /* The look-ahead character; NUL at the end of the input. */
  virtual char Current() const = 0;
  /* Advances one character; false when already at the end. */
  virtual bool NextChar() = 0;
};

/* Reads a C stream it does not own.  A NUL byte, a read error and the end
 * of the file all end the input. */
class CTextInputFile : public CTextInput {
 public:
  explicit CTextInputFile(FILE *f);
  char Current() const override { return cur_; }
  bool NextChar() override;

 private:
  FILE *file_;
  char cur_ = 0;
};

class CTextInputString : public CTextInput {
 public:
  explicit CTextInputString(std::string text);
  char Current() const override;
  bool NextChar() override;
  std::string Mid(size_t first, size_t count = std::string::npos) const;
  size_t Position() const { return pos_; }

 private:
  std::string text_;
  size_t pos_ = 0;
};

/* ---- character sinks ----------------------------------------------- */

class CTextOutput {
 public:
  virtual ~CTextOutput() = default;
  virtual bool WritePath(const std::string &path, bool quoted);
  virtual bool WriteString(const char *text) = 0;
  virtual bool WriteLine(const char *text) = 0;
  bool WriteString(const std::string &text) { return WriteString(text.c_str()); }
  bool WriteLine(const std::string &text) { return WriteLine(text.c_str()); }
};

class CTextOutputFile : public CTextOutput {
 public:
  explicit CTextOutputFile(FILE *f) : file_(f) {}
  using CTextOutput::WriteLine;
  using CTextOutput::WriteString;
  bool WriteString(const char *text) override;
  bool WriteLine(const char *text) override;

 private:
  FILE *file_;
};

class CTextOutputString : public CTextOutput {
 public:
  explicit CTextOutputString(std::string &target) : target_(target) {}
  using CTextOutput::WriteLine;
  using CTextOutput::WriteString;
  bool WriteString(const char *text) override;
  bool WriteLine(const char *text) override;

 private:
  std::string &target_;
};

/* The stream of one open file.  Output is written to a new file beside the
 * target and renamed over it when the stream is closed, by Close() or by
 * the destructor, so a failed save never leaves a truncated file: after a
 * write that failed the old file stays.  A writer that gives up for a
 * reason of its own calls Discard(). */
class CTextIO {
 public:
  CTextIO() = default;
  CTextIO(const CTextIO &) = delete;
  CTextIO &operator=(const CTextIO &) = delete;
  virtual ~CTextIO();
  virtual std::unique_ptr<CTextInput> StartTextInput(const std::string &path);
  virtual std::unique_ptr<CTextOutput> StartTextOutput(const std::string &path);
  /* Closes the stream; for output, commits the file.  True when nothing
   * was open or everything was written and the file is in place. */
  virtual bool Close();
  /* Closes the stream; output written so far is dropped and the old file
   * stays. */
  void Discard();
  void Attach(FILE *f);
  FILE *Detach();
  FILE *Stream() const { return file_; }

 private:
  FILE *file_ = nullptr;
  std::string target_;  /* output: the file to replace */
  std::string temp_;    /* output: the file being written */
};

/* ---- path names ---------------------------------------------------- */

class CPathName {
 public:
  enum EStateFlags { CANONICAL = 1, SHORT_FORM = 2, LONG_FORM = 4 };

  CPathName() = default;
  CPathName(const char *text);
  CPathName(const std::string &text);

  operator const char *() const { return path_.c_str(); }
  const std::string &Str() const { return path_; }
  unsigned Flags() const { return flags_; }

  bool IsEmpty() const { return path_.empty(); }
  void Empty();

  int Compare(const CPathName &other) const;
  bool operator==(const CPathName &o) const { return Compare(o) == 0; }
  bool operator!=(const CPathName &o) const { return Compare(o) != 0; }
  bool operator<(const CPathName &o) const { return Compare(o) < 0; }

  bool IsFull(bool strict = false) const;
  bool IsRoot() const;
  CPathName GetRoot() const;
  CPathName GetDirectory() const;
  std::string GetFileName() const;
  std::string GetFileNameNoExtension() const;
  std::string GetExtension() const;
  bool SetExtension(const std::string &ext);
  bool CheckExtension(const char *ext) const;
  bool CheckExtensionOneOf(const std::string &list, char sep) const;
  bool CheckExtensionFromFilter(const std::string &filter, int index, char sep) const;
  /* The filter taken from the message table by number. */
  bool CheckExtensionFromFilter(unsigned id, int index, char sep) const;

  void AddEndingDirSeparator();
  void RemoveEndingDirSeparator();
  bool IsEndingWithDirSeparator() const;
  static bool IsDirSeparator(int c) { return c == '/' || c == '\\'; }
  static char DefaultDirSeparator() { return '/'; }

  CPathName &operator+=(const CPathName &p);
  CPathName operator+(const CPathName &p) const;

  const CPathName &Canonicalize();
  CPathName GetCommonPrefix(const CPathName &p) const;
  CPathName GetRelativeTo(const CPathName &base) const;
  void MakeFullRelativeBy(const CPathName &base);
  /* Both give the canonical path (no disk access); false for a path that
   * is not full, which stays unchanged. */
  bool MakeShort();
  bool MakeLong();

  bool Exists() const;
  bool CanRead() const;
  bool CanWrite() const;
  bool IsDirectory() const;
  bool IsFile() const;
  bool IsValid() const;
  bool Delete() const;

  static std::string ConvertSlashes(const std::string &s);

 private:
  std::string NoTrailingSeparator() const;
  std::string path_;
  unsigned flags_ = 0;
};

/* ---- unique temporary names and the tracker ------------------------ */

/* The first name dir + base[N] + "." + ext that does not exist (base is the
 * file name without extension of name, or "f"; N empty, then 1, 2, ...).
 * A null dir means the system temporary directory ($TMPDIR, else /tmp).
 * Creates nothing. */
CPathName GetTempFilePath(const char *dir, const char *name, const char *ext);
CPathName GetSystemTempDir();

/* Owns the temporary files of one job: clearing or destroying it deletes
 * every tracked file and directory.  Files are created exclusively, so a
 * name planted by someone else is never opened. */
class CTrackTempFiles {
 public:
  CTrackTempFiles() = default;
  /* A tracker owns files on disk and open streams: it can be moved but not
   * copied (two owners would delete and close the same files twice). */
  CTrackTempFiles(const CTrackTempFiles &) = delete;
  CTrackTempFiles &operator=(const CTrackTempFiles &) = delete;
  CTrackTempFiles(CTrackTempFiles &&other) noexcept;
  CTrackTempFiles &operator=(CTrackTempFiles &&other) noexcept;
  ~CTrackTempFiles();

  FILE *CreateTempFile(const char *dir, const char *name, const char *ext,
                       CPathName *pathOut = nullptr);
  /* Reserves a name: the file is created empty and tracked. */
  CPathName CreateTempFilePath(const char *dir, const char *name, const char *ext);
  /* Tracks path; with open, creates it exclusively (taking the next free
   * candidate name, given back in path, when it appeared meanwhile). */
  FILE *AddFilePath(CPathName &path, bool open);
  CPathName CloseTempFile(FILE *stream);
  void ClearFiles();
  int GetCount() const { return static_cast<int>(entries_.size()); }
  const CPathName &GetPath(int i) const { return entries_[i].path; }

 private:
  struct Entry {
    CPathName path;
    FILE *stream;
  };
  std::vector<Entry> entries_;
};

/* ---- delimited lists ----------------------------------------------- */

/* Where the list item that starts at from ends: at the first sep that
 * stands outside parentheses and double-quoted strings (in which a
 * backslash escapes the next character), so that MAX(a,b)=((a)>(b)?(a):(b))
 * and SEP="," are single items of a comma list.  A parenthesis or quote
 * still open at the end of the text protects nothing: the item then ends
 * at the first sep.  text.size() when no separator ends the item. */
size_t FindListItemEnd(const std::string &text, size_t from, char sep);

template <char C>
class CDelimitedString {
 public:
  CDelimitedString() = default;
  CDelimitedString(const std::string &text) : text_(text) {}
  CDelimitedString(const char *text) : text_(text ? text : "") {}

  const std::string &GetText() const { return text_; }
  void SetText(const std::string &text) { text_ = text; }
  operator const std::string &() const { return text_; }
  bool IsEmpty() const { return GetItems().empty(); }
  void Clear() { text_.clear(); }

  /* The items, trimmed, empty ones left out. */
  std::vector<std::string> GetItems() const {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= text_.size()) {
      size_t end = ItemEnd(text_, start);
      std::string item = Trimmed(text_.substr(start, end - start));
      if (!item.empty()) out.push_back(item);
      start = end + 1;
    }
    return out;
  }
  int GetCount() const { return static_cast<int>(GetItems().size()); }
  bool Contains(const std::string &item) const {
    for (const auto &i : GetItems())
      if (i == Trimmed(item)) return true;
    return false;
  }
  void Add(const std::string &item) {
    if (!text_.empty()) text_ += C;
    text_ += item;
  }
  bool Remove(const std::string &item) {
    std::vector<std::string> items = GetItems();
    bool found = false;
    text_.clear();
    for (const auto &i : items) {
      if (!found && i == Trimmed(item)) {
        found = true;
        continue;
      }
      Add(i);
    }
    return found;
  }
  void SetItems(const std::vector<std::string> &items) {
    text_.clear();
    for (const auto &i : items) Add(i);
  }
  bool operator==(const CDelimitedString &o) const { return text_ == o.text_; }

  /* Comma lists hold C text (definitions, assertions), whose commas inside
   * parentheses or quotes belong to the item; other lists split at every
   * delimiter. */
  static size_t ItemEnd(const std::string &text, size_t from) {
    if constexpr (C == ',') return FindListItemEnd(text, from, C);
    size_t end = text.find(C, from);
    return end == std::string::npos ? text.size() : end;
  }

 private:
  std::string text_;
};

using CCommaList = CDelimitedString<','>;
using CLineList = CDelimitedString<'\n'>;

#endif

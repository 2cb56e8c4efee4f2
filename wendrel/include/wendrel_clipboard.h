/*
 * wendrel_clipboard.h - CClipboard, plain text to and from the system
 * clipboard between Open and Close.
 *
 *     CClipboard clip;
 *     if (clip.Open(this)) clip.SetText(report);
 *
 * The clipboard is closed again when the object goes.
 */
#ifndef WENDREL_CLIPBOARD_H
#define WENDREL_CLIPBOARD_H

#include <QString>

class QWidget;

class CClipboard {
 public:
  CClipboard() = default;
  CClipboard(const CClipboard &) = delete;
  CClipboard &operator=(const CClipboard &) = delete;
  ~CClipboard() { Close(); }

  /* Opens the clipboard for owner's window; opening it again does nothing.
   * False without a GUI application. */
  bool Open(QWidget *owner = nullptr);
  void Close();
  bool IsOpen() const { return open_; }

  /* The clipboard's text; false when it is not open or holds no text. */
  bool GetText(QString &text) const;
  /* Replaces the clipboard's contents by a copy of text; false when it is
   * not open. */
  bool SetText(const QString &text);

 private:
  bool open_ = false;
};

#endif

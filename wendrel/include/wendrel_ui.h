/*
 * wendrel_ui.h - small helpers of the windowed programs: bold fonts for
 * description texts, the height of one-line edits, and closing a print
 * preview before a frame's windows are replaced.
 */
#ifndef WENDREL_UI_H
#define WENDREL_UI_H

#include <QFont>
#include <QList>

class QMainWindow;
class QWidget;

/* A bold (weight 700) copy of window's font, in font. */
void FillBoldFont(const QWidget *window, QFont &font);
/* Gives window a bold copy of its font. */
void ChangeFontToBold(QWidget *window);
/* Gives window the description font: bold, made from the font of the first
 * window it is given to and kept with the application from then on. */
void SetDescriptionFont(QWidget *window);
/* Gives each of controls that lies in dialog the description font (the
 * description texts of the assistants' pages). */
void SetDecriptionOfDialog(QWidget *dialog, const QList<QWidget *> &controls);

/* Gives an edit the height of one line of font: the font's height, half of
 * the smaller of that and the system font's height, and twice the frame
 * width.  Returns that height. */
int ResizeEdit(QWidget *edit, const QFont &font);

/* Closes the print preview of a frame: a print preview dialog of the frame,
 * or its active sub-window when that shows a print preview.  True when one
 * was closed. */
bool ClosePrintPreview(QMainWindow *frame);
/* The same for the frame that holds view (its sub-window or window). */
bool ClosePrintPreview(QWidget *view);

#endif

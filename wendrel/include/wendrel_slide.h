/*
 * wendrel_slide.h - CImageSlide, a picture that steps through a list of
 * images on a timer: the animation of the progress windows.
 *
 *     CImageSlide *slide = new CImageSlide(dialog);
 *     slide->AddImages({":/anim/1.png", ":/anim/2.png", ":/anim/3.png"});
 *     slide->SetTimeOut(250);
 *
 * The slide starts (shows its first image and starts its timer) when it is
 * first shown, or when AttachSlide is called.  Images are read from Qt
 * resource names (":/...") or file names.
 */
#ifndef WENDREL_SLIDE_H
#define WENDREL_SLIDE_H

#include <QLabel>
#include <QList>
#include <QPixmap>
#include <QStringList>
#include <QTimer>

class CImageSlide : public QLabel {
  Q_OBJECT

 public:
  /* How images are read and shown: a bitmap at its own size; an icon or a
   * cursor at the style's large icon size. */
  enum EImageType { Bitmap = 0, Icon = 1, Cursor = 2 };
  enum EStyle { BitmapStyle, IconStyle };

  explicit CImageSlide(QWidget *parent = nullptr);

  void SetImageType(EImageType type);
  EImageType GetImageType() const { return type_; }
  static EStyle GetStyleFromImageType(EImageType type);

  /* Adds the image of a resource or file name read as the image type says;
   * false when there is none. */
  bool AddImage(const QString &name);
  /* Adds an image made by the caller; false for a null one. */
  bool AddImage(const QPixmap &image);
  /* Adds images in order and stops at the first that cannot be read;
   * false then. */
  bool AddImages(const QStringList &names);

  /* Milliseconds between images (default 1000); 0 stops the animation. */
  void SetTimeOut(int ms);
  int GetTimeOut() const { return timeOut_; }

  /* Shows the next image, the first after the last. */
  void StepIt();
  /* Starts the slide: first image, then a step every time-out. */
  void AttachSlide();

  int ImageCount() const { return static_cast<int>(images_.size()); }
  /* Index of the image shown; -1 before the slide has started. */
  int CurrentImage() const { return current_; }

 protected:
  void showEvent(QShowEvent *event) override;
  void hideEvent(QHideEvent *event) override;

 private:
  void ShowCurrent();
  void StartTimer();

  QList<QPixmap> images_;
  EImageType type_ = Bitmap;
  int timeOut_ = 1000;
  int current_ = -1;
  bool attached_ = false;
  QTimer timer_;
};

#endif

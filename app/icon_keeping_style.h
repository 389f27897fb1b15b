#pragma once
// The program's widget style: the platform's own, with one change. Qt's styles build every
// standard icon (the file dialog's Back, Parent folder, List view ...) anew from its image
// files on each call, so the icons of each new dialog have new pixmaps, and Qt's pixmap cache
// files the scaled copies it paints of them under keys no later dialog asks for: with every
// Open the cache grew by about 15 KB, up to its limit of 10 MB. Handing out the same icon for
// the same request lets every later dialog find the copies the first one made.

#include <QHash>
#include <QIcon>
#include <QProxyStyle>

class TIconKeepingStyle : public QProxyStyle {
 public:
  // baseStyleName: the name of the style to look like, as QStyleFactory knows it.
  explicit TIconKeepingStyle(const QString& baseStyleName);

  QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                     const QWidget* widget) const override;
  // Polishing the application again (as setting the style does) makes the icons anew.
  void polish(QApplication* application) override;
  using QProxyStyle::polish;

 private:
  mutable QHash<StandardPixmap, QIcon> keptIcons;
};

// Makes the application's style one that keeps its standard icons, looking as before.
void KeepStandardIconsOfStyle();

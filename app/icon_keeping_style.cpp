#include "icon_keeping_style.h"

#include <QApplication>

TIconKeepingStyle::TIconKeepingStyle(const QString& baseStyleName) : QProxyStyle(baseStyleName) {}

QIcon TIconKeepingStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                      const QWidget* widget) const {
  // An option may ask for a state or size of its own; such icons are not kept.
  if (option != nullptr)
    return QProxyStyle::standardIcon(standardIcon, option, widget);
  auto kept = keptIcons.constFind(standardIcon);
  if (kept == keptIcons.constEnd())
    kept = keptIcons.insert(standardIcon, QProxyStyle::standardIcon(standardIcon, option, widget));
  return *kept;
}

void TIconKeepingStyle::polish(QApplication* application) {
  keptIcons.clear();
  QProxyStyle::polish(application);
}

void KeepStandardIconsOfStyle() {
  if (dynamic_cast<TIconKeepingStyle*>(QApplication::style()) != nullptr)
    return;
  // The application owns the style it is given.
  QApplication::setStyle(new TIconKeepingStyle(QApplication::style()->name()));
}

// The main window's View menu: the zoom steps, Ctrl+wheel about the pointer, and the status bar.

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QWheelEvent>
#include <filesystem>

#include "form1.h"
#include "image_view.h"
#include "status_text.h"

void TForm1::CreateViewMenu() {
  QMenu* view1 = menuBar()->addMenu(QStringLiteral("&View"));
  view1->setObjectName(QStringLiteral("View1"));
  ZoomIn1 = view1->addAction(QStringLiteral("Zoom &In"), this, &TForm1::ZoomIn1Click);
  ZoomIn1->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  ZoomOut1 = view1->addAction(QStringLiteral("Zoom &Out"), QKeySequence(Qt::CTRL | Qt::Key_Minus),
                              this, &TForm1::ZoomOut1Click);
  ActualSize1 = view1->addAction(QStringLiteral("&Actual Size"), QKeySequence(Qt::CTRL | Qt::Key_0),
                                 this, &TForm1::ActualSize1Click);
  FitToWindow1 =
      view1->addAction(QStringLiteral("&Fit to Window"), QKeySequence(Qt::CTRL | Qt::Key_F), this,
                       &TForm1::FitToWindow1Click);
  view1->addSeparator();
  StatusBar1 = view1->addAction(QStringLiteral("&Status Bar"), this, &TForm1::StatusBar1Click);
  StatusBar1->setCheckable(true);
}

void TForm1::ZoomIn1Click() {
  ZoomAboutCentre(Image1->Zoom().In());
}

void TForm1::ZoomOut1Click() {
  ZoomAboutCentre(Image1->Zoom().Out());
}

void TForm1::ActualSize1Click() {
  ZoomAboutCentre(TZoom());
}

void TForm1::FitToWindow1Click() {
  const TBitmap* shown = Picture.PeekBitmap();
  if (shown == nullptr || shown->Empty())
    return;
  const QSize room = ScrollBox1->maximumViewportSize();
  ZoomAboutCentre(TZoom::ToFit(shown->GetWidth(), shown->GetHeight(), room.width(), room.height()));
}

void TForm1::ZoomAboutCentre(const TZoom& zoom) {
  ZoomAbout(zoom, ScrollBox1->viewport()->rect().center());
}

void TForm1::ZoomAbout(const TZoom& zoom, const QPoint& anchor) {
  const TBitmap* shown = Picture.PeekBitmap();
  if (shown == nullptr || shown->Empty() || zoom == Image1->Zoom())
    return;
  // The anchor's place in the picture, in picture pixels, before and after the change.
  const QPointF onPicture = QPointF(anchor - Image1->pos()) / Image1->Zoom().Scale();
  Image1->SetZoom(zoom);
  const QPointF onScreen = onPicture * zoom.Scale();
  ScrollBox1->horizontalScrollBar()->setValue(qRound(onScreen.x() - anchor.x()));
  ScrollBox1->verticalScrollBar()->setValue(qRound(onScreen.y() - anchor.y()));
  UpdatePictureStatus();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ScrollBox1->viewport() && event->type() == QEvent::Wheel) {
    auto* wheel = static_cast<QWheelEvent*>(event);
    if (wheel->modifiers() & Qt::ControlModifier) {
      const int notches = wheel->angleDelta().y();
      if (notches != 0)
        ZoomAbout(notches > 0 ? Image1->Zoom().In() : Image1->Zoom().Out(),
                  wheel->position().toPoint());
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::StatusBar1Click() {
  ShowStatusBar(StatusBar1->isChecked());
}

void TForm1::ShowStatusBar(bool shown) {
  // The bar is made on first use only, so the window at start is exactly as it was designed.
  if (shown && pictureStatus_ == nullptr) {
    pictureStatus_ = new QLabel(this);
    pictureStatus_->setObjectName(QStringLiteral("PictureStatus"));
    // In a narrow window the picture's text is cut short rather than run under the pointer's.
    pictureStatus_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    pointerStatus_ = new QLabel(this);
    pointerStatus_->setObjectName(QStringLiteral("PointerStatus"));
    statusBar()->addWidget(pictureStatus_, 1);
    statusBar()->addPermanentWidget(pointerStatus_);
    UpdatePictureStatus();
  }
  if (pictureStatus_ != nullptr)
    statusBar()->setVisible(shown);
}

void TForm1::UpdatePictureStatus() {
  if (pictureStatus_ == nullptr)
    return;
  const std::string name = currentPath_.empty()
                               ? std::string()
                               : std::filesystem::path(currentPath_).filename().string();
  pictureStatus_->setText(
      QString::fromLocal8Bit(PictureStatusText(name, Picture.PeekBitmap(), Image1->Zoom())));
}

void TForm1::UpdatePointerStatus(QPoint picturePixel) {
  if (pointerStatus_ == nullptr)
    return;
  const TBitmap* shown = Picture.PeekBitmap();
  pointerStatus_->setText(shown == nullptr ? QString()
                                           : QString::fromStdString(PointerStatusText(
                                                 *shown, picturePixel.x(), picturePixel.y())));
}

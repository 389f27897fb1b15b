// The main window's ways to the next picture (the Go menu, F5, dropped files, the command
// line) and Effects > Watch Decode. Every one of them opens through OpenFile, as File > Open.

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <optional>

#include "decode_watch.h"
#include "form1.h"
#include "image_view.h"

namespace {

// The first local file of a dropped list of addresses.
std::optional<QString> FirstLocalFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls())
    return std::nullopt;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile())
      return url.toLocalFile();
  }
  return std::nullopt;
}

QAction* AddWindowKey(QWidget* window, const QKeySequence& key) {
  auto* action = new QAction(window);
  action->setShortcut(key);
  window->addAction(action);
  return action;
}

}  // namespace

void TForm1::CreateGoMenu() {
  QMenu* go1 = menuBar()->addMenu(QStringLiteral("&Go"));
  go1->setObjectName(QStringLiteral("Go1"));
  NextImage1 = go1->addAction(QStringLiteral("&Next Image"), QKeySequence(Qt::Key_PageDown), this,
                              &TForm1::NextImage1Click);
  PreviousImage1 = go1->addAction(QStringLiteral("&Previous Image"), QKeySequence(Qt::Key_PageUp),
                                  this, &TForm1::PreviousImage1Click);
  go1->addSeparator();
  FirstImage1 = go1->addAction(QStringLiteral("&First Image"), QKeySequence(Qt::Key_Home), this,
                               &TForm1::FirstImage1Click);
  LastImage1 = go1->addAction(QStringLiteral("&Last Image"), QKeySequence(Qt::Key_End), this,
                              &TForm1::LastImage1Click);
}

void TForm1::CreateWindowKeys() {
  Reload = AddWindowKey(this, QKeySequence(Qt::Key_F5));
  connect(Reload, &QAction::triggered, this, &TForm1::ReloadClick);
  // Space and Esc belong to Watch Decode only while it plays.
  PauseWatch = AddWindowKey(this, QKeySequence(Qt::Key_Space));
  connect(PauseWatch, &QAction::triggered, watch_, &TDecodeWatch::TogglePause);
  StopWatch = AddWindowKey(this, QKeySequence(Qt::Key_Escape));
  connect(StopWatch, &QAction::triggered, watch_, &TDecodeWatch::Stop);
  connect(watch_, &TDecodeWatch::FrameShown, this, [this] { Picture.Changed(); });
  connect(watch_, &TDecodeWatch::Stopped, this, &TForm1::WatchRunningChanged);
  WatchRunningChanged();
}

void TForm1::WatchRunningChanged() {
  PauseWatch->setEnabled(watch_->Running());
  StopWatch->setEnabled(watch_->Running());
}

void TForm1::SetCommandLineFiles(std::vector<std::string> paths) {
  commandLineFiles_ = std::move(paths);
}

std::vector<std::string> TForm1::GoList() const {
  // The command line's list while its files are being walked; otherwise the folder.
  if (commandLineFiles_.size() > 1 && std::find(commandLineFiles_.begin(), commandLineFiles_.end(),
                                                currentPath_) != commandLineFiles_.end()) {
    return commandLineFiles_;
  }
  if (currentPath_.empty())
    return {};
  return RecognisedFilesInFolder(std::filesystem::path(currentPath_).parent_path().string());
}

void TForm1::GoTo(TGoStep step) {
  if (const std::optional<std::string> next = StepThrough(GoList(), currentPath_, step))
    OpenFile(*next);
}

void TForm1::NextImage1Click() {
  GoTo(TGoStep::Next);
}

void TForm1::PreviousImage1Click() {
  GoTo(TGoStep::Previous);
}

void TForm1::FirstImage1Click() {
  GoTo(TGoStep::First);
}

void TForm1::LastImage1Click() {
  GoTo(TGoStep::Last);
}

void TForm1::ReloadClick() {
  if (!currentPath_.empty())
    OpenFile(currentPath_);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (FirstLocalFile(event->mimeData()))
    event->acceptProposedAction();
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
  if (FirstLocalFile(event->mimeData()))
    event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const std::optional<QString> dropped = FirstLocalFile(event->mimeData());
  if (!dropped)
    return;
  event->acceptProposedAction();
  OpenFile(dropped->toLocal8Bit().toStdString());
}

void TForm1::WatchDecode1Click() {
  if (!CurrentQAV)
    return;
  if (watch_->Start(CurrentQAV.get(), StoredPassCount(*CurrentQAV)))
    WatchRunningChanged();
}

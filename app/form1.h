#pragma once
// TForm1: the main window "QAV simple view" with its menu, scroll box and image control. The
// state it works on (CurrentQAV, CurrentBitmap, BlankBitmap, FileKind, the picture) is that
// of TViewerState, and the commands are those of the viewer library; this class adds only the
// windows. At start it looks as it always has; the View and Go menus, the shortcuts, the
// status bar (hidden at start), dropping files and Watch Decode come on top.

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "command_edge.h"
#include "file_dialogs.h"
#include "image_folder.h"
#include "viewer_state.h"

class QAction;
class QLabel;
class QScrollArea;
class TDecodeWatch;
class TImage;
class TPropertiWindow;
class TZoom;

class TForm1 : public QMainWindow, public TViewerState {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // Test seams: the file dialogs and the error box.
  void SetFileDialogs(std::unique_ptr<TFileDialogs> dialogs);
  void SetErrorSink(TErrorSink sink);

  // Opens a file as File > Open opens the path its dialog returns.
  void OpenFile(const std::string& path);
  // The files named on the command line: Go walks them instead of the current file's folder.
  void SetCommandLineFiles(std::vector<std::string> paths);
  const std::string& CurrentPath() const { return currentPath_; }
  TDecodeWatch* DecodeWatch() const { return watch_; }

  TImage* Image1 = nullptr;
  QScrollArea* ScrollBox1 = nullptr;
  TPropertiWindow* PropertiWindow = nullptr;

  QAction* Open1 = nullptr;
  QAction* Save1 = nullptr;
  QAction* Properties1 = nullptr;
  QAction* Exit1 = nullptr;
  QAction* Reiterate1 = nullptr;
  QAction* WatchDecode1 = nullptr;
  QAction* ZoomIn1 = nullptr;
  QAction* ZoomOut1 = nullptr;
  QAction* ActualSize1 = nullptr;
  QAction* FitToWindow1 = nullptr;
  QAction* StatusBar1 = nullptr;
  QAction* NextImage1 = nullptr;
  QAction* PreviousImage1 = nullptr;
  QAction* FirstImage1 = nullptr;
  QAction* LastImage1 = nullptr;
  QAction* Reload = nullptr;
  QAction* PauseWatch = nullptr;
  QAction* StopWatch = nullptr;

 public slots:
  void Open1Click();
  void Save1Click();
  void Properties1Click();
  void Reiterate1Click();
  void Exit1Click();
  void WatchDecode1Click();
  void ZoomIn1Click();
  void ZoomOut1Click();
  void ActualSize1Click();
  void FitToWindow1Click();
  void StatusBar1Click();
  void NextImage1Click();
  void PreviousImage1Click();
  void FirstImage1Click();
  void LastImage1Click();
  void ReloadClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void FormCreate();
  void CreateMenu();
  void CreateViewMenu();
  void CreateGoMenu();
  void CreateWindowKeys();
  void RunGuarded(const std::function<void()>& command);

  // Zooms so that the picture point under `anchor` (a point of the scroll box's viewport)
  // stays under it.
  void ZoomAbout(const TZoom& zoom, const QPoint& anchor);
  void ZoomAboutCentre(const TZoom& zoom);
  void GoTo(TGoStep step);
  std::vector<std::string> GoList() const;
  void ShowStatusBar(bool shown);
  void UpdatePictureStatus();
  void UpdatePointerStatus(QPoint picturePixel);
  void WatchRunningChanged();

  std::unique_ptr<TFileDialogs> dialogs_;
  TErrorSink errorSink_;
  TDecodeWatch* watch_ = nullptr;
  // The path of the file shown, as the last Open that recognised its name was given it.
  std::string currentPath_;
  std::vector<std::string> commandLineFiles_;
  QLabel* pictureStatus_ = nullptr;
  QLabel* pointerStatus_ = nullptr;
};

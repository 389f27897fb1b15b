#pragma once
// TForm1: the main window "QAV simple view" with its menu, scroll box and image control. The
// state it works on (CurrentQAV, CurrentBitmap, BlankBitmap, FileKind, the picture) is that
// of TViewerState, and the commands are those of the viewer library; this class adds only the
// windows.

#include <QMainWindow>
#include <memory>

#include "command_edge.h"
#include "file_dialogs.h"
#include "viewer_state.h"

class QAction;
class QScrollArea;
class TImage;
class TPropertiWindow;

class TForm1 : public QMainWindow, public TViewerState {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // Test seams: the file dialogs and the error box.
  void SetFileDialogs(std::unique_ptr<TFileDialogs> dialogs);
  void SetErrorSink(TErrorSink sink);

  TImage* Image1 = nullptr;
  QScrollArea* ScrollBox1 = nullptr;
  TPropertiWindow* PropertiWindow = nullptr;

  QAction* Open1 = nullptr;
  QAction* Save1 = nullptr;
  QAction* Properties1 = nullptr;
  QAction* Exit1 = nullptr;
  QAction* Reiterate1 = nullptr;

 public slots:
  void Open1Click();
  void Save1Click();
  void Properties1Click();
  void Reiterate1Click();
  void Exit1Click();

 private:
  void FormCreate();
  void CreateMenu();
  void RunGuarded(const std::function<void()>& command);

  std::unique_ptr<TFileDialogs> dialogs_;
  TErrorSink errorSink_;
};

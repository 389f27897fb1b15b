#pragma once
// TPropertiWindow: the modal "Properties" window. Its read-only text box Memo1 shows six lines
// of fixed-pitch text about the shown picture, filled when the window is shown. A new window
// is made for every use of the command; Esc or the title-bar close box closes it.

#include <QDialog>

#include "viewer_state.h"

class QPlainTextEdit;

class TPropertiWindow : public QDialog {
  Q_OBJECT

 public:
  TPropertiWindow(QWidget* owner, const TViewerState& state);

  QPlainTextEdit* Memo1 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
  const TViewerState& state_;
};

#pragma once
// TForm2: the modal "Reiterate..." dialog. OK hides the dialog, decodes the current fractal
// image again with the chosen number of passes and has the picture repainted; Cancel, Esc or
// closing the window change nothing.

#include <QDialog>

#include "qav_status.h"
#include "viewer_state.h"

class QFrame;
class QLabel;
class QPushButton;
class TCSpinEdit;

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  TForm2(QWidget* owner, TViewerState& state);

  // Runs the dialog modally until one of its buttons or its close box ends it.
  void RunModal();

  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  TCSpinEdit* CSpinEdit1 = nullptr;
  QFrame* Bevel1 = nullptr;
  QFrame* Bevel2 = nullptr;
  QLabel* Label1 = nullptr;

 public slots:
  void Button1Click();
  void Button2Click();

 private:
  TViewerState& state_;
  QavStatus redecode_ = QavStatus::Ok();  // the outcome of OK's re-decode
};

#include "form2.h"

#include <QFontMetrics>
#include <QFrame>
#include <algorithm>
#include <QLabel>
#include <QPushButton>

#include "cspin_edit.h"
#include "reiterate.h"

namespace {

constexpr int kLeft = 247;
constexpr int kTop = 160;
// The client area of the 212 x 135 window.
constexpr int kClientWidth = 204;
constexpr int kClientHeight = 108;

QFrame* MakeBevel(QWidget* parent, const char* name, QFrame::Shadow shadow, QRect geometry) {
  auto* bevel = new QFrame(parent);
  bevel->setObjectName(QString::fromLatin1(name));
  bevel->setFrameStyle(QFrame::Panel | shadow);
  bevel->setLineWidth(1);
  bevel->setGeometry(geometry);
  return bevel;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(geometry);
  return button;
}

// The dialog keeps its designed geometry; where the desktop's stand-in for the designed font
// is wider, the label's font is made smaller until its caption fits its frame.
void FitFontToWidth(QLabel* label) {
  QFont font = label->font();
  constexpr int kSmallestPixelSize = 7;
  for (int size = font.pixelSize() > 0 ? font.pixelSize() : 11; size >= kSmallestPixelSize;
       --size) {
    font.setPixelSize(size);
    if (QFontMetrics(font).horizontalAdvance(label->text()) <= label->width())
      break;
  }
  label->setFont(font);
  label->resize(label->width(), std::max(label->height(), QFontMetrics(font).height()));
}

}  // namespace

TForm2::TForm2(QWidget* owner, TViewerState& state) : QDialog(owner), state_(state) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Reiterate..."));
  setModal(true);
  move(kLeft, kTop);
  setFixedSize(kClientWidth, kClientHeight);

  Bevel1 = MakeBevel(this, "Bevel1", QFrame::Raised, QRect(8, 8, 185, 53));
  Bevel2 = MakeBevel(this, "Bevel2", QFrame::Sunken, QRect(16, 24, 105, 22));
  Label1 = new QLabel(QStringLiteral("Number of iterations"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(22, 28, 94, 13);
  FitFontToWidth(Label1);

  Button1 = MakeButton(this, "Button1", QStringLiteral("OK"), QRect(17, 74, 73, 25));
  Button1->setDefault(true);
  Button2 = MakeButton(this, "Button2", QStringLiteral("Cancel"), QRect(113, 74, 73, 25));

  CSpinEdit1 = new TCSpinEdit(this);
  CSpinEdit1->setObjectName(QStringLiteral("CSpinEdit1"));
  CSpinEdit1->setGeometry(128, 24, 49, 22);
  CSpinEdit1->setRange(kMinIterations, kMaxIterations);
  CSpinEdit1->setValue(kOfferedIterations);

  setTabOrder(Button1, Button2);
  setTabOrder(Button2, CSpinEdit1);
  connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
}

void TForm2::RunModal() {
  Button1->setFocus();
  exec();
  // Raised here, after the dialog's own event loop has ended, so that the command's error box
  // shows it.
  if (!redecode_.IsOk())
    throw EReiterateError(redecode_);
}

void TForm2::Button1Click() {
  hide();
  const int count = CSpinEdit1->Commit();
  redecode_ = Reiterate(state_.CurrentQAV.get(), count);
  if (redecode_.IsOk())
    state_.Picture.Changed();
  accept();
}

void TForm2::Button2Click() {
  reject();
}

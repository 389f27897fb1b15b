#include "properti_window.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "properties_report.h"

namespace {
constexpr int kLeft = 192;
constexpr int kTop = 108;
constexpr int kClientWidth = 427;
constexpr int kClientHeight = 273;
}  // namespace

TPropertiWindow::TPropertiWindow(QWidget* owner, const TViewerState& state)
    : QDialog(owner), state_(state) {
  setObjectName(QStringLiteral("PropertiWindow"));
  setWindowTitle(QStringLiteral("Properties"));
  setModal(true);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(11);
  Memo1->setFont(font);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Memo1);
  move(kLeft, kTop);
  resize(kClientWidth, kClientHeight);
}

void TPropertiWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous())
    FormShow();
}

void TPropertiWindow::FormShow() {
  for (const std::string& line : PropertiesReportLines(state_)) {
    Memo1->appendPlainText(QString::fromStdString(line));
  }
  Memo1->setFocus();
}

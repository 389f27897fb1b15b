#include "cspin_edit.h"

#include <QLineEdit>

#include "whole_number.h"

TCSpinEdit::TCSpinEdit(QWidget* parent) : QSpinBox(parent) {}

namespace {

int ValueForText(const QString& text, int minimum, int maximum) {
  return WholeNumberWithin(text.toStdString(), minimum, maximum);
}

}  // namespace

QValidator::State TCSpinEdit::validate(QString& input, int& pos) const {
  // Anything may be typed; what is not a number within the limits is mended on leaving.
  if (QSpinBox::validate(input, pos) == QValidator::Acceptable)
    return QValidator::Acceptable;
  return QValidator::Intermediate;
}

void TCSpinEdit::fixup(QString& input) const {
  input = QString::number(ValueForText(input, minimum(), maximum()));
}

int TCSpinEdit::Commit() {
  const int committed = ValueForText(cleanText(), minimum(), maximum());
  setValue(committed);
  lineEdit()->setText(QString::number(committed));
  return committed;
}

void TCSpinEdit::focusOutEvent(QFocusEvent* event) {
  Commit();
  QSpinBox::focusOutEvent(event);
}

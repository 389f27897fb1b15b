#pragma once
// TCSpinEdit: a spin box for whole numbers between two limits whose text the user may edit
// freely. When it loses the focus (as when OK is clicked) a number outside the limits is set
// to the nearest limit, and text that is not a whole number reads as the lower limit.

#include <QSpinBox>

class TCSpinEdit : public QSpinBox {
  Q_OBJECT

 public:
  explicit TCSpinEdit(QWidget* parent);

  // The value the present text stands for, by the rules above; the text is set to match.
  int Commit();

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;
  void focusOutEvent(QFocusEvent* event) override;
};

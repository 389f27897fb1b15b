#include "form_test_base.h"

#include <QDir>

void TFormTestBase::init() {
  folder = std::make_unique<QTemporaryDir>();
  QDir::setCurrent(folder->path());
  form = std::make_unique<TForm1>();
  driver = std::make_unique<TWindowDriver>(*form);
}

void TFormTestBase::cleanup() {
  driver.reset();
  form.reset();
  folder.reset();
}

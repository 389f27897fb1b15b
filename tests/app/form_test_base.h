#pragma once
// The base of the main window's test classes: before every test function a fresh window in a
// fresh working directory, with its dialogs answered by the test.

#include <QObject>
#include <QTemporaryDir>
#include <memory>

#include "fake_dialogs.h"
#include "form1.h"

class TFormTestBase : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

 protected:
  QString File(const QString& name) const { return folder->filePath(name); }

  std::unique_ptr<QTemporaryDir> folder;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<TWindowDriver> driver;
};

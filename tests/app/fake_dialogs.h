#pragma once
// Stand-ins for the main window's file dialogs and error box: the test says in advance what
// the "user" answers, and reads the errors the window would have shown.

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "file_dialogs.h"

class TForm1;

class TFakeFileDialogs : public TFileDialogs {
 public:
  // Each answer is a path, or a null QString for Cancel.
  std::deque<QString> openAnswers;
  std::deque<QString> saveAnswers;

  std::optional<QString> ExecuteOpenDialog(QWidget*) override;
  std::optional<QString> ExecuteSaveDialog(QWidget*) override;
};

struct ShownError {
  QString message;
  QString detail;
};

// Fits fake dialogs and an error recorder to the window; both live as long as the window.
struct TWindowDriver {
  explicit TWindowDriver(TForm1& form);
  void Open(const QString& path);
  void CancelOpen();
  void Save(const QString& path);

  TForm1& form;
  TFakeFileDialogs* dialogs;
  std::shared_ptr<std::vector<ShownError>> errors;
};

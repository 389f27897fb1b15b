#pragma once
// The two file dialogs of the main window behind a small interface, so that tests can answer
// them without a modal window.

#include <QString>
#include <optional>

class QWidget;

class TFileDialogs {
 public:
  virtual ~TFileDialogs() = default;
  // The full path the user chose, or nothing when the dialog was cancelled.
  virtual std::optional<QString> ExecuteOpenDialog(QWidget* parent) = 0;
  virtual std::optional<QString> ExecuteSaveDialog(QWidget* parent) = 0;
};

// Qt's own widget file dialogs (not the desktop's native ones), so that a person and a test
// can type any name, also one of a file that does not exist. Both start in the working
// directory; the open dialog never changes it, the save dialog makes the folder it saved in
// the working directory.
class TQtFileDialogs : public TFileDialogs {
 public:
  std::optional<QString> ExecuteOpenDialog(QWidget* parent) override;
  std::optional<QString> ExecuteSaveDialog(QWidget* parent) override;
};

// The filter lists of the two dialogs, in their order; the first is preselected.
QString OpenDialogFilters();
QString SaveDialogFilters();

#include "file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPixmapCache>

QString OpenDialogFilters() {
  return QStringLiteral(
      "Image files (*.BMP *.QAV *.GIF);;"
      "Windows bitmap (*.bmp) (*.BMP);;"
      "QAV image (*.qav) (*.QAV);;"
      "Compuserve GIF image (*.gif) (*.GIF)");
}

QString SaveDialogFilters() {
  return QStringLiteral("Windows bitmap (*.BMP);;QAV compressed (*.QAV)");
}

namespace {

// A widget dialog in the working directory with no default suffix: the name typed is the
// name used. The filters show their descriptions only and match names in any case, so
// "*.BMP" lists photo.bmp too.
std::optional<QString> RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode,
                                     QFileDialog::FileMode fileMode, const QString& filters) {
  QFileDialog dialog(parent, QString(), QDir::currentPath(), filters);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(fileMode);
  dialog.setDefaultSuffix(QString());
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  dialog.setWindowModality(Qt::ApplicationModal);
  const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  const QString chosen = accepted ? dialog.selectedFiles().constFirst() : QString();
  // Every dialog loads its style icons anew, and Qt's pixmap cache keeps their scaled copies
  // under keys no later dialog asks for again: about 16 KB an Open, until the cache's 10 MB
  // limit. Nothing the window shows lives in that cache, so it is emptied when a dialog ends.
  QPixmapCache::clear();
  if (!accepted)
    return std::nullopt;
  return QDir::toNativeSeparators(chosen);
}

}  // namespace

std::optional<QString> TQtFileDialogs::ExecuteOpenDialog(QWidget* parent) {
  // AnyFile: the user may type the name of a file that does not exist; opening it then
  // reports that it cannot be opened.
  return RunFileDialog(parent, QFileDialog::AcceptOpen, QFileDialog::AnyFile, OpenDialogFilters());
}

std::optional<QString> TQtFileDialogs::ExecuteSaveDialog(QWidget* parent) {
  std::optional<QString> chosen =
      RunFileDialog(parent, QFileDialog::AcceptSave, QFileDialog::AnyFile, SaveDialogFilters());
  if (chosen) {
    // Saving into another folder makes it the working directory, as the classic save dialog
    // does; the GIF hand-over files then follow it.
    QDir::setCurrent(QFileInfo(*chosen).absolutePath());
  }
  return chosen;
}

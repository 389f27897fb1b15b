#include "file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QIdentityProxyModel>
#include <QPixmap>

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

// The file list as the dialog's folder model gives it, with one change. To line the Name
// column's caption up with the file icons, the model hands its header a new 16 x 1 image on
// every call; every paint of the header then leaves another scaled copy in Qt's pixmap cache,
// under a key nothing asks for again. Here the header is given the same blank icon each time.
class TSteadyHeaderModel : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    QVariant data = QIdentityProxyModel::headerData(section, orientation, role);
    if (role != Qt::DecorationRole || !data.canConvert<QImage>())
      return data;
    static const QIcon kBlankIcon = BlankIconLike(data.value<QImage>());
    return kBlankIcon;
  }

 private:
  static QIcon BlankIconLike(const QImage& image) {
    QPixmap blank(image.size());
    blank.fill(Qt::transparent);
    return QIcon(blank);
  }
};

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
  dialog.setProxyModel(new TSteadyHeaderModel(&dialog));
  const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  const QString chosen = accepted ? dialog.selectedFiles().constFirst() : QString();
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

#include "command_edge.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <new>

#include "graphic_errors.h"

void ShowErrorBox(QWidget* parent, const QString& message, const QString& detail) {
  QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), message,
                  QMessageBox::Ok, parent);
  if (!detail.isEmpty())
    box.setInformativeText(detail);
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Ok);
  box.exec();
}

void RunCommand(QWidget* parent, const TErrorSink& sink, const std::function<void()>& command) {
  try {
    command();
  } catch (const Exception& error) {
    sink(parent, QString::fromStdString(error.what()), QString::fromStdString(error.Detail()));
  } catch (const std::bad_alloc&) {
    sink(parent, QStringLiteral("Out of memory"), QString());
  } catch (const std::exception& error) {
    sink(parent, QString::fromLocal8Bit(error.what()), QString());
  }
}

// qavshow: the QAV image viewer.

#include <QApplication>
#include <exception>

#include "command_edge.h"
#include "form1.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // The title of the program, also the caption of its error boxes. It is the application's
  // name rather than its display name, so that Qt does not append it to every window title.
  QApplication::setApplicationName(QStringLiteral("QAV simple view"));
  RunCommand(nullptr, ShowErrorBox, [] {
    TForm1 form1;
    form1.show();
    QApplication::exec();
  });
  return 0;
}

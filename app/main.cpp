// qavshow: the QAV image viewer.

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <exception>

#include "command_edge.h"
#include "command_line.h"
#include "form1.h"
#include "icon_keeping_style.h"

namespace {

std::vector<std::string> ArgumentsAfterProgram(int argc, char** argv) {
  return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

// File > Open is given full paths; a name from the command line is made one the same way.
std::vector<std::string> FullPaths(const std::vector<std::string>& names) {
  std::vector<std::string> paths;
  for (const std::string& name : names) {
    paths.push_back(
        QFileInfo(QString::fromLocal8Bit(name)).absoluteFilePath().toLocal8Bit().toStdString());
  }
  return paths;
}

// --help and --version answer without a display, before the toolkit starts.
bool AnsweredWithoutWindow(const TCommandLine& line) {
  if (line.action == TCommandLine::Action::PrintHelp) {
    std::fputs(CommandLineHelp().c_str(), stdout);
    return true;
  }
  if (line.action == TCommandLine::Action::PrintVersion) {
    std::puts("qavshow " QAVSHOW_VERSION);
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (AnsweredWithoutWindow(ParseCommandLine(ArgumentsAfterProgram(argc, argv))))
    return 0;
  QApplication application(argc, argv);
  // The title of the program, also the caption of its error boxes. It is the application's
  // name rather than its display name, so that Qt does not append it to every window title.
  QApplication::setApplicationName(QStringLiteral("QAV simple view"));
  KeepStandardIconsOfStyle();
  // The toolkit has taken its own options (such as -platform) out of argv by now.
  const TCommandLine line = ParseCommandLine(ArgumentsAfterProgram(argc, argv));
  if (line.action == TCommandLine::Action::Refuse) {
    std::fprintf(stderr, "qavshow: %s\n%s", line.complaint.c_str(), CommandLineHelp().c_str());
    return 2;
  }
  RunCommand(nullptr, ShowErrorBox, [&line] {
    TForm1 form1;
    const std::vector<std::string> files = FullPaths(line.files);
    form1.SetCommandLineFiles(files);
    form1.show();
    // The first file opens once the window is up, so that an error box has it as its parent.
    if (!files.empty())
      QTimer::singleShot(0, &form1, [&form1, &files] { form1.OpenFile(files.front()); });
    QApplication::exec();
  });
  return 0;
}

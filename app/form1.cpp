#include "form1.h"

#include <QApplication>
#include <QMenuBar>
#include <QScrollArea>

#include "app_icon.h"
#include "form2.h"
#include "gif_bridge.h"
#include "image_view.h"
#include "open_command.h"
#include "properti_window.h"
#include "save_command.h"

namespace {
constexpr int kLeft = 194;
constexpr int kTop = 116;
// The client area below the menu bar; the window is 434 x 298 with its frame.
constexpr int kClientWidth = 426;
constexpr int kClientHeight = 252;
}  // namespace

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent), dialogs_(std::make_unique<TQtFileDialogs>()), errorSink_(ShowErrorBox) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("QAV simple view"));
  setWindowIcon(MakeApplicationIcon());
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(11);
  font.setStyleHint(QFont::SansSerif);
  setFont(font);

  ScrollBox1 = new QScrollArea(this);
  ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
  ScrollBox1->setWidgetResizable(false);
  ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Image1 = new TImage(&Picture, ScrollBox1);
  ScrollBox1->setWidget(Image1);
  setCentralWidget(ScrollBox1);
  Picture.SetOnChange([this] { Image1->PictureChanged(); });

  CreateMenu();
  move(kLeft, kTop);
  resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
  FormCreate();
}

TForm1::~TForm1() {
  Picture.SetOnChange(nullptr);
}

void TForm1::FormCreate() {
  // BlankBitmap is made empty with the state; the converter lives beside the program.
  ConverterPath = ConverterForThisProgram();
}

void TForm1::CreateMenu() {
  QMenu* file1 = menuBar()->addMenu(QStringLiteral("&File"));
  file1->setObjectName(QStringLiteral("File1"));
  Open1 = file1->addAction(QStringLiteral("&Open"), this, &TForm1::Open1Click);
  Save1 = file1->addAction(QStringLiteral("&Save"), this, &TForm1::Save1Click);
  file1->addSeparator();
  Properties1 = file1->addAction(QStringLiteral("&Properties"), this, &TForm1::Properties1Click);
  file1->addSeparator();
  Exit1 = file1->addAction(QStringLiteral("E&xit"), this, &TForm1::Exit1Click);
  QMenu* effects1 = menuBar()->addMenu(QStringLiteral("&Effects"));
  effects1->setObjectName(QStringLiteral("Effects1"));
  Reiterate1 = effects1->addAction(QStringLiteral("&Reiterate"), this, &TForm1::Reiterate1Click);
}

void TForm1::SetFileDialogs(std::unique_ptr<TFileDialogs> dialogs) {
  dialogs_ = std::move(dialogs);
}

void TForm1::SetErrorSink(TErrorSink sink) {
  errorSink_ = std::move(sink);
}

void TForm1::RunGuarded(const std::function<void()>& command) {
  RunCommand(this, errorSink_, command);
}

void TForm1::Open1Click() {
  RunGuarded([this] {
    const std::optional<QString> chosen = dialogs_->ExecuteOpenDialog(this);
    if (!chosen)
      return;
    const std::string path = chosen->toLocal8Bit().toStdString();
    // The picture is repainted whatever the loader did, also when it failed half-way.
    struct RepaintOnExit {
      TImage* image;
      ~RepaintOnExit() { image->PictureChanged(); }
    } repaint{Image1};
    OpenImageFile(*this, path);
  });
}

void TForm1::Save1Click() {
  RunGuarded([this] {
    const std::optional<QString> chosen = dialogs_->ExecuteSaveDialog(this);
    if (!chosen)
      return;
    SaveImageFile(*this, chosen->toLocal8Bit().toStdString());
  });
}

void TForm1::Properties1Click() {
  RunGuarded([this] {
    TPropertiWindow window(this, *this);
    PropertiWindow = &window;
    window.exec();
    PropertiWindow = nullptr;
  });
}

void TForm1::Reiterate1Click() {
  if (!CurrentQAV)
    return;
  RunGuarded([this] {
    TForm2 dialog(this, *this);
    dialog.RunModal();
  });
}

void TForm1::Exit1Click() {
  QApplication::exit(0);
}

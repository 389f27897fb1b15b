#include "form1.h"

#include <QApplication>
#include <QMenuBar>
#include <QScrollArea>

#include "app_icon.h"
#include "decode_watch.h"
#include "file_kind.h"
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

  watch_ = new TDecodeWatch(this);
  CreateMenu();
  CreateViewMenu();
  CreateGoMenu();
  CreateWindowKeys();
  setAcceptDrops(true);
  ScrollBox1->viewport()->installEventFilter(this);
  connect(Image1, &TImage::PointerMoved, this, &TForm1::UpdatePointerStatus);
  connect(Image1, &TImage::PointerLeft, this, [this] { UpdatePointerStatus(QPoint(-1, -1)); });
  move(kLeft, kTop);
  resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
  FormCreate();
}

TForm1::~TForm1() {
  watch_->Stop();
  Picture.SetOnChange(nullptr);
}

void TForm1::FormCreate() {
  // BlankBitmap is made empty with the state; the converter lives beside the program.
  ConverterPath = ConverterForThisProgram();
}

void TForm1::CreateMenu() {
  QMenu* file1 = menuBar()->addMenu(QStringLiteral("&File"));
  file1->setObjectName(QStringLiteral("File1"));
  Open1 = file1->addAction(QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O), this,
                           &TForm1::Open1Click);
  Save1 = file1->addAction(QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), this,
                           &TForm1::Save1Click);
  file1->addSeparator();
  Properties1 = file1->addAction(QStringLiteral("&Properties"), this, &TForm1::Properties1Click);
  file1->addSeparator();
  Exit1 = file1->addAction(QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this,
                           &TForm1::Exit1Click);
  QMenu* effects1 = menuBar()->addMenu(QStringLiteral("&Effects"));
  effects1->setObjectName(QStringLiteral("Effects1"));
  Reiterate1 = effects1->addAction(QStringLiteral("&Reiterate"), QKeySequence(Qt::CTRL | Qt::Key_R),
                                   this, &TForm1::Reiterate1Click);
  WatchDecode1 = effects1->addAction(QStringLiteral("&Watch Decode"),
                                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R), this,
                                     &TForm1::WatchDecode1Click);
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
  std::optional<QString> chosen;
  RunGuarded([this, &chosen] { chosen = dialogs_->ExecuteOpenDialog(this); });
  if (chosen)
    OpenFile(chosen->toLocal8Bit().toStdString());
}

void TForm1::OpenFile(const std::string& path) {
  RunGuarded([this, &path] {
    if (FileKindFromName(path) == fkNone)
      return;
    // The record Watch Decode plays is about to be released.
    watch_->Stop();
    currentPath_ = path;
    // The picture is repainted whatever the loader did, also when it failed half-way; a new
    // file is shown at Actual Size.
    struct RepaintOnExit {
      TImage* image;
      ~RepaintOnExit() { image->SetZoom(TZoom()); }
    } repaint{Image1};
    OpenImageFile(*this, path);
  });
  UpdatePictureStatus();
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
  watch_->Stop();
  RunGuarded([this] {
    TForm2 dialog(this, *this);
    dialog.RunModal();
  });
}

void TForm1::Exit1Click() {
  QApplication::exit(0);
}

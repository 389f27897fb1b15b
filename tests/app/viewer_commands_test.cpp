// The main window's newer commands driven as a person would use them: zoom, the status bar,
// the Go menu, dropped files and Watch Decode. The window at start stays as it was designed
// (form1_test checks that).

#include <QAction>
#include <QLabel>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QUrl>
#include <QtTest>

#include "decode_watch.h"
#include "form_test_base.h"
#include "image_view.h"
#include "open_command.h"
#include "reiterate.h"
#include "test_files.h"

namespace {

QImage PaintedImage(TImage* image) {
  return image->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QString LabelText(const TForm1& form, const char* name) {
  const auto* label = form.findChild<QLabel*>(QString::fromLatin1(name));
  return label != nullptr ? label->text() : QStringLiteral("(no label)");
}

void SendMouseMove(QWidget* widget, QPoint at) {
  QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(widget, &move);
}

void SendCtrlWheel(QWidget* viewport, QPoint at, int delta) {
  QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                    Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(viewport, &wheel);
}

std::unique_ptr<QMimeData> UriList(const QList<QUrl>& urls) {
  auto data = std::make_unique<QMimeData>();
  data->setUrls(urls);
  return data;
}

// Whether the window takes a drop of `data`, and drops it when it does.
bool Drop(TForm1& form, const std::unique_ptr<QMimeData>& data) {
  const QPoint at(50, 50);
  QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &enter);
  if (!enter.isAccepted())
    return false;
  QDropEvent drop(QPointF(at), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&form, &drop);
  return drop.isAccepted();
}

}  // namespace

class ViewerCommandsTest : public TFormTestBase {
  Q_OBJECT

  void ShowWindow() {
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  }

  QString CurrentName() const {
    return QFileInfo(QString::fromStdString(form->CurrentPath())).fileName();
  }

 private slots:
  void shortcutsReachTheCommands() {
    ShowWindow();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    WriteTestBitmap(File("photo.bmp"), 5, 4);
    driver->dialogs->openAnswers.push_back(File("photo.bmp"));
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(CurrentName(), QStringLiteral("photo.bmp"));
    QTest::keyClick(form.get(), Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(form->Image1->size(), QSize(10, 8));
    QTest::keyClick(form.get(), Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(form->Image1->size(), QSize(20, 16));
    QTest::keyClick(form.get(), Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(form->Image1->size(), QSize(10, 8));
    QTest::keyClick(form.get(), Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(form->Image1->size(), QSize(5, 4));
    // F5 reads the file again: a changed file shows its new pixels.
    WriteTestBitmap(File("photo.bmp"), 3, 2);
    QTest::keyClick(form.get(), Qt::Key_F5);
    QCOMPARE(form->Image1->size(), QSize(3, 2));
    driver->dialogs->saveAnswers.push_back(File("copy.bmp"));
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(QFile::exists(File("copy.bmp")));
    QVERIFY(driver->errors->empty());
  }

  // A 200 % view shows every pixel as exactly 2 x 2 screen pixels of its colour, at every step
  // up to 32 times; steps stop at both ends.
  void enlargedPixelsAreSquareBlocks() {
    WriteTestBitmap(File("photo.bmp"), 5, 4);
    driver->Open(File("photo.bmp"));
    for (int factor = 2; factor <= 32; factor *= 2) {
      form->ZoomIn1Click();
      QCOMPARE(form->Image1->size(), QSize(5 * factor, 4 * factor));
      const QImage painted = PaintedImage(form->Image1);
      for (int y = 0; y < painted.height(); ++y) {
        for (int x = 0; x < painted.width(); ++x) {
          if (painted.pixelColor(x, y) != TestBitmapColour(x / factor, y / factor))
            QFAIL(
                qPrintable(QStringLiteral("%1x: screen pixel (%2, %3)").arg(factor).arg(x).arg(y)));
        }
      }
    }
    form->ZoomIn1Click();
    QCOMPARE(form->Image1->size(), QSize(160, 128));
    for (int step = 0; step < 12; ++step)
      form->ZoomOut1Click();
    QCOMPARE(form->Image1->size(), QSize(1, 1));
    form->ActualSize1Click();
    QCOMPARE(form->Image1->size(), QSize(5, 4));
  }

  // A reduced view averages each block of picture pixels instead of picking one of them.
  void reducedViewsAreSmoothed() {
    WriteTestBitmap(File("photo.bmp"), 64, 32);
    driver->Open(File("photo.bmp"));
    form->ZoomOut1Click();
    form->ZoomOut1Click();
    QCOMPARE(form->Image1->size(), QSize(16, 8));
    const QImage painted = PaintedImage(form->Image1);
    for (const QPoint screen : {QPoint(0, 0), QPoint(5, 3), QPoint(15, 7)}) {
      int red = 0;
      for (int dy = 0; dy < 4; ++dy) {
        for (int dx = 0; dx < 4; ++dx)
          red += TestBitmapColour(4 * screen.x() + dx, 4 * screen.y() + dy).red();
      }
      QVERIFY2(qAbs(painted.pixelColor(screen).red() - red / 16) <= 2,
               qPrintable(QStringLiteral("(%1, %2): %3 against the block's mean %4")
                              .arg(screen.x())
                              .arg(screen.y())
                              .arg(painted.pixelColor(screen).red())
                              .arg(red / 16)));
    }
  }

  void fitToWindowShrinksOnly() {
    ShowWindow();
    WriteTestBitmap(File("wide.bmp"), 1000, 300);
    driver->Open(File("wide.bmp"));
    form->FitToWindow1Click();
    const QSize room = form->ScrollBox1->maximumViewportSize();
    QVERIFY(form->Image1->width() <= room.width() && form->Image1->height() <= room.height());
    QVERIFY2(form->Image1->width() * 2 > room.width() || form->Image1->height() * 2 > room.height(),
             "the largest step that fits");
    QCOMPARE(form->Image1->Zoom().Factor() * form->Image1->width(), 1000);
    WriteTestBitmap(File("small.bmp"), 20, 10);
    driver->Open(File("small.bmp"));
    form->FitToWindow1Click();
    QCOMPARE(form->Image1->size(), QSize(20, 10));
  }

  void ctrlWheelZoomsAboutThePointer() {
    ShowWindow();
    WriteTestBitmap(File("big.bmp"), 2000, 1500);
    driver->Open(File("big.bmp"));
    QWidget* viewport = form->ScrollBox1->viewport();
    form->ScrollBox1->horizontalScrollBar()->setValue(300);
    form->ScrollBox1->verticalScrollBar()->setValue(200);
    const QPoint pointer(100, 50);
    const QPoint before = form->Image1->PicturePixelAt(form->Image1->mapFrom(viewport, pointer));
    QCOMPARE(before, QPoint(400, 250));
    SendCtrlWheel(viewport, pointer, 120);
    QCOMPARE(form->Image1->Zoom().Factor(), 2);
    QCOMPARE(form->Image1->PicturePixelAt(form->Image1->mapFrom(viewport, pointer)), before);
    SendCtrlWheel(viewport, pointer, -120);
    SendCtrlWheel(viewport, pointer, -120);
    QVERIFY(form->Image1->Zoom().Reduces());
    QCOMPARE(form->Image1->PicturePixelAt(form->Image1->mapFrom(viewport, pointer)), before);
  }

  // Reiterate and Save work on the picture, not on the zoomed view; a new file is shown 1:1.
  void zoomLeavesThePictureAlone() {
    WriteTestBitmap(File("photo.bmp"), 6, 5);
    driver->Open(File("photo.bmp"));
    form->ZoomIn1Click();
    driver->Save(File("saved.bmp"));
    QCOMPARE(ImageOfBitmapFile(File("saved.bmp")), ImageOfBitmapFile(File("photo.bmp")));
    WriteTestBitmap(File("next.bmp"), 7, 3);
    driver->Open(File("next.bmp"));
    QCOMPARE(form->Image1->Zoom(), TZoom());
    QCOMPARE(form->Image1->size(), QSize(7, 3));
  }

  void statusBarTellsThePictureAndThePixelUnderThePointer() {
    ShowWindow();
    QVERIFY(form->findChild<QStatusBar*>() == nullptr);
    WriteBytes(File("tiny.qav"), TinyQAVFile());
    driver->Open(File("tiny.qav"));
    form->StatusBar1->trigger();
    QVERIFY(form->statusBar()->isVisible());
    QCOMPARE(LabelText(*form, "PictureStatus"),
             QStringLiteral("tiny.qav  2 x 1, 8 bit, palette, 256 color  100 %"));
    form->ZoomIn1Click();
    form->ZoomIn1Click();
    QVERIFY(LabelText(*form, "PictureStatus").endsWith(QStringLiteral("  400 %")));
    SendMouseMove(form->Image1, QPoint(6, 3));
    QCOMPARE(LabelText(*form, "PointerStatus"),
             QStringLiteral("(1, 0)  RGB 200, 100, 50  index 2"));
    SendMouseMove(form->Image1, QPoint(2, 3));
    QCOMPARE(LabelText(*form, "PointerStatus"), QStringLiteral("(0, 0)  RGB 10, 20, 30  index 1"));

    WriteTestBitmap(File("photo.bmp"), 30, 20);
    driver->Open(File("photo.bmp"));
    QCOMPARE(LabelText(*form, "PictureStatus"),
             QStringLiteral("photo.bmp  30 x 20, 24 bit, RGB TrueColor  100 %"));
    SendMouseMove(form->Image1, QPoint(17, 9));
    const QColor colour = TestBitmapColour(17, 9);
    QCOMPARE(LabelText(*form, "PointerStatus"), QStringLiteral("(17, 9)  RGB %1, %2, %3")
                                                    .arg(colour.red())
                                                    .arg(colour.green())
                                                    .arg(colour.blue()));
    SendMouseMove(form->Image1, QPoint(35, 9));
    QCOMPARE(LabelText(*form, "PointerStatus"), QString());
    form->StatusBar1->trigger();
    QVERIFY(!form->statusBar()->isVisible());
  }

  void goWalksTheFolderInNaturalOrderAndStopsAtTheEnds() {
    for (const char* name : {"a10.bmp", "a2.bmp", "a1.bmp"})
      WriteTestBitmap(File(QString::fromLatin1(name)), 4, 4);
    WriteBytes(File("notes.txt"), "not a picture");
    WriteBytes(File("b.Qav"), TinyQAVFile());
    driver->Open(File("a1.bmp"));
    const struct {
      QAction* command;
      const char* shown;
    } steps[] = {{form->NextImage1, "a2.bmp"},  {form->NextImage1, "a10.bmp"},
                 {form->NextImage1, "a10.bmp"}, {form->PreviousImage1, "a2.bmp"},
                 {form->FirstImage1, "a1.bmp"}, {form->PreviousImage1, "a1.bmp"},
                 {form->LastImage1, "a10.bmp"}};
    for (const auto& step : steps) {
      step.command->trigger();
      QCOMPARE(CurrentName(), QString::fromLatin1(step.shown));
    }
    QVERIFY(driver->errors->empty());
  }

  // A broken file in the walk shows its error box and the walk goes on past it.
  void goOpensLikeFileOpen() {
    WriteTestBitmap(File("a1.bmp"), 4, 4);
    WriteBytes(File("a2.qav"), BadMagicQAVFile());
    WriteTestBitmap(File("a3.bmp"), 5, 5);
    driver->Open(File("a1.bmp"));
    form->NextImage1->trigger();
    QCOMPARE(driver->errors->size(), size_t(1));
    QCOMPARE(driver->errors->front().message, "Cannot show QAV file " + File("a2.qav"));
    form->NextImage1->trigger();
    QCOMPARE(CurrentName(), QStringLiteral("a3.bmp"));
    QCOMPARE(form->Image1->size(), QSize(5, 5));
  }

  void goWalksTheCommandLineList() {
    WriteTestBitmap(File("z.bmp"), 4, 4);
    WriteTestBitmap(File("a.bmp"), 4, 4);
    WriteTestBitmap(File("m.bmp"), 4, 4);
    form->SetCommandLineFiles({File("z.bmp").toStdString(), File("a.bmp").toStdString()});
    form->OpenFile(File("z.bmp").toStdString());
    form->NextImage1->trigger();
    QCOMPARE(CurrentName(), QStringLiteral("a.bmp"));
    form->NextImage1->trigger();
    QCOMPARE(CurrentName(), QStringLiteral("a.bmp"));
    form->FirstImage1->trigger();
    QCOMPARE(CurrentName(), QStringLiteral("z.bmp"));
  }

  void dropOpensTheFirstLocalFileAndRefusesOthers() {
    WriteTestBitmap(File("dropped.bmp"), 8, 6);
    WriteTestBitmap(File("second.bmp"), 3, 3);
    QVERIFY(Drop(*form, UriList({QUrl(QStringLiteral("https://example.org/x.bmp")),
                                 QUrl::fromLocalFile(File("dropped.bmp")),
                                 QUrl::fromLocalFile(File("second.bmp"))})));
    QCOMPARE(CurrentName(), QStringLiteral("dropped.bmp"));
    QCOMPARE(form->Image1->size(), QSize(8, 6));
    auto text = std::make_unique<QMimeData>();
    text->setText(File("second.bmp"));
    QVERIFY(!Drop(*form, text));
    QVERIFY(!Drop(*form, UriList({QUrl(QStringLiteral("https://example.org/x.bmp"))})));
    QCOMPARE(CurrentName(), QStringLiteral("dropped.bmp"));
  }

  // Each frame of Watch Decode is what Reiterate with that count gives, from 1 to the stored
  // count; the picture at the end is the picture of the load.
  void watchDecodePlaysThePassesOfReiterate() {
    constexpr int kStoredPasses = 5;
    WriteBytes(File("fractal.qav"), FractalQAVFile(kStoredPasses));
    driver->Open(File("fractal.qav"));
    const QImage loaded = ImageOfBitmap(*form->CurrentBitmap);
    TViewerState reference;
    QVERIFY(OpenImageFile(reference, File("fractal.qav").toStdString()));

    std::vector<QImage> frames;
    connect(form->DecodeWatch(), &TDecodeWatch::FrameShown, this,
            [&] { frames.push_back(ImageOfBitmap(*form->CurrentBitmap)); });
    QSignalSpy stopped(form->DecodeWatch(), &TDecodeWatch::Stopped);
    form->WatchDecode1->trigger();
    QVERIFY(stopped.wait(10000));
    QCOMPARE(int(frames.size()), kStoredPasses);
    for (int pass = 1; pass <= kStoredPasses; ++pass) {
      QVERIFY(Reiterate(reference.CurrentQAV.get(), pass).IsOk());
      QVERIFY2(frames[pass - 1] == ImageOfBitmap(*reference.CurrentQAV->bitmap),
               qPrintable(QStringLiteral("frame %1").arg(pass)));
    }
    QVERIFY(frames.front() != frames.back());
    QCOMPARE(frames.back(), loaded);
  }

  void watchDecodePausesAndStopsAtTheCurrentPass() {
    ShowWindow();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    WriteBytes(File("fractal.qav"), FractalQAVFile(8));
    driver->Open(File("fractal.qav"));
    TDecodeWatch* watch = form->DecodeWatch();
    QTest::keyClick(form.get(), Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(watch->Running());
    QTRY_COMPARE(watch->Pass(), 1);
    QTest::keyClick(form.get(), Qt::Key_Space);
    QVERIFY(watch->Paused());
    // Held: no frame comes while paused, whatever the time.
    QTest::qWait(3 * TDecodeWatch::kFrameMilliseconds);
    QCOMPARE(watch->Pass(), 1);
    QTest::keyClick(form.get(), Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(watch->Pass() >= 2, 5000);
    QTest::keyClick(form.get(), Qt::Key_Escape);
    QVERIFY(!watch->Running());
    const int stoppedAt = watch->Pass();
    QVERIFY(stoppedAt < 8);
    const QImage shown = ImageOfBitmap(*form->CurrentBitmap);
    QTest::qWait(2 * TDecodeWatch::kFrameMilliseconds);
    QCOMPARE(ImageOfBitmap(*form->CurrentBitmap), shown);
    TViewerState reference;
    QVERIFY(OpenImageFile(reference, File("fractal.qav").toStdString()));
    QVERIFY(Reiterate(reference.CurrentQAV.get(), stoppedAt).IsOk());
    QCOMPARE(shown, ImageOfBitmap(*reference.CurrentQAV->bitmap));
  }

  // Opening another file while the decode plays ends the play before its record goes.
  void openingAnotherFileStopsTheWatch() {
    WriteBytes(File("fractal.qav"), FractalQAVFile(8));
    driver->Open(File("fractal.qav"));
    form->WatchDecode1->trigger();
    QVERIFY(form->DecodeWatch()->Running());
    WriteTestBitmap(File("photo.bmp"), 4, 4);
    driver->Open(File("photo.bmp"));
    QVERIFY(!form->DecodeWatch()->Running());
    QTest::qWait(2 * TDecodeWatch::kFrameMilliseconds);
    QCOMPARE(form->Image1->size(), QSize(4, 4));
    // Without a fractal picture the command does nothing.
    form->WatchDecode1->trigger();
    QVERIFY(!form->DecodeWatch()->Running());
  }
};

QTEST_MAIN(ViewerCommandsTest)
#include "viewer_commands_test.moc"

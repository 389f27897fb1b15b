// The main window driven through its real menu handlers, with the file dialogs and the error
// box answered by the test.

#include <QAction>
#include <QDir>
#include <QMenuBar>
#include <QScrollArea>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include "form_test_base.h"
#include "image_view.h"
#include "suite_checksums.h"
#include "test_files.h"

namespace {

// The pixels Image1 paints, read back from the widget.
QImage PaintedImage(TImage* image) {
  return image->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool PictureIsEmpty(const TForm1& form) {
  const TBitmap* shown = form.Picture.PeekBitmap();
  return shown == nullptr || shown->Empty();
}

}  // namespace

class Form1Test : public TFormTestBase {
  Q_OBJECT

 private slots:
  void startsEmptyWithTheCaptionMenuAndSize() {
    QCOMPARE(form->windowTitle(), QStringLiteral("QAV simple view"));
    QCOMPARE(form->Open1->text(), QStringLiteral("&Open"));
    QCOMPARE(form->Save1->text(), QStringLiteral("&Save"));
    QCOMPARE(form->Properties1->text(), QStringLiteral("&Properties"));
    QCOMPARE(form->Exit1->text(), QStringLiteral("E&xit"));
    QCOMPARE(form->Reiterate1->text(), QStringLiteral("&Reiterate"));
    QStringList menus;
    for (const QAction* menu : form->menuBar()->actions())
      menus << menu->text();
    // The designed menus first; the newer ones only after them.
    QCOMPARE(menus, QStringList({"&File", "&Effects", "&View", "&Go"}));
    QVERIFY(form->findChild<QStatusBar*>() == nullptr);
    QCOMPARE(form->Image1->size(), QSize(209, 169));
    QVERIFY(form->CurrentBitmap == nullptr);
    QVERIFY(!form->CurrentQAV);
  }

  void opensABitmapAndShowsItOneToOne() {
    WriteTestBitmap(File("photo.bmp"), 300, 200);
    driver->Open(File("photo.bmp"));
    QVERIFY(driver->errors->empty());
    QCOMPARE(form->FileKind, 3);
    QVERIFY(form->CurrentBitmap == &form->Picture.GetBitmap());
    QCOMPARE(form->Image1->size(), QSize(300, 200));
    const QImage painted = PaintedImage(form->Image1);
    for (const QPoint p : {QPoint(0, 0), QPoint(299, 0), QPoint(0, 199), QPoint(123, 77)}) {
      QCOMPARE(painted.pixelColor(p), TestBitmapColour(p.x(), p.y()));
    }
  }

  void nameTestsChooseTheLoader_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("kind");
    QTest::newRow("photo.qav") << "photo.qav" << TinyQAVFile() << 1;
    QTest::newRow("photo.QAV") << "photo.QAV" << TinyQAVFile() << 1;
    QTest::newRow("a.qav.gif") << "a.qav.gif" << TinyGifFile(Qt::red) << 2;
    QTest::newRow("pics.gif folder") << "pics.gif/photo.qav" << TinyGifFile(Qt::red) << 2;
    QTest::newRow("a.gif.bmp") << "a.gif.bmp" << QByteArray() << 3;
    QTest::newRow("a.bmp.gif") << "a.bmp.gif" << QByteArray() << 3;
  }
  void nameTestsChooseTheLoader() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, kind);
    QDir(folder->path()).mkpath(QFileInfo(File(name)).path());
    if (content.isEmpty()) {
      WriteTestBitmap(File(name), 4, 3);
    } else {
      WriteBytes(File(name), content);
    }
    driver->Open(File(name));
    QVERIFY2(driver->errors->empty(),
             qPrintable(driver->errors->empty() ? QString() : driver->errors->front().message));
    QCOMPARE(form->FileKind, kind);
    QCOMPARE(bool(form->CurrentQAV), kind == 1);
    QVERIFY(form->CurrentBitmap != nullptr);
    QVERIFY(!form->CurrentBitmap->Empty());
  }

  void unknownNamesAndCancelChangeNothing() {
    WriteTestBitmap(File("shown.bmp"), 6, 5);
    driver->Open(File("shown.bmp"));
    TBitmap* shown = form->CurrentBitmap;
    WriteBytes(File("photo.Qav"), TinyQAVFile());
    driver->Open(File("photo.Qav"));
    driver->Open(File("photo.png"));
    driver->CancelOpen();
    QVERIFY(driver->errors->empty());
    QVERIFY(form->CurrentBitmap == shown);
    QCOMPARE(form->CurrentBitmap->GetWidth(), 6);
    QCOMPARE(form->Image1->size(), QSize(6, 5));
  }

  void missingBitmapShowsTheErrorAndAnEmptyPicture() {
    WriteTestBitmap(File("shown.bmp"), 6, 5);
    driver->Open(File("shown.bmp"));
    const QString missing = File("missing.bmp");
    driver->Open(missing);
    QCOMPARE(driver->errors->size(), size_t(1));
    QCOMPARE(driver->errors->front().message, "Cannot open file " + missing);
    QVERIFY(PictureIsEmpty(*form));
    QVERIFY(form->CurrentBitmap == nullptr);
    // An empty picture keeps the control's last size.
    QCOMPARE(form->Image1->size(), QSize(6, 5));
  }

  void refusedQAVFileShowsTheReasonAndAnEmptyPicture_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("wrong magic") << BadMagicQAVFile() << "not a QAV file";
    QByteArray newer = TinyQAVFile();
    newer[4] = '\x32';
    QTest::newRow("too new") << newer << "newer";
    QByteArray unknownMethod = TinyQAVFile();
    unknownMethod[5] = '\x03';
    QTest::newRow("unknown method") << unknownMethod << "storage method 3";
    QTest::newRow("truncated") << TinyQAVFile().left(40) << "cut short";
  }
  void refusedQAVFileShowsTheReasonAndAnEmptyPicture() {
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    WriteTestBitmap(File("shown.bmp"), 6, 5);
    driver->Open(File("shown.bmp"));
    WriteBytes(File("bad.qav"), content);
    driver->Open(File("bad.qav"));
    QCOMPARE(driver->errors->size(), size_t(1));
    QCOMPARE(driver->errors->front().message, "Cannot show QAV file " + File("bad.qav"));
    QVERIFY2(driver->errors->front().detail.contains(reason),
             qPrintable(driver->errors->front().detail));
    QVERIFY(PictureIsEmpty(*form));
    QVERIFY(form->CurrentQAV);
  }

  void gifFromAnotherFolderIsHandedOverByteForByte() {
    QDir(folder->path()).mkpath(QStringLiteral("elsewhere"));
    const QByteArray gif = TinyGifFile(QColor(10, 200, 30));
    WriteBytes(File("elsewhere/small.gif"), gif);
    driver->Open(File("elsewhere/small.gif"));
    QVERIFY(driver->errors->empty());
    QCOMPARE(ReadBytes(File("picconv.gif")), gif);
    QVERIFY(QFile::exists(File("picconv.bmp")));
    QCOMPARE(PaintedImage(form->Image1).pixelColor(0, 0), QColor(10, 200, 30));
  }

  void secondOfTwoGifsIsShown() {
    WriteBytes(File("first.gif"), TinyGifFile(Qt::red));
    WriteBytes(File("second.gif"), TinyGifFile(Qt::blue));
    driver->Open(File("first.gif"));
    driver->Open(File("second.gif"));
    QVERIFY(driver->errors->empty());
    QCOMPARE(PaintedImage(form->Image1).pixelColor(0, 0), QColor(Qt::blue));
  }

  void failedConversionNeverShowsAStalePicture() {
    WriteBytes(File("good.gif"), TinyGifFile(Qt::red));
    driver->Open(File("good.gif"));
    WriteBytes(File("empty.gif"), QByteArray());
    driver->Open(File("empty.gif"));
    QCOMPARE(driver->errors->size(), size_t(1));
    QCOMPARE(driver->errors->front().message, "Cannot convert GIF file " + File("empty.gif"));
    QVERIFY(PictureIsEmpty(*form));
    QVERIFY(form->CurrentBitmap == nullptr);
  }

  void missingConverterGivesTheErrorBox() {
    form->ConverterPath = File("no-converter-here/picconv").toStdString();
    WriteBytes(File("a.gif"), TinyGifFile(Qt::red));
    driver->Open(File("a.gif"));
    QCOMPARE(driver->errors->size(), size_t(1));
    QCOMPARE(driver->errors->front().message, "Cannot convert GIF file " + File("a.gif"));
    QVERIFY(PictureIsEmpty(*form));
  }

  void secondOpenReleasesTheQAVRecord() {
    WriteBytes(File("photo.qav"), TinyQAVFile());
    driver->Open(File("photo.qav"));
    QVERIFY(form->CurrentQAV);
    WriteTestBitmap(File("next.bmp"), 2, 2);
    driver->Open(File("next.bmp"));
    QVERIFY(!form->CurrentQAV);
  }

  void savesAWindowsBitmapUnderExactlyTheTypedName() {
    WriteTestBitmap(File("photo.bmp"), 7, 4);
    driver->Open(File("photo.bmp"));
    for (const char* name : {"out.qav", "out"}) {
      driver->Save(File(name));
      QVERIFY(driver->errors->empty());
      QCOMPARE(ImageOfBitmapFile(File(name)), ImageOfBitmapFile(File("photo.bmp")));
    }
    QVERIFY(!QFile::exists(File("out.bmp")));
    QVERIFY(!QFile::exists(File("out.qav.bmp")));
  }

  void zeroByteBitmapOpensEmptyAndSavesZeroBytes() {
    WriteBytes(File("empty.bmp"), QByteArray());
    driver->Open(File("empty.bmp"));
    QVERIFY(driver->errors->empty());
    QVERIFY(form->CurrentBitmap != nullptr);
    QVERIFY(PictureIsEmpty(*form));
    QCOMPARE(form->Image1->size(), QSize(209, 169));
    driver->Save(File("saved.bmp"));
    QVERIFY(driver->errors->empty());
    QVERIFY(QFile::exists(File("saved.bmp")));
    QCOMPARE(QFileInfo(File("saved.bmp")).size(), 0);
  }

  void saveWithNothingShownSaysSo() {
    driver->Save(File("nothing.bmp"));
    QCOMPARE(driver->errors->size(), size_t(1));
    QCOMPARE(driver->errors->front().message, QStringLiteral("There is no picture to save"));
    QVERIFY(!QFile::exists(File("nothing.bmp")));
  }

  void cancelledSaveWritesNothing() {
    WriteTestBitmap(File("photo.bmp"), 3, 3);
    driver->Open(File("photo.bmp"));
    driver->dialogs->saveAnswers.push_back(QString());
    form->Save1Click();
    QCOMPARE(QDir(folder->path()).entryList(QDir::Files).size(), 1);
  }

  // Good files of the public bitmap suite are painted exactly as their reference renderings.
  void paintsGoodSuiteFilesLikeTheirReferences() {
    for (const char* file :
         {"g/pal1.bmp", "g/pal4.bmp", "g/pal8.bmp", "g/pal8os2.bmp", "g/rgb16.bmp",
          "g/rgb16-565.bmp", "g/rgb24.bmp", "g/rgb32.bmp", "g/rgb32bf.bmp", "g/pal8topdown.bmp",
          "g/pal4rle.bmp", "g/pal8rle.bmp"}) {
      driver->Open(QString::fromStdString(BmpSuiteFolder() + "/" + file));
      QVERIFY2(driver->errors->empty(), file);
      const SuiteRendering& reference = SuiteRenderings().at(file);
      const QImage painted = PaintedImage(form->Image1);
      QVERIFY2(painted.size() == QSize(reference.width, reference.height), file);
      const auto colourAt = [&painted](int x, int y) { return uint32_t{painted.pixel(x, y)}; };
      QVERIFY2(ShownColoursCrc(reference, colourAt) == reference.crc, file);
    }
  }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"

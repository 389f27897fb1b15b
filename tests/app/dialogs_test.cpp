// File > Properties and Effects > Reiterate through the main window's handlers, with their
// modal windows worked as a user would.

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "cspin_edit.h"
#include "form_test_base.h"
#include "form2.h"
#include "fractal_decoder.h"
#include "modal_driver.h"
#include "properti_window.h"
#include "properties_report.h"
#include "test_files.h"

namespace {

QByteArray PictureRows(const TForm1& form) {
  const TBitmap* shown = form.Picture.PeekBitmap();
  if (shown == nullptr || shown->Empty())
    return {};
  return QByteArray(reinterpret_cast<const char*>(shown->Bits()),
                    static_cast<qsizetype>(shown->BytesPerRow()) * shown->GetHeight());
}

const uint8_t* PixelAt(const TForm1& form, int x, int y) {
  return form.Picture.PeekBitmap()->RowData(y) + 3 * x;
}

}  // namespace

class DialogsTest : public TFormTestBase {
  Q_OBJECT

 private slots:
  void propertiesShowsSixLines_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("lines");
    const QString rule(30, '-');
    const QString bitmapStorage = QStringLiteral("Memory storage: Windows Bitmap");
    const QString qavStorage = QStringLiteral("Memory storage: QAV class 1   ");
    auto lines = [&](const QString& storage, int width, int height, const char* format) {
      return QStringList{rule,
                         storage,
                         rule,
                         QStringLiteral("X size (pixels):  %1").arg(width),
                         QStringLiteral("Y size         :  %1").arg(height),
                         QStringLiteral("Format         :  ") + QString::fromLatin1(format)};
    };
    QTest::newRow("bitmap") << "photo.bmp" << QByteArray()
                            << lines(bitmapStorage, 640, 480, "24 bit, RGB TrueColor");
    QTest::newRow("gif") << "photo.gif" << TinyGifFile(Qt::blue)
                         << lines(bitmapStorage, 1, 1, "8 bit, palette, 256 color");
    QTest::newRow("qav run-length")
        << "a.qav" << TinyQAVFile() << lines(qavStorage, 2, 1, "8 bit, palette, 256 color");
    QTest::newRow("qav huffman") << "b.qav" << TinyHuffmanQAVFile()
                                 << lines(qavStorage, 2, 2, "8 bit, palette, 256 color");
    QTest::newRow("qav fractal") << "c.qav" << FractalQAVFile(0)
                                 << lines(qavStorage, 16, 16, "24 bit, RGB TrueColor");
    QTest::newRow("refused qav") << "d.qav" << BadMagicQAVFile()
                                 << lines(qavStorage, 0, 0, "Unknown");
  }
  void propertiesShowsSixLines() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, lines);
    if (content.isEmpty()) {
      WriteTestBitmap(File(name), 640, 480);
    } else {
      WriteBytes(File(name), content);
    }
    driver->Open(File(name));
    // Twice in a row: a fresh window each time, six lines each time.
    for (int use = 0; use < 2; ++use) {
      QString shown;
      const bool appeared =
          WithModalDialog([&] { form->Properties1Click(); },
                          [&](QWidget* dialog) {
                            auto* window = qobject_cast<TPropertiWindow*>(dialog);
                            QVERIFY(window != nullptr);
                            QCOMPARE(window->windowTitle(), QStringLiteral("Properties"));
                            QVERIFY(window->Memo1->isReadOnly());
                            shown = window->Memo1->toPlainText();
                            QTest::keyClick(window, Qt::Key_Escape);
                          });
      QVERIFY(appeared);
      QCOMPARE(shown.split('\n'), lines);
    }
  }

  void reiterateNeedsACurrentQAVRecord() {
    QVERIFY(!WithModalDialog([&] { form->Reiterate1Click(); }, [](QWidget* d) { d->close(); }));
    WriteTestBitmap(File("photo.bmp"), 8, 8);
    driver->Open(File("photo.bmp"));
    QVERIFY(!WithModalDialog([&] { form->Reiterate1Click(); }, [](QWidget* d) { d->close(); }));
  }

  void reiterateOnARunLengthImageChangesNothing() {
    WriteBytes(File("a.qav"), TinyQAVFile());
    driver->Open(File("a.qav"));
    const QByteArray before = PictureRows(*form);
    QVERIFY(Reiterated(8));
    QCOMPARE(PictureRows(*form), before);
  }

  void reiterateWithTheOfferedCountGivesTheLoadedPicture() {
    for (int stored : {0, 8}) {
      WriteBytes(File("f.qav"), FractalQAVFile(stored));
      driver->Open(File("f.qav"));
      const QByteArray loaded = PictureRows(*form);
      QVERIFY(!loaded.isEmpty());
      QVERIFY(Reiterated(std::nullopt));
      QCOMPARE(PictureRows(*form), loaded);
    }
  }

  void onePassGivesFlatBlocksOfTheirOffsets() {
    WriteBytes(File("f.qav"), FractalQAVFile(8));
    driver->Open(File("f.qav"));
    QVERIFY(Reiterated(1));
    // Decoded row 0 is the bottom row; block k covers decoded rows 4 (k / 4) onwards.
    for (int k = 0; k < 16; ++k) {
      int red = 0, green = 0, blue = 0;
      FractalQAVOffsets(k, &red, &green, &blue);
      const int x = 4 * (k % 4) + 1;
      const int y = 15 - (4 * (k / 4) + 2);
      const uint8_t* pixel = PixelAt(*form, x, y);
      QCOMPARE(int(pixel[0]), std::clamp(95 + blue, 0, 255));
      QCOMPARE(int(pixel[1]), std::clamp(95 + green, 0, 255));
      QCOMPARE(int(pixel[2]), std::clamp(95 + red, 0, 255));
    }
  }

  void countsFollowTheSpinBoxRules_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("count");
    QTest::newRow("50 is 32") << "50" << 32;
    QTest::newRow("0 is 1") << "0" << 1;
    QTest::newRow("text is 1") << "many" << 1;
  }
  void countsFollowTheSpinBoxRules() {
    QFETCH(QString, typed);
    QFETCH(int, count);
    WriteBytes(File("f.qav"), FractalQAVFile(1));
    driver->Open(File("f.qav"));
    QVERIFY(Reiterated(count));
    const QByteArray expected = PictureRows(*form);
    QVERIFY(Reiterated(3));
    QVERIFY(WithModalDialog(
        [&] { form->Reiterate1Click(); },
        [&](QWidget* dialog) {
          auto* spin = dialog->findChild<TCSpinEdit*>(QStringLiteral("CSpinEdit1"));
          spin->setFocus();
          spin->selectAll();
          QTest::keyClicks(spin, typed);
          QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Button1")),
                            Qt::LeftButton);
        }));
    QCOMPARE(PictureRows(*form), expected);
  }

  void aFailedRedecodeShowsItsReasonAndKeepsThePicture() {
    WriteBytes(File("f.qav"), FractalQAVFile(8));
    driver->Open(File("f.qav"));
    const QByteArray loaded = PictureRows(*form);
    form->CurrentQAV->domainIndices[0] = 0xFFFF;  // names no domain block
    QVERIFY(Reiterated(4));
    QCOMPARE(driver->errors->size(), size_t{1});
    QCOMPARE(driver->errors->front().message, QStringLiteral("Cannot decode the picture again"));
    QVERIFY(!driver->errors->front().detail.isEmpty());
    QCOMPARE(PictureRows(*form), loaded);
  }

  void redecodesDoNotDependOnEarlierOnes() {
    WriteBytes(File("f.qav"), FractalQAVFile(1));
    driver->Open(File("f.qav"));
    QVERIFY(Reiterated(5));
    const QByteArray fiveAlone = PictureRows(*form);
    QVERIFY(Reiterated(3));
    QVERIFY(PictureRows(*form) != fiveAlone);
    QVERIFY(Reiterated(5));
    QCOMPARE(PictureRows(*form), fiveAlone);
  }

  void cancelAndEscChangeNothing() {
    WriteBytes(File("f.qav"), FractalQAVFile(2));
    driver->Open(File("f.qav"));
    const QByteArray loaded = PictureRows(*form);
    QVERIFY(WithModalDialog([&] { form->Reiterate1Click(); },
                            [](QWidget* dialog) {
                              QTest::mouseClick(
                                  dialog->findChild<QPushButton*>(QStringLiteral("Button2")),
                                  Qt::LeftButton);
                            }));
    QVERIFY(WithModalDialog([&] { form->Reiterate1Click(); },
                            [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); }));
    QVERIFY(WithModalDialog([&] { form->Reiterate1Click(); },
                            [](QWidget* dialog) { dialog->close(); }));
    QCOMPARE(PictureRows(*form), loaded);
  }

  void saveAfterARedecodeWritesTheRedecodedPicture() {
    WriteBytes(File("f.qav"), FractalQAVFile(8));
    driver->Open(File("f.qav"));
    const std::vector<std::string> reportBefore = PropertiesReportLines(*form);
    QVERIFY(Reiterated(1));
    QVERIFY(PropertiesReportLines(*form) == reportBefore);
    driver->Save(File("out.bmp"));
    QVERIFY(driver->errors->empty());
    TBitmap saved;
    saved.LoadFromBitmapFile(File("out.bmp").toStdString());
    QCOMPARE(saved.GetPixelFormat(), pf24bit);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(saved.Bits()),
                        static_cast<qsizetype>(saved.BytesPerRow()) * saved.GetHeight()),
             PictureRows(*form));
  }

  void dialogLooksAsDesigned() {
    WriteBytes(File("f.qav"), FractalQAVFile(8));
    driver->Open(File("f.qav"));
    QVERIFY(WithModalDialog([&] { form->Reiterate1Click(); },
                            [](QWidget* dialog) {
                              QCOMPARE(dialog->windowTitle(), QStringLiteral("Reiterate..."));
                              auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("Button1"));
                              auto* spin =
                                  dialog->findChild<TCSpinEdit*>(QStringLiteral("CSpinEdit1"));
                              QCOMPARE(ok->text(), QStringLiteral("OK"));
                              QVERIFY(ok->isDefault());
                              QCOMPARE(spin->value(), 8);
                              QCOMPARE(spin->minimum(), 1);
                              QCOMPARE(spin->maximum(), 32);
                              QCOMPARE(ok->nextInFocusChain(),
                                       dialog->findChild<QPushButton*>(QStringLiteral("Button2")));
                              dialog->close();
                            }));
  }

 private:
  // Runs Effects > Reiterate and clicks OK, with the count typed (nothing: the offered one).
  bool Reiterated(std::optional<int> count) {
    return WithModalDialog(
        [&] { form->Reiterate1Click(); },
        [&](QWidget* dialog) {
          auto* spin = dialog->findChild<TCSpinEdit*>(QStringLiteral("CSpinEdit1"));
          if (count)
            spin->setValue(*count);
          QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Button1")),
                            Qt::LeftButton);
        });
  }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"

// File > Open through Qt's real file dialog, many times over: the memory the program holds
// must level off, also when the chosen name is one the viewer ignores.

#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "form1.h"
#include "icon_keeping_style.h"
#include "modal_driver.h"

#if defined(__SANITIZE_ADDRESS__)
#define QAV_HEAP_FROM_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QAV_HEAP_FROM_SANITIZER 1
#endif
#endif

#ifdef QAV_HEAP_FROM_SANITIZER
#include <sanitizer/allocator_interface.h>
#else
#include <malloc.h>
#endif

namespace {

// Bytes the program has allocated and not freed.
size_t HeapInUse() {
#ifdef QAV_HEAP_FROM_SANITIZER
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#endif
}

// Works the Open dialog as a person does: waits until it is painted, types the name, accepts.
void OpenThroughTheDialog(TForm1& form, const QString& name) {
  const bool shown = WithModalDialog(
      [&form] { form.Open1Click(); },
      [&name](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        QVERIFY(dialog != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QCoreApplication::processEvents();
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
        QMetaObject::invokeMethod(dialog, "accept");
      });
  QVERIFY(shown);
}

}  // namespace

class OpenMemoryTest : public QObject {
  Q_OBJECT

 private slots:
  // The program's style, as qavshow starts with it.
  void initTestCase() { KeepStandardIconsOfStyle(); }

  // Each Open once made a new dialog whose freshly made icons, and a new header image at
  // every paint, left scaled copies in Qt's pixmap cache under keys never asked for again:
  // about 16 KB an Open (1.6 MB for a hundred). The first hundred Opens warm the caches; the
  // next hundred find everything there.
  void memoryLevelsOffOverTwoHundredOpens() {
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    TForm1 form;
    form.SetErrorSink([](QWidget*, const QString&, const QString&) {});
    form.show();
    const QString ignored = folder.filePath(QStringLiteral("notes.txt"));
    for (int open = 0; open < 100; ++open)
      OpenThroughTheDialog(form, ignored);
    const size_t warm = HeapInUse();
    for (int open = 0; open < 100; ++open)
      OpenThroughTheDialog(form, ignored);
    const size_t grown = HeapInUse() > warm ? HeapInUse() - warm : 0;
    QVERIFY2(grown < 64 * 1024,
             qPrintable(QStringLiteral("100 more Opens kept %1 KB").arg(grown / 1024)));
  }
};

QTEST_MAIN(OpenMemoryTest)
#include "open_memory_test.moc"

// A map on paper and in other files: a map window's Print and Print Preview print the map (fitted
// to a page, or at actual size over several), and Export... writes PNG, SVG, PDF or GraphML; without
// a window the suffix chooses the format and the picture shows the elements.
#include <QtPrintSupport>

#include "QtTestSupport.h"
#include "model/Node.h"
#include "model/RootMap.h"
#include "shell/CMapClient.h"
#include "shell/CMapFrame.h"
#include "shell/MapExport.h"
#include "shell/QtMapWindowFactory.h"
#include "tests/TestSupport.h"

namespace {

// "guest" lies far to the right: at actual size the map needs more than one page across.
const std::string kMapText = mapFileText(3,
    "1,\"Node\",1,\"Rectangle\",50 70 130 100,\"stove\",ffffff,0,,,0,80000000\r\n"
    "1,\"Node\",2,\"Ellipse\",180 70 260 100,\"kettle\",ffffff,0,,,0,80000000\r\n"
    "1,\"Node\",3,\"Rectangle\",1900 70 1990 100,\"guest\",ffffff,0,,,0,80000000\r\n");

// The text of a PDF through poppler's pdftotext, which ends every page with a form feed.
QString pdfText(const QString& pdf) {
  QProcess tool;
  tool.start("pdftotext", {pdf, "-"});
  return tool.waitForFinished() ? QString::fromUtf8(tool.readAllStandardOutput()) : QString();
}

// The number of pure red pixels in columns `from` to `to` of `image`.
int redIn(const QImage& image, int from, int to) {
  int red = 0;
  for (int x = std::max(0, from); x < std::min(image.width(), to); ++x)
    for (int y = 0; y < image.height(); ++y) red += image.pixelColor(x, y) == QColor(Qt::red);
  return red;
}

// A map of red rectangles.
std::unique_ptr<RootMap> redMap(std::initializer_list<RECT> rects) {
  auto map = std::make_unique<RootMap>();
  for (RECT r : rects) addTo(*map, std::make_unique<Node>("Rectangle-Red", "idea", &r));
  return map;
}

// The picture of one node of 100 by 40: with its repaint border of 3 and the margin around.
const QSize kOneNode(100 + 2 * 3 + 2 * kExportMargin + 1, 40 + 2 * 3 + 2 * kExportMargin + 1);

}  // namespace

class MapOutputGuiTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir;
  std::unique_ptr<brenloApp> app;
  CMapFrame* frame = nullptr;
  std::string error;

  // Exports `map` to the file `name` of the test's folder; the written picture, null when none.
  QImage exported(RootMap& map, const char* name) {
    const QString out = dir.filePath(name);
    return exportMap(map, out.toStdString(), error) ? QImage(out) : QImage();
  }

  // File > Print... answered with the map choice `radio`, printing to `pdf`.
  void printTo(const QString& pdf, const char* radio) {
    QPrinter* printer = app->printer();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdf);
    bool answered = false;
    whenModalIs<QPrintDialog>([&](QPrintDialog* dialog) {
      auto* choice = dialog->findChild<QRadioButton*>(radio);
      QVERIFY(choice);
      choice->click();
      answered = true;
      dialog->accept();
    });
    QVERIFY(chooseMenu(frame, "&File", "&Print..."));
    QTRY_VERIFY(answered);
    QTRY_VERIFY(QFileInfo(pdf).size() > 0 && !QApplication::activeModalWidget());
  }

 private slots:
  void initTestCase() {
    const QString map = dir.filePath("kitchen.CM");
    QVERIFY(put(map, QByteArray::fromStdString(kMapText)));
    brenloApp::setMapWindowFactory(std::make_unique<QtMapWindowFactory>());
    app = startedApp(map);
    frame = app->mainWindow()->findChild<CMapFrame*>();
    QVERIFY(frame && showActive(frame));
  }
  void cleanupTestCase() {
    app.reset();
    brenloApp::setMapWindowFactory(nullptr);
  }
  void cleanup() { dropModalWatches(); }

  // The console is not what a map window prints: its labels are, fitted on one page (actual size
  // is counted in the preview).
  void printingPutsTheMapOnPaper() {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
    const QString fitted = dir.filePath("fitted.pdf");
    printTo(fitted, "fitToPage");
    const QString text = pdfText(fitted);
    for (const char* label : {"stove", "kettle", "guest"}) QVERIFY2(text.contains(label), qPrintable(text));
    QVERIFY(!text.contains("QORBrenlo"));  // the console's start-up line
    QCOMPARE(text.count('\f'), 1);
  }

  // The preview shows the same pages and switches between the two ways.
  void previewSwitchesBetweenFittedAndActualSize() {
    QList<int> counts;
    whenModalIs<QPrintPreviewDialog>([&](QPrintPreviewDialog* dialog) {
      auto* pages = dialog->findChild<QPrintPreviewWidget*>();
      auto* scale = dialog->findChild<QComboBox*>("mapPrintScale");
      QVERIFY(pages && scale);
      scale->setCurrentIndex(0);
      QTest::qWait(50);
      counts << pages->pageCount();
      scale->setCurrentIndex(1);
      QTest::qWait(50);
      counts << pages->pageCount();
      dialog->reject();
    });
    QVERIFY(chooseMenu(frame, "&File", "Print Pre&view..."));
    QTRY_COMPARE(counts.size(), 2);
    QCOMPARE(counts[0], 1);
    QVERIFY(counts[1] > 1);
  }

  // Export... writes the selection alone as SVG with real text, and the whole map as a PNG
  // at the chosen scale, with no selection handles in the picture.
  void exportWritesTheChosenPartAtTheChosenScale() {
    CMapClient* view = frame->view();
    const POINT stove = view->mapToWindow(POINT{90, 85});
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(stove.x, stove.y));

    auto exportAs = [&](const QString& file, bool selection, int percent) {
      whenModal([&](QWidget* w) {
        w->findChild<QLineEdit*>("exportFile")->setText(file);
        w->findChild<QRadioButton*>(selection ? "selectionOnly" : "wholeMap")->click();
        w->findChild<QDoubleSpinBox*>("exportScale")->setValue(percent);
        w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
      });
      QVERIFY(chooseMenu(frame, "&File", "&Export..."));
      QTRY_VERIFY(QFileInfo::exists(file) && !QApplication::activeModalWidget());
    };
    const QString svg = dir.filePath("stove.svg");
    exportAs(svg, true, 100);
    const QByteArray text = bytesOf(svg);
    QVERIFY(text.contains("<text") && text.contains(">stove<") && !text.contains("kettle"));

    // GraphML of the selection holds the selected node alone; opened in a window and saved,
    // it stays GraphML.
    const QString graphml = dir.filePath("stove.graphml");
    exportAs(graphml, true, 100);
    QVERIFY(bytesOf(graphml).contains("stove") && !bytesOf(graphml).contains("kettle"));
    QVERIFY(app->openMapFile(graphml));
    CMapFrame* opened = app->mainWindow()->findChildren<CMapFrame*>().last();
    QVERIFY(opened->view()->saveTo(graphml.toStdString()));
    QVERIFY(bytesOf(graphml).startsWith("<?xml"));
    opened->closeAgreed();

    const QString small = dir.filePath("map100.png"), large = dir.filePath("map200.png");
    exportAs(small, false, 100);
    exportAs(large, false, 200);
    const QImage a(small), b(large);
    QVERIFY(!a.isNull() && !b.isNull());
    QVERIFY(qAbs(b.width() - 2 * a.width()) <= 2);
    QVERIFY(qAbs(b.height() - 2 * a.height()) <= 2);
    // The picture is the same with nothing selected: no handles are drawn in it.
    view->clearSelection();
    const QString plain = dir.filePath("plain100.png");
    exportAs(plain, false, 100);
    QCOMPARE(QImage(plain), a);
  }

  // A PNG covers the elements with a margin, also far from the origin; SVG and PDF are written
  // too, other suffixes refused.
  void theSuffixChoosesTheFormatAndAPngCoversTheElementsWithAMargin() {
    const auto map = redMap({{100, 50, 200, 90}});
    const QImage image = exported(*map, "map.PNG");
    QCOMPARE(image.size(), kOneNode);  // nothing of the empty map above-left
    QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));
    QCOMPARE(image.pixelColor(kExportMargin + 3 + 20, kExportMargin + 3 + 5), QColor(Qt::red));
    QCOMPARE(exported(*redMap({{60000, 60000, 60100, 60040}}), "far.png").size(), kOneNode);
    QVERIFY(exportMap(*map, dir.filePath("map.svg").toStdString(), error));
    QVERIFY(bytesOf(dir.filePath("map.svg")).contains("<svg"));
    QVERIFY(exportMap(*map, dir.filePath("map.pdf").toStdString(), error));
    QVERIFY(bytesOf(dir.filePath("map.pdf")).startsWith("%PDF-"));
    QVERIFY(!exportMap(*map, dir.filePath("map.gif").toStdString(), error));
    QVERIFY(QString::fromStdString(error).contains("gif"));
  }

  // Wider than the largest side: scaled down to it, with a warning, and both ends drawn.
  void aWideMapGivesAnImageAtMostTheLargestSide() {
    RecordingReports reports;
    const QImage image = exported(*redMap({{0, 0, 400, 200}, {39600, 0, 40000, 200}}), "wide.png");
    QCOMPARE(image.width(), kExportMaxSide);
    QVERIFY(image.height() < 200);
    QVERIFY(redIn(image, 0, 200) > 0);
    QVERIFY(redIn(image, image.width() - 200, image.width()) > 0);
    QVERIFY(reports.saw("scaled down to 16384 x "));
  }

  void anImageWithoutMemoryIsReportedAsSuch() {
    setExportImageMaker([](QSize) { return QImage(); });  // what QImage gives when the memory is not there
    const QImage none = exported(*redMap({{100, 50, 200, 90}}), "nomemory.png");
    setExportImageMaker(nullptr);
    QVERIFY(none.isNull());
    QVERIFY2(QString::fromStdString(error).contains("not enough memory"), error.c_str());
    QVERIFY(!QFile::exists(dir.filePath("nomemory.png")));
  }

  void aMapThatCannotBeReadIsNotExported() {
    error.clear();
    QVERIFY(!exportMapFile(dir.filePath("none.CM").toStdString(), dir.filePath("none.png").toStdString(), error));
    QVERIFY(!QFile::exists(dir.filePath("none.png")));
    QVERIFY(!error.empty());
  }
};

QTEST_MAIN(MapOutputGuiTest)
#include "MapOutputGuiTest.moc"

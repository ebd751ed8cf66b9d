// A map window's File menu on paper and in other files: Print and Print Preview print the map
// (fitted to a page, or at actual size over several), and Export... writes PNG, SVG, PDF or GraphML.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <fstream>

#include "MapText.h"
#include "QtTestSupport.h"
#include "shell/BrenloApp.h"
#include "shell/CMapClient.h"
#include "shell/CMapFrame.h"
#include "shell/QtMapWindowFactory.h"
#include "shell/SDIDecFrame.h"

namespace {

// "guest" lies far to the right: at actual size the map needs more than one page across.
const std::string kMapText = mapFileText(3,
    "1,\"Node\",1,\"Rectangle\",50 70 130 100,\"stove\",ffffff,0,,,0,80000000\r\n"
    "1,\"Node\",2,\"Ellipse\",180 70 260 100,\"kettle\",ffffff,0,,,0,80000000\r\n"
    "1,\"Node\",3,\"Rectangle\",1900 70 1990 100,\"guest\",ffffff,0,,,0,80000000\r\n");

// The text and the page count of a PDF, through poppler's tools.
QString pdfText(const QString& pdf) {
  QProcess tool;
  tool.start("pdftotext", {pdf, "-"});
  return tool.waitForFinished() ? QString::fromUtf8(tool.readAllStandardOutput()) : QString();
}
int pdfPages(const QString& pdf) {
  QProcess tool;
  tool.start("pdfinfo", {pdf});
  if (!tool.waitForFinished()) return -1;
  for (const QByteArray& line : tool.readAllStandardOutput().split('\n'))
    if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
  return -1;
}

}  // namespace

class MapOutputGuiTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir;
  std::unique_ptr<brenloApp> app;
  CMapFrame* frame = nullptr;

  // File > Print... answered with the map choice `radio`, printing to `pdf`.
  void printTo(const QString& pdf, const char* radio) {
    QPrinter* printer = app->printer();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdf);
    bool answered = false;
    whenModal([&](QWidget* w) {
      auto* dialog = qobject_cast<QPrintDialog*>(w);
      QVERIFY(dialog);
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
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
    const QString map = dir.filePath("kitchen.CM");
    std::ofstream(map.toStdString(), std::ios::binary) << kMapText;
    brenloApp::setMapWindowFactory(std::make_unique<QtMapWindowFactory>());
    app = std::make_unique<brenloApp>(map);
    app->start();
    frame = app->mainWindow()->findChild<CMapFrame*>();
    QVERIFY(frame && showActive(frame));
  }
  void cleanupTestCase() {
    app.reset();
    brenloApp::setMapWindowFactory(nullptr);
  }
  void cleanup() { dropModalWatches(); }

  // The console is not what a map window prints: its labels are, on one page fitted, on
  // several at actual size.
  void printingPutsTheMapOnPaper() {
    const QString fitted = dir.filePath("fitted.pdf"), actual = dir.filePath("actual.pdf");
    printTo(fitted, "fitToPage");
    const QString text = pdfText(fitted);
    for (const char* label : {"stove", "kettle", "guest"}) QVERIFY2(text.contains(label), qPrintable(text));
    QVERIFY(!text.contains("QORBrenlo"));  // the console's start-up line
    QCOMPARE(pdfPages(fitted), 1);

    printTo(actual, "actualSize");
    QVERIFY(pdfPages(actual) > 1);
    QVERIFY(pdfText(actual).contains("guest"));
    QCOMPARE(app->mapPrintScale(), MapPrintScale::ActualSize);
  }

  // The preview shows the same pages and switches between the two ways.
  void previewSwitchesBetweenFittedAndActualSize() {
    QList<int> counts;
    whenModal([&](QWidget* w) {
      auto* dialog = qobject_cast<QPrintPreviewDialog*>(w);
      QVERIFY(dialog);
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
    QCOMPARE(view->document().selection().size(), std::size_t(1));

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
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("<text"));
    QVERIFY(text.contains(">stove<"));
    QVERIFY(!text.contains("kettle"));

    // GraphML of the selection holds the selected node alone; opened in a window and saved,
    // it stays GraphML.
    const QString graphml = dir.filePath("stove.graphml");
    exportAs(graphml, true, 100);
    QFile xml(graphml);
    QVERIFY(xml.open(QIODevice::ReadOnly));
    const QByteArray nodes = xml.readAll();
    QVERIFY(nodes.contains("stove") && !nodes.contains("kettle"));
    QVERIFY(app->openMapFile(graphml));
    CMapFrame* opened = nullptr;
    for (CMapFrame* f : app->mainWindow()->findChildren<CMapFrame*>())
      if (QString::fromStdString(f->view()->fileName()) == graphml) opened = f;
    QVERIFY(opened && opened != frame);
    QCOMPARE(opened->view()->document().memberCount(), std::size_t(1));
    QVERIFY(opened->view()->saveTo(graphml.toStdString()));
    xml.close();
    QVERIFY(xml.open(QIODevice::ReadOnly));
    QVERIFY(xml.readAll().startsWith("<?xml"));
    opened->closeAgreed();

    const QString small = dir.filePath("map100.png"), large = dir.filePath("map200.png");
    exportAs(small, false, 100);
    exportAs(large, false, 200);
    const QImage a(small), b(large);
    QVERIFY(!a.isNull() && !b.isNull());
    QVERIFY(qAbs(b.width() - 2 * a.width()) <= 2);
    QVERIFY(qAbs(b.height() - 2 * a.height()) <= 2);
    // The picture is the same with nothing selected: no handles are drawn in it.
    QCOMPARE(view->document().selection().size(), std::size_t(1));  // still selected on screen
    view->clearSelection();
    const QString plain = dir.filePath("plain100.png");
    exportAs(plain, false, 100);
    QCOMPARE(QImage(plain), a);
  }
};

QTEST_MAIN(MapOutputGuiTest)
#include "MapOutputGuiTest.moc"

// Map windows as documents: captions, Save and Save As through the real dialog, Open, and closing a changed
// map; the map on paper and in other files: Print and Print Preview print the map (fitted to a page, or at
// actual size over several), and Export... writes PNG, SVG, PDF or GraphML; without a window the suffix
// chooses the format and the picture shows the elements.
#include <QtPrintSupport>

#include "QtTestSupport.h"
#include "model/RootMap.h"
#include "shell/CMapFrame.h"
#include "shell/Commands.h"
#include "shell/MapExport.h"
#include "shell/QtMapWindowFactory.h"
#include "tests/TestSupport.h"

namespace {

// "guest" lies far to the right: at actual size the map needs more than one page across.
const std::string kMapText = mapFileText(3,
    "1,\"Node\",1,\"Rectangle\",50 70 130 100,\"stove\",ffffff,0,,,0,80000000\r\n"
    "1,\"Node\",2,\"Ellipse\",180 70 260 100,\"kettle\",ffffff,0,,,0,80000000\r\n"
    "1,\"Node\",3,\"Rectangle\",1900 70 1990 100,\"guest\",ffffff,0,,,0,80000000\r\n");

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

class CMapFrameTest : public QObject {
  Q_OBJECT
  std::unique_ptr<brenloApp> app;
  QTemporaryDir dir;

  QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  CMapFrame* newFrame() {
    auto* frame = new CMapFrame(app->mainWindow());
    showActive(frame);
    return frame;
  }
  // A shown map window whose map holds a node that was moved: a changed map.
  CMapFrame* changedFrame() {
    CMapFrame* frame = newFrame();
    addNode(frame->view(), {40, 40, 100, 80}, "idea");
    drag(frame->view(), {50, 50}, {150, 100});
    return frame;
  }
  // A shown map window of a map saved in `name`.
  CMapFrame* savedFrame(const char* name) {
    CMapFrame* frame = newFrame();
    addNode(frame->view(), {40, 40, 120, 80}, "mine");
    frame->view()->saveTo(path(name).toStdString());
    return frame;
  }
  QList<CMapFrame*> mapWindows() const { return app->mainWindow()->findChildren<CMapFrame*>(); }
  // A shown map window of the kitchen map.
  CMapFrame* kitchen() {
    put(path("kitchen.CM"), QByteArray::fromStdString(kMapText));
    app->openMapFile(path("kitchen.CM"));
    showActive(mapWindows().last());
    return mapWindows().last();
  }
  std::string error;

  // Exports `map` to the file `name` of the test's folder; the written picture, null when none.
  QImage exported(RootMap& map, const char* name) {
    const QString out = dir.filePath(name);
    return exportMap(map, out.toStdString(), error) ? QImage(out) : QImage();
  }


 private slots:
  void init() {
    forgetSettings();
    brenloApp::setMapWindowFactory(std::make_unique<QtMapWindowFactory>());
    app = startedApp();
  }
  void cleanup() {
    dropModalWatches();
    for (CMapFrame* f : mapWindows()) delete f;  // no questions asked
    app.reset();
    brenloApp::setMapWindowFactory(nullptr);
  }

  // The caption follows the map and its changes; Save of a new map asks for a file (cancelled:
  // the map keeps no file); Save As... and Ctrl+S write the map, and Ctrl+O offers map and GraphML
  // files and reads the map back.
  void captionsSaveAsSaveAndOpenRoundTripTheMap() {
    CMapFrame* frame = newFrame();
    CMapClient* view = frame->view();
    whenModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });  // cancelled
    QVERIFY(!view->save());
    QVERIFY(view->fileName().empty());
    addNode(view, {40, 40, 120, 80}, "water");
    addNode(view, {200, 40, 280, 80}, "ice");
    drag(view, {210, 50}, {220, 150});
    QCOMPARE(frame->windowTitle(), QStringLiteral("New View*"));

    const QString file = path("saved.CM");
    answerFile(file);
    QVERIFY(chooseMenu(frame, "&File", "Save &As..."));
    QTRY_VERIFY(QFile::exists(file));
    QCOMPARE(frame->windowTitle(), file);
    // A click on the element behind brings it to the front: a change, though no step of the history.
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(50, 50));
    QTRY_COMPARE(frame->windowTitle(), file + '*');
    QVERIFY(showActive(frame));  // the closed dialog hands activation back
    QTest::keyClick(frame, Qt::Key_S, Qt::ControlModifier);
    QTRY_VERIFY(!view->isChanged());

    QPointer<CMapFrame> first = frame;
    QVERIFY(frame->close());
    QTRY_VERIFY(!first);
    QVERIFY(showActive(app->mainWindow()));
    QStringList filters;
    answerFile(file, &filters);
    QTest::keyClick(app->mainWindow(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(filters, (QStringList{"CMap Files (*.CM)", "GraphML (*.graphml)", "All Files (*)"}));
    QTRY_COMPARE(mapWindows().size(), 1);
    QCOMPARE(mapWindows().first()->view()->document().memberCount(), std::size_t(2));
  }

  void aFailedSaveKeepsTheMapChangedAndTheWindowOpen() {
    QVERIFY(QDir().mkpath(path("gone")));
    QPointer<CMapFrame> frame = savedFrame("gone/map.CM");
    drag(frame->view(), {50, 50}, {150, 100});
    QVERIFY(QDir(path("gone")).removeRecursively());
    // The failure is told on the map window.
    QStringList told;
    QWidget* shownOn = nullptr;
    answerBoxes({QMessageBox::Save, QMessageBox::Ok}, &told, [&](QMessageBox* box) { shownOn = box->parentWidget(); });
    QVERIFY(!frame->close());
    QCOMPARE(told.value(1), QStringLiteral("Can't open file '%1'").arg(path("gone/map.CM")));
    QCOMPARE(shownOn, frame->view());
    QVERIFY(frame && frame->isVisible() && frame->view()->isChanged());
  }

  // A file read incompletely, or changed by another program since it was opened, is not
  // overwritten unasked.
  void aFileReadIncompletelyOrChangedElsewhereIsNotOverwrittenUnasked() {
    const QString foreign = path("foreign.CM");
    const QByteArray text = QByteArray::fromStdString(mapFileText(5, "not a map line\r\n"));
    QVERIFY(put(foreign, text));
    QVERIFY(app->openMapFile(foreign));
    QTRY_COMPARE(mapWindows().size(), 1);
    QStringList asked;
    answerBoxes({QMessageBox::Cancel}, &asked);
    QVERIFY(!mapWindows().first()->view()->save());
    QCOMPARE(asked.value(0), QStringLiteral("'%1' could not be read completely: saving replaces it with what was read. "
                                            "Overwrite it?").arg(foreign));
    QCOMPARE(bytesOf(foreign), text);

    CMapClient* view = savedFrame("shared.CM")->view();
    const QString file = path("shared.CM");
    const QByteArray theirs = "written by another editor";
    // Cancel keeps the other program's file and the map's change mark.
    QVERIFY(put(file, theirs));
    drag(view, {50, 50}, {90, 120});
    asked.clear();
    answerBoxes({QMessageBox::Cancel}, &asked);
    QTest::keyClick(view->window(), Qt::Key_S, Qt::ControlModifier);
    QTRY_COMPARE(asked.value(0),
                 QStringLiteral("'%1' was changed by another program since it was opened. Overwrite it?").arg(file));
    QCOMPARE(bytesOf(file), theirs);
    QVERIFY(view->isChanged());
    // Overwrite writes; the next save, with nobody else writing, asks nothing.
    answerBoxes({"Overwrite"});
    QVERIFY(view->save());
    QVERIFY(bytesOf(file).contains("\"mine\""));
    drag(view, {90, 120}, {60, 60});
    QVERIFY(view->save());
    // Save As... writes elsewhere and leaves the other program's file alone.
    QVERIFY(put(file, theirs));
    const QString other = path("mine.CM");
    answerBoxes({"Save As..."}, nullptr, [other](QMessageBox*) { answerFile(other); });
    QVERIFY(view->save());
    QCOMPARE(bytesOf(file), theirs);
    QCOMPARE(QString::fromStdString(view->fileName()), other);
  }

  // A file that cannot be read opens no window; one that is open already brings its window forward.
  void openingAMapThatIsOpenBringsItsWindowForward() {
    QVERIFY(!app->openMapFile(path("missing.CM")));
    CMapFrame* frame = savedFrame("once.CM");
    QVERIFY(QFile::link(path("once.CM"), path("link.CM")));
    auto* other = new QWidget(nullptr);
    showActive(other);
    QVERIFY(app->openMapFile(path("link.CM")));
    QCOMPARE(mapWindows().size(), 1);
    QTRY_COMPARE(QApplication::activeWindow(), frame);
    delete other;
  }

  // Alt+F4 in a changed map window asks first: Cancel keeps it open and changed, Discard closes
  // only that window. Exit asks every changed window: Cancel anywhere closes nothing, else all close.
  void closingAndExitAskEveryChangedWindowAndCancelAnywhereClosesNothing() {
    QPointer<CMapFrame> plain = newFrame();
    QPointer<CMapFrame> first = changedFrame();
    QPointer<CMapFrame> second = changedFrame();
    QPointer<CMapFrame> third = changedFrame();
    QStringList asked;
    answerBoxes({QMessageBox::Cancel}, &asked);
    QTest::keyClick(third->view(), Qt::Key_F4, Qt::AltModifier);
    QCOMPARE(asked, QStringList{"Save changes to 'New View'?"});
    QVERIFY(third && third->isVisible() && third->view()->isChanged());
    answerBoxes({QMessageBox::Discard});
    QVERIFY(showActive(third));
    QTest::keyClick(third->view(), Qt::Key_F4, Qt::AltModifier);
    QTRY_VERIFY(!third);
    QVERIFY(plain && first && second && plain->isVisible() && second->isVisible());

    answerBoxes({QMessageBox::Discard, QMessageBox::Cancel});
    app->runCommand(cm::Exit);
    QVERIFY(plain && first && second && plain->isVisible() && second->isVisible() && app->mainWindow()->isVisible());
    QVERIFY(first->view()->isChanged());
    asked.clear();
    answerBoxes({QMessageBox::Discard, QMessageBox::Discard}, &asked);
    app->runCommand(cm::Exit);
    QCOMPARE(asked.size(), 2);
    QVERIFY(!app->mainWindow()->isVisible());
    QTRY_VERIFY(!plain && !first && !second);
  }

  void windowsOpenOnScreenLargeEnoughAndWhereTheyWereLastTime() {
    SDIDecFrame* main = app->mainWindow();
    QVERIFY(showActive(main));
    const QRect area = main->screen()->availableGeometry();
    auto restart = [this] {
      app.reset();
      app = startedApp();
      QVERIFY(QTest::qWaitForWindowExposed(app->mainWindow()));
    };

    // A map window shows the whole map, up to 80% of the screen, and stays on the screen.
    auto opened = [this, &area](const char* name, const std::string& far) {
      const std::string node = "1,\"Node\",1,\"Rectangle\"," + far + ",\"far\",ffffff,0,,,0,80000000\r\n";
      put(path(name), QByteArray::fromStdString(mapFileText(1, node)));
      app->openMapFile(path(name));
      CMapFrame* shown = mapWindows().last();
      // The checks after the wait tell what went wrong; the waits only give the window time to settle.
      (void)QTest::qWaitForWindowExposed(shown);
      (void)QTest::qWaitFor([&] { return area.contains(shown->frameGeometry()); });
      return shown;
    };
    CMapFrame* wide = opened("wide.CM", "400 300 540 380");
    QVERIFY(wide->view()->width() >= 540 && wide->view()->height() >= 380);
    CMapFrame* huge = opened("huge.CM", "5000 5000 5100 5050");
    QVERIFY(area.contains(huge->frameGeometry()));
    QCOMPARE(huge->size(), QSize(int(area.width() * 0.8), int(area.height() * 0.8)));

    // Closed windows leave their places for the next run.
    delete wide;
    huge->move(area.topLeft() + QPoint(50, 60));
    huge->resize(450, 320);
    QVERIFY(huge->close());
    main->move(area.topLeft() + QPoint(30, 40));
    main->resize(700, 400);
    QVERIFY(main->close());
    restart();
    main = app->mainWindow();
    auto place = [](QWidget* w) { return QRect(w->frameGeometry().topLeft(), w->size()); };
    QCOMPARE(place(main), QRect(area.topLeft() + QPoint(30, 40), QSize(700, 400)));
    app->newView();
    CMapFrame* again = mapWindows().last();
    QVERIFY(QTest::qWaitForWindowExposed(again));
    QCOMPARE(place(again), QRect(area.topLeft() + QPoint(50, 60), QSize(450, 320)));
    delete again;

    // A place off the screen (another monitor, since gone) still opens on the screen.
    main->move(-3000, -2000);
    QVERIFY(main->close());
    restart();
    QTRY_VERIFY(area.contains(app->mainWindow()->frameGeometry()));
  }

  // The preview switches between the map fitted on one page and at actual size on several. The
  // console is not what a map window prints: its labels are, fitted on one page.
  void previewAndPrintPutTheMapOnPaper() {
    CMapFrame* frame = kitchen();
    QList<int> counts;
    whenModalIs<QPrintPreviewDialog>([&](QPrintPreviewDialog* dialog) {
      auto* pages = dialog->findChild<QPrintPreviewWidget*>();
      auto* scale = dialog->findChild<QComboBox*>("mapPrintScale");
      QVERIFY(pages && scale);
      for (int choice : {0, 1}) {  // fitted, then actual size
        scale->setCurrentIndex(choice);
        QTest::qWait(50);
        counts << pages->pageCount();
      }
      dialog->reject();
    });
    QVERIFY(chooseMenu(frame, "&File", "Print Pre&view..."));
    QTRY_COMPARE(counts.size(), 2);
    QCOMPARE(counts[0], 1);
    QVERIFY(counts[1] > 1);

    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
    // File > Print... with the map fitted to the page, to a PDF.
    const QString fitted = dir.filePath("fitted.pdf");
    app->printer()->setOutputFormat(QPrinter::PdfFormat);
    app->printer()->setOutputFileName(fitted);
    bool answered = false;
    whenModalIs<QPrintDialog>([&](QPrintDialog* dialog) {
      auto* choice = dialog->findChild<QRadioButton*>("fitToPage");
      QVERIFY(choice);
      choice->click();
      answered = true;
      dialog->accept();
    });
    QVERIFY(chooseMenu(frame, "&File", "&Print..."));
    QTRY_VERIFY(answered);
    QTRY_VERIFY(QFileInfo(fitted).size() > 0 && !QApplication::activeModalWidget());
    // Its text through poppler's pdftotext, which ends every page with a form feed.
    QProcess tool;
    tool.start("pdftotext", {fitted, "-"});
    QVERIFY(tool.waitForFinished());
    const QString text = QString::fromUtf8(tool.readAllStandardOutput());
    for (const char* label : {"stove", "kettle", "guest"}) QVERIFY2(text.contains(label), qPrintable(text));
    QVERIFY(!text.contains("QORBrenlo"));  // the console's start-up line
    QCOMPARE(text.count('\f'), 1);
  }

  // Export... writes the selection alone as SVG with real text, and the whole map as a PNG
  // at the chosen scale, with no selection handles in the picture.
  void exportWritesTheChosenPartAtTheChosenScale() {
    CMapFrame* frame = kitchen();
    CMapClient* view = frame->view();
    QTest::mouseClick(view, Qt::LeftButton, {}, at(view->mapToWindow(POINT{90, 85})));

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
    CMapFrame* opened = mapWindows().last();
    QVERIFY(opened->view()->saveTo(graphml.toStdString()));
    QVERIFY(bytesOf(graphml).startsWith("<?xml"));
    opened->closeAgreed();

    const QString small = dir.filePath("map100.png"), large = dir.filePath("map200.png");
    exportAs(small, false, 100);
    exportAs(large, false, 200);
    const QImage a(small), b(large);
    QVERIFY(!a.isNull() && !b.isNull());
    QVERIFY(qAbs(b.width() - 2 * a.width()) <= 2);
    // The picture is the same with nothing selected: no handles are drawn in it.
    view->clearSelection();
    const QString plain = dir.filePath("plain100.png");
    exportAs(plain, false, 100);
    QCOMPARE(QImage(plain), a);
  }

  // A PNG covers the elements with a margin, also far from the origin; SVG and PDF are written
  // too, other suffixes refused, and a map that cannot be read is not exported.
  void theSuffixChoosesTheFormatAndAPngCoversTheElementsWithAMargin() {
    const auto map = redMap({{100, 50, 200, 90}});
    const QImage image = exported(*map, "map.PNG");
    QCOMPARE(image.size(), kOneNode);  // nothing of the empty map above-left
    QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));
    QCOMPARE(image.pixelColor(kExportMargin + 3 + 20, kExportMargin + 3 + 5), QColor(Qt::red));
    QCOMPARE(exported(*redMap({{60000, 60000, 60100, 60040}}), "far.png").size(), kOneNode);
    for (auto [file, start] : {std::pair{"map.svg", "<?xml"}, {"map.pdf", "%PDF-"}}) {
      QVERIFY(exportMap(*map, dir.filePath(file).toStdString(), error));
      QVERIFY2(bytesOf(dir.filePath(file)).startsWith(start), file);
    }
    QVERIFY(!exportMap(*map, dir.filePath("map.gif").toStdString(), error));
    QVERIFY(QString::fromStdString(error).contains("gif"));
    QVERIFY(!exportMapFile(dir.filePath("none.CM").toStdString(), dir.filePath("none.png").toStdString(), error));
    QVERIFY(!QFile::exists(dir.filePath("none.png")));
  }

  // Wider than the largest side: scaled down to it, with a warning, and both ends drawn; a picture
  // the memory cannot hold is told as such and writes no file.
  void aLargeMapIsScaledDownOrToldToNeedMoreMemory() {
    RecordingReports reports;
    const QImage image = exported(*redMap({{0, 0, 400, 200}, {39600, 0, 40000, 200}}), "wide.png");
    QCOMPARE(image.width(), kExportMaxSide);
    QVERIFY(image.height() < 200);
    QVERIFY(redIn(image, 0, 200) > 0);
    QVERIFY(redIn(image, image.width() - 200, image.width()) > 0);
    QVERIFY(reports.saw("scaled down to 16384 x "));

    setExportImageMaker([](QSize) { return QImage(); });  // what QImage gives when the memory is not there
    const QImage none = exported(*redMap({{100, 50, 200, 90}}), "nomemory.png");
    setExportImageMaker(nullptr);
    QVERIFY(none.isNull());
    QVERIFY2(QString::fromStdString(error).contains("not enough memory"), error.c_str());
    QVERIFY(!QFile::exists(dir.filePath("nomemory.png")));
  }
};

QTEST_MAIN(CMapFrameTest)
#include "CMapFrameTest.moc"

// The main window as a user meets it: menus, control bar, status bar, console and plain documents
// (Find, Replace, their enablers and saving); printing its client: pagination, the print loop, the
// printer object and the print preview.

#include <QtPrintSupport>

#include "QtTestSupport.h"
#include "shell/BrenloEditView.h"
#include "shell/CommandMenus.h"
#include "shell/Commands.h"
#include "shell/PreviewWindow.h"
#include "shell/PrintOut.h"
#include "tests/TestSupport.h"

namespace {

// Fills the Find or Replace dialog and presses one of its buttons.
void answerSearch(const QString& what, const QString& with = {}, const char* button = "go") {
  whenModal([=](QWidget* w) {
    w->findChild<QLineEdit*>("findWhat")->setText(what);
    if (auto* r = w->findChild<QLineEdit*>("replaceWith")) r->setText(with);
    QTest::mouseClick(w->findChild<QPushButton*>(button), Qt::LeftButton);
  });
}

}  // namespace

class SDIDecFrameTest : public QObject {
  Q_OBJECT
  std::unique_ptr<brenloApp> app;
  SDIDecFrame* frame = nullptr;

 private slots:
  void init() {
    forgetSettings();
    app = startedApp();
    frame = app->mainWindow();
    QVERIFY(showActive(frame));
  }
  void cleanup() {
    dropModalWatches();
    if (frame->editView()) frame->editView()->document()->setModified(false);
    app.reset();
  }

  // The main window's menus, their ids, hints and keys (standard shortcuts beside the editor's own
  // ones), and its control bar of buttons in order.
  void theWindowItsMenusAndItsControlBar() {
    struct Row { const char* popup; const char* item; int id; const char* hint; const char* key; };
    const Row rows[] = {
        {"&File", "New &View", 101, "Create a new view window", "Ctrl+N"},
        {"&Edit", "&Undo", 24321, "Reverses the last operation", "Alt+Backspace; Ctrl+Z"},
        {"&Edit", "&Redo", 24329, "Redo the last undone command", "Alt+Return; Alt+Enter; Ctrl+Shift+Z; Ctrl+Y"},
        {"&Help", "&About...", 2009, "About the brenlo application", ""},
    };
    for (const Row& row : rows) {
      QMenu* menu = frame->menus()->popup(QString::fromLatin1(row.popup));
      QVERIFY2(menu, row.popup);
      QAction* a = actionNamed(menu->actions(), QString::fromLatin1(row.item));
      QVERIFY2(a, row.item);
      QCOMPARE(a->data().toInt(), row.id);
      QCOMPARE(a->statusTip(), QString::fromLatin1(row.hint));
      QCOMPARE(QKeySequence::listToString(a->shortcuts()), QString::fromLatin1(row.key));
    }
    QCOMPARE(menuTexts(frame->menus()->popup("&File")),
             (QStringList{"New &View", "&New", "&Open...", "> Open &Recent", "&Save", "Save &As...",
                          "Print Pre&view...", "&Print...", "P&rint Setup...", "Report on objects", "E&xit"}));
    QCOMPARE(menuTexts(frame->menuBar()), (QStringList{"> &File", "> &Edit", "> &Search", "> &Object", "> &Help"}));

    auto* bar = frame->findChild<QToolBar*>("controlBar");
    QVERIFY(bar);
    QStringList ids;
    for (QAction* a : bar->actions()) ids << (a->isSeparator() ? QStringLiteral("|") : a->objectName());
    QCOMPARE(ids.join(' '), QStringLiteral("24331 24332 24333 | 24322 24323 24324 | 24321 | 24351 24353 | "
                                           "24337 24340 | 2001"));
  }

  void menuItemsAreGreyedUnlessHandledTheirHintsShowAnywayAndTheModeIndicators() {
    // The status bar shows the hint of the item under the mouse, greyed or not: an enabled item
    // after greyed ones shows its own.
    QMenu* menu = openPopup(frame, "&Edit");
    QVERIFY(menu);
    QVERIFY(!frame->menus()->action(cm::EditUndo)->isEnabled() && frame->menus()->action(cm::EditClear)->isEnabled());
    for (int id : {cm::EditUndo, cm::EditRedo, cm::EditUndo, cm::EditClear}) {
      QAction* item = frame->menus()->action(id);
      QTest::mouseMove(menu, menu->actionGeometry(item).center());
      QTRY_COMPARE(frame->statusBar()->currentMessage(), item->statusTip());
    }
    menu->close();
    QVERIFY(!frame->menus()->action(cm::EditFind)->isEnabled());  // nobody handles it: the console cannot search

    frame->newDocument();
    QVERIFY(!frame->indicator("OVR")->isEnabled());
    QTest::keyClick(frame->editView(), Qt::Key_Insert);
    QVERIFY(frame->indicator("OVR")->isEnabled() && frame->editView()->overwriteMode());
  }

  void reportsAppearInTheConsoleAFullOneIsFlushedAndADocumentIsNeverWrittenInto() {
    reportError(nullptr, 'E', "Can't open file '%s'", "x.CM");
    QVERIFY(frame->console()->toPlainText().endsWith("E: Can't open file 'x.CM'\n"));

    // A full console is flushed first.
    frame->console()->setPlainText(QString(kConsoleRoom + 1, 'x'));
    QCOMPARE(frame->showReport('W', "W: late"), 0);
    QCOMPARE(frame->console()->toPlainText(), QStringLiteral("W: late\n...Buffer flushed.\n"));
    frame->console()->setPlainText(QString(kConsoleRoom, 'x'));
    frame->showReport('W', "W: fits");
    QVERIFY(frame->console()->toPlainText().endsWith("xW: fits\n"));
    // A plain document is never written into by reports.
    frame->newDocument();
    frame->editView()->setPlainText("mine");
    QCOMPARE(frame->showReport('E', "E: boom"), -1);
    QCOMPARE(frame->editView()->toPlainText(), QStringLiteral("mine"));
  }

  // New takes the client's place with an edit view that the Edit menu works on; Save As...
  // writes the file named in the dialog and Save then writes there without asking; a failed save
  // keeps the document changed; closing a changed document asks, Cancel keeps it; closing the
  // document brings the console back.
  void aPlainDocumentIsEditedSavedAndClosed() {
    QVERIFY(chooseMenu(frame, "&File", "&New"));
    QCOMPARE(frame->client(), frame->editView());
    QTest::keyClicks(frame->editView(), "hello map");
    QVERIFY(frame->isWindowModified());
    frame->editView()->selectAll();
    QVERIFY(chooseMenu(frame, "&Edit", "Cu&t"));
    QCOMPARE(frame->editView()->toPlainText(), QString());
    QVERIFY(chooseMenu(frame, "&Edit", "&Paste"));
    QCOMPARE(frame->editView()->toPlainText(), QStringLiteral("hello map"));

    QTemporaryDir dir;
    const QString path = dir.filePath("note");
    QStringList filters;
    answerFile(path, &filters);
    QVERIFY(chooseMenu(frame, "&File", "Save &As..."));
    QCOMPARE(filters, QStringList{"All Files (*.*)"});
    QCOMPARE(bytesOf(path + ".TXT"), QByteArray("hello map"));
    QVERIFY(showActive(frame));  // the closed dialog hands activation back
    QTest::keyClicks(frame->editView(), "!");
    QTest::keyClick(frame->editView(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(QFile(path + ".TXT").size(), qint64(10));

    // A save that fails is said in a box and leaves the document changed (asked about below) and named as before.
    QTest::keyClicks(frame->editView(), "?");
    {
      RecordingReports reports;
      reports.withHandler = false;
      QVERIFY(!frame->editView()->saveTo(dir.filePath("missing/folder/x.TXT")));
      QCOMPARE(reports.boxes.size(), size_t(1));
      QVERIFY(QString::fromStdString(reports.boxes[0]).startsWith("E: Can't open file '"));
    }
    QCOMPARE(frame->editView()->fileName(), path + ".TXT");
    QStringList asked;
    answerBoxes({QMessageBox::Cancel}, &asked);
    frame->close();
    QCOMPARE(asked, QStringList{"The document has been changed.\n\nDo you want to save the changes?"});
    QVERIFY(frame->isVisible() && frame->editView()->toPlainText().endsWith("?"));
    answerBoxes({QMessageBox::No});
    QVERIFY(frame->closeDocument());
    QCOMPARE(frame->client(), frame->console());
    QCOMPARE(frame->windowTitle(), QStringLiteral("Brenlo"));
  }

  // Find selects the next match and Next wraps around; a missing text is said and the cursor
  // stays; Match Case is honoured; Replace replaces once, Replace All everywhere in one step.
  // The edit commands follow their enablers.
  void findReplaceAndTheEditCommands() {
    brenloEditView view;
    QCOMPARE(editCommandEnabled(&view, cm::EditClear), std::optional<bool>(false));
    QCOMPARE(editCommandEnabled(&view, cm::EditFind), std::optional<bool>());
    view.setPlainText("one two one two");
    answerSearch("two");
    QVERIFY(view.runSearchCommand(cm::EditFind));
    QCOMPARE(view.textCursor().selectionStart(), 4);
    QVERIFY(view.runSearchCommand(cm::EditFindNext));
    QCOMPARE(view.textCursor().selectionStart(), 12);
    QVERIFY(view.runSearchCommand(cm::EditFindNext));
    QCOMPARE(view.textCursor().selectionStart(), 4);

    view.setPlainText("abc");
    QStringList said;
    answerSearch("zzz");
    answerBoxes({QMessageBox::Ok}, &said);
    view.runSearchCommand(cm::EditFind);
    QTRY_COMPARE(said, QStringList{"\"zzz\" not found."});
    QVERIFY(!view.textCursor().hasSelection());

    view.setPlainText("Map map");
    QVERIFY(view.findNext("map", true));
    QCOMPARE(view.textCursor().selectionStart(), 4);
    QCOMPARE(view.replaceAll("MAP", "x", false), 2);  // without Match Case both match

    view.setPlainText("cat cat cat");
    answerSearch("cat", "dog");
    view.runSearchCommand(cm::EditReplace);
    QCOMPARE(view.toPlainText(), QStringLiteral("dog cat cat"));
    answerSearch("cat", "cow", "all");
    view.runSearchCommand(cm::EditReplace);
    QCOMPARE(view.toPlainText(), QStringLiteral("dog cow cow"));
    view.undo();  // Replace All is one step
    QCOMPARE(view.toPlainText(), QStringLiteral("dog cat cat"));

    view.selectAll();
    QCOMPARE(editCommandEnabled(&view, cm::EditCut), std::optional<bool>(true));
    QVERIFY(runEditCommand(&view, cm::EditDelete));
    QCOMPARE(view.toPlainText(), QString());
  }

  // No text is one empty page; five lines fill a page of five lines and a bit, six need two.
  void pagesHoldWholeLinesWithoutATrailingBlankPage() {
    for (auto [lines, pages] : {std::pair{0, 1}, {5, 1}, {6, 2}}) {
      QPlainTextEdit edit;
      edit.setPlainText(QStringList(lines, "line").join('\n'));
      APXPrintOut out(&edit, "Title");
      const double dpi = edit.logicalDpiX();
      out.beginPrinting(QSizeF(400, 10), dpi, edit.logicalDpiY());
      const int lineHeight = out.lineHeight();
      QCOMPARE(out.beginPrinting(QSizeF(400, lineHeight * 5 + lineHeight / 2), dpi, edit.logicalDpiY()), pages);
      QVERIFY2(out.hasPage(pages) && !out.hasPage(pages + 1) && !out.hasPage(0), qPrintable(QString::number(lines)));
    }
  }

  void printedConsoleLinesKeepTheirScreenSizeAndSpacing() {
    QPlainTextEdit* console = frame->console();
    console->clear();
    QStringList lines;
    for (int i = 1; i <= 150; ++i) {
      lines << QStringLiteral("report %1 of the console").arg(i, 3, 10, QLatin1Char('0'));
      frame->showReport('I', lines.last().toUtf8().constData());
    }
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("console.pdf"));
    APXPrintOut out(console, "Title");
    QVERIFY(out.print(printer));
    // A line on paper is as high as on the screen: a page holds as many lines as the
    // page height in screen pixels allows.
    const double screenPageHeight = printer.pageRect(QPrinter::DevicePixel).height() *
                                    console->logicalDpiY() / printer.logicalDpiY();
    QCOMPARE(out.lineHeight(), console->fontMetrics().lineSpacing());
    QCOMPARE(out.linesPerPage(), int(screenPageHeight) / out.lineHeight());

    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
    QProcess run;
    run.start("pdftotext", {QStringLiteral("-layout"), dir.filePath("console.pdf"), QStringLiteral("-")});
    QVERIFY(run.waitForFinished(30000));
    const QString text = QString::fromUtf8(run.readAllStandardOutput());
    // pdftotext ends every page with a form feed.
    const int pages = int(text.count(QLatin1Char('\f')));
    PreviewWindow preview(nullptr, console, &printer);
    QCOMPARE(pages, preview.pages().maxPage);
    QVERIFY(pages > 1);

    QStringList printed;
    for (const QString& l : text.split(QRegularExpression(QStringLiteral("[\n\f]")), Qt::SkipEmptyParts))
      if (!l.trimmed().isEmpty()) printed << l.trimmed();
    QCOMPARE(printed, lines);
  }

  void printAndPreviewAreEnabledByTheirPrinterAndRunModally() {
    QVERIFY(app->isEnabled(24337, app->mainWindow()));
    int printingDuring = 0;
    whenModal([&](QWidget* w) {
      printingDuring = app->printing();
      qobject_cast<QDialog*>(w)->reject();
    });
    app->print();
    QCOMPARE(printingDuring, 1);
    // The preview runs modally over the main window, printing as long as it is open.
    whenModalIs<PreviewWindow>([&](PreviewWindow* preview) {
      printingDuring += app->printing();
      QCOMPARE(preview->windowTitle(), QStringLiteral("Print Preview"));
      preview->control(24505)->trigger();
    });
    QVERIFY(chooseMenu(app->mainWindow(), "&File", "Print Pre&view..."));
    QCOMPARE(printingDuring, 2);
    QCOMPARE(app->printing(), 0);
  }

  // A new default printer replaces the printer object; an unchanged one keeps it, as the map window's
  // print test shows by printing with the printer it set up.
  void changingTheDefaultPrinterReplacesThePrinterObject() {
    QString device = "Office,driver,port";
    app->setDefaultPrinterSource([&device] { return device; });
    QPrinter* first = app->printer();
    device = "Lab,driver,port";
    app->profileChanged("windows");
    QVERIFY(app->printer() != first);
    app->setDefaultPrinterSource({});
  }

  void thePreviewButtonsWalkThroughThePagesAndStopAtTheEnds() {
    QPlainTextEdit edit;
    edit.setPlainText(QStringList(300, "line").join('\n'));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    PreviewWindow preview(nullptr, &edit, &printer);
    preview.resize(600, 500);
    QVERIFY(showActive(&preview));
    QVERIFY(preview.pages().maxPage > 2);
    QCOMPARE(preview.pageField(), QStringLiteral("Page 1"));
    // Next, Two Pages, Previous and One Page, each with the field it leaves.
    for (auto [id, field] :
         {std::pair{24501, "Page 2"}, {24503, "Page 2 - 3"}, {24500, "Page 1 - 2"}, {24502, "Page 1"}}) {
      QTest::mouseClick(preview.controlBar()->widgetForAction(preview.control(id)), Qt::LeftButton);
      QCOMPARE(preview.pageField(), QString::fromLatin1(field));
    }
    // The shown page carries ink; a blank page none.
    QVERIFY(preview.pageImage(1, QSize(200, 260)) != preview.pageImage(0, QSize(200, 260)));
    // Two pages are offered for portrait paper only.
    printer.setPageOrientation(QPageLayout::Landscape);
    PreviewWindow landscape(nullptr, &edit, &printer);
    QVERIFY(!landscape.control(24503)->isEnabled());

    // Next stops at the last page, two pages shown at the last move back a page, and two pages
    // of a one-page document show a blank second.
    PreviewPages pages;
    pages.maxPage = 3;
    for (int i = 0; i < 3; ++i) pages.next();  // no page 4
    QCOMPARE(pages.fromPage, 3);
    QVERIFY(!pages.canNext());
    pages.showTwoPages();
    QCOMPARE(pages.text(), QStringLiteral("Page 2 - 3"));
    PreviewPages one;
    one.showTwoPages();
    QCOMPARE(one.text(), QStringLiteral("Page 1"));
  }
};

QTEST_MAIN(SDIDecFrameTest)
#include "SDIDecFrameTest.moc"

// Printing the main window's client: pagination, the print loop, the printer object and the print preview.
#include <QtPrintSupport>

#include "QtTestSupport.h"
#include "shell/PreviewWindow.h"
#include "shell/PrintOut.h"

namespace {

void click(PreviewWindow& preview, int id) {
  QTest::mouseClick(preview.controlBar()->widgetForAction(preview.control(id)), Qt::LeftButton);
}

}  // namespace

class PrintOutTest : public QObject {
  Q_OBJECT
 private slots:
  void cleanup() { dropModalWatches(); }
  // No text is one empty page; five lines fill a page of five lines and a bit, six need two.
  void pagesHoldWholeLinesWithoutATrailingBlankPage() {
    for (auto [lines, pages] : {std::pair{0, 1}, {5, 1}, {6, 2}}) {
      QPlainTextEdit edit;
      edit.setPlainText(lines ? linesOf(lines) : QString());
      APXPrintOut out(&edit, "Title");
      const double dpi = edit.logicalDpiX();
      out.beginPrinting(QSizeF(400, 10), dpi, edit.logicalDpiY());
      const int lineHeight = out.lineHeight();
      QCOMPARE(out.beginPrinting(QSizeF(400, lineHeight * 5 + lineHeight / 2), dpi, edit.logicalDpiY()), pages);
      QCOMPARE(out.linesPerPage(), 5);
      QVERIFY2(out.hasPage(pages) && !out.hasPage(pages + 1) && !out.hasPage(0), qPrintable(QString::number(lines)));
    }
  }

  void printedConsoleLinesKeepTheirScreenSizeAndSpacing() {
    auto app = startedApp();
    SDIDecFrame* frame = app->mainWindow();
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

    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
    QProcess run;
    run.start(pdftotext, {QStringLiteral("-layout"), dir.filePath("console.pdf"), QStringLiteral("-")});
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
    auto app = startedApp();
    QVERIFY(app->existingPrinter());  // made by the first asking of the enablers
    QVERIFY(app->isEnabled(24337, app->mainWindow()));
    int printingDuring = 0;
    whenModal([&](QWidget* w) {
      printingDuring = app->printing();
      qobject_cast<QDialog*>(w)->reject();
    });
    app->print();
    QCOMPARE(printingDuring, 1);
    // The preview runs modally over the main window, printing as long as it is open.
    QString field;
    whenModalIs<PreviewWindow>([&](PreviewWindow* preview) {
      printingDuring = app->printing();
      field = preview->pageField();
      QCOMPARE(preview->windowTitle(), QStringLiteral("Print Preview"));
      preview->control(24505)->trigger();
    });
    printingDuring = 0;
    QVERIFY(chooseMenu(app->mainWindow(), "&File", "Print Pre&view..."));
    QCOMPARE(printingDuring, 1);
    QCOMPARE(field, QStringLiteral("Page 1"));
    QCOMPARE(app->printing(), 0);
  }

  void changingTheDefaultPrinterReplacesThePrinterObject() {
    brenloApp app;
    QString device = "Office,driver,port";
    app.setDefaultPrinterSource([&device] { return device; });
    QPrinter* first = app.printer();
    app.profileChanged("windows");
    QCOMPARE(app.printer(), first);  // unchanged default: kept
    device = "Lab,driver,port";
    app.profileChanged("intl");
    QCOMPARE(app.printer(), first);  // another section: kept
    app.profileChanged("windows");
    QVERIFY(app.printer() != first);
  }

  // The rules of the buttons beyond walking the pages (see controlBarWalksThroughThePages): Next
  // stops at the last page, two pages shown at the last move back a page, and two pages of a
  // one-page document show a blank second.
  void pageRulesOfTheButtons() {
    PreviewPages pages;
    pages.maxPage = 3;
    QVERIFY(!pages.canPrevious() && pages.canNext());
    for (int i = 0; i < 3; ++i) pages.next();  // no page 4
    QCOMPARE(pages.fromPage, 3);
    QVERIFY(!pages.canNext());
    pages.showTwoPages();
    QCOMPARE(pages.text(), QStringLiteral("Page 2 - 3"));
    PreviewPages one;
    one.showTwoPages();
    QCOMPARE(one.text(), QStringLiteral("Page 1"));
  }

  void controlBarWalksThroughThePages() {
    QPlainTextEdit edit;
    edit.setPlainText(linesOf(300));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    PreviewWindow preview(nullptr, &edit, &printer);
    preview.resize(600, 500);
    QVERIFY(showActive(&preview));
    QVERIFY(preview.pages().maxPage > 2);
    QCOMPARE(preview.pageField(), QStringLiteral("Page 1"));
    QVERIFY(!preview.control(24500)->isEnabled());
    QVERIFY(preview.control(24502)->isChecked());
    click(preview, 24501);
    QCOMPARE(preview.pageField(), QStringLiteral("Page 2"));
    click(preview, 24503);
    QCOMPARE(preview.pageField(), QStringLiteral("Page 2 - 3"));
    click(preview, 24500);
    QCOMPARE(preview.pageField(), QStringLiteral("Page 1 - 2"));
    click(preview, 24502);
    QCOMPARE(preview.pageField(), QStringLiteral("Page 1"));
    // The shown page carries ink; a blank page none.
    QImage page = preview.pageImage(1, QSize(200, 260));
    QVERIFY(page != preview.pageImage(0, QSize(200, 260)));
    click(preview, 24505);
    QCOMPARE(preview.result(), 2);
    // Two pages are offered for portrait paper only.
    printer.setPageOrientation(QPageLayout::Landscape);
    PreviewWindow landscape(nullptr, &edit, &printer);
    QVERIFY(!landscape.control(24503)->isEnabled());
  }
};

QTEST_MAIN(PrintOutTest)
#include "PrintOutTest.moc"

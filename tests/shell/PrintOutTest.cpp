// Printing the main window's client: pagination, the print loop and the printer object.
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "QtTestSupport.h"
#include "shell/BrenloApp.h"
#include "shell/PreviewWindow.h"
#include "shell/PrintOut.h"
#include "shell/SDIDecFrame.h"

class PrintOutTest : public QObject {
  Q_OBJECT
 private slots:
  void cleanup() { dropModalWatches(); }
  void pagesHoldWholeLinesWithoutATrailingBlankPage_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("pages");
    QTest::newRow("empty text, one empty page") << 0 << 1;
    QTest::newRow("short") << 3 << 1;
    QTest::newRow("exactly full") << 5 << 1;
    QTest::newRow("one more") << 6 << 2;
    QTest::newRow("three pages") << 11 << 3;
  }
  void pagesHoldWholeLinesWithoutATrailingBlankPage() {
    QFETCH(int, lines);
    QFETCH(int, pages);
    QPlainTextEdit edit;
    edit.setPlainText(lines ? linesOf(lines) : QString());
    APXPrintOut out(&edit, "Title");
    const double dpi = edit.logicalDpiX();
    out.beginPrinting(QSizeF(400, 10), dpi, edit.logicalDpiY());
    const int lineHeight = out.lineHeight();
    // A page that holds five lines and a bit.
    QCOMPARE(out.beginPrinting(QSizeF(400, lineHeight * 5 + lineHeight / 2), dpi, edit.logicalDpiY()), pages);
    QCOMPARE(out.linesPerPage(), 5);
    QVERIFY(out.hasPage(pages));
    QVERIFY(!out.hasPage(pages + 1));
    QVERIFY(!out.hasPage(0));
  }

  void aScreenPixelKeepsItsSizeOnPaper() {
    QPlainTextEdit edit;
    APXPrintOut out(&edit, "Title");
    const double screen = edit.logicalDpiY();
    out.beginPrinting(QSizeF(1200, 1800), screen * 4, screen * 4);
    QCOMPARE(out.screenPage(), QSizeF(300, 450));
  }

  void pagesShowTheirOwnLines() {
    QPlainTextEdit edit;
    edit.setPlainText(linesOf(12));
    APXPrintOut out(&edit, "Title");
    out.beginPrinting(QSizeF(300, 200), edit.logicalDpiX(), edit.logicalDpiY());
    auto inked = [&](int page) {
      QImage image(300, 200, QImage::Format_RGB32);
      image.fill(Qt::white);
      QPainter painter(&image);
      out.printPage(painter, page);
      painter.end();
      int dark = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 128;
      return dark;
    };
    QVERIFY(inked(1) > 0);
    QCOMPARE(inked(out.maxPage() + 1), 0);
  }

  void printedConsoleLinesKeepTheirScreenSizeAndSpacing() {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
    brenloApp app;
    app.start();
    SDIDecFrame* frame = app.mainWindow();
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

    QProcess run;
    run.start(pdftotext, {QStringLiteral("-layout"), dir.filePath("console.pdf"), QStringLiteral("-")});
    QVERIFY(run.waitForFinished(30000));
    const QString text = QString::fromUtf8(run.readAllStandardOutput());
    // pdftotext ends every page with a form feed.
    const int pages = int(text.count(QLatin1Char('\f')));
    PreviewWindow preview(nullptr, console, &printer);
    QCOMPARE(pages, preview.pages().maxPage);
    QCOMPARE(pages, out.maxPage());
    QVERIFY(pages > 1);

    QStringList printed;
    for (const QString& l : text.split(QRegularExpression(QStringLiteral("[\n\f]")), Qt::SkipEmptyParts))
      if (!l.trimmed().isEmpty()) printed << l.trimmed();
    QCOMPARE(printed, lines);
    // Every page but the last is full, and each starts at its own share of the lines.
    const QStringList pageTexts = text.split(QLatin1Char('\f'));
    QVERIFY(pageTexts.first().contains(lines.at(out.linesPerPage() - 1)));
    QVERIFY(!pageTexts.first().contains(lines.at(out.linesPerPage())));
  }

  void printCommandsAreEnabledByTheirPrinterAndPrintCanBeCancelled() {
    brenloApp app;
    app.start();
    QVERIFY(app.existingPrinter());  // made by the first asking of the enablers
    QVERIFY(app.isEnabled(24337, app.mainWindow()));
    QString title;
    int printingDuring = 0;
    whenModal([&](QWidget* w) {
      title = w->windowTitle();
      printingDuring = app.printing();
      qobject_cast<QDialog*>(w)->reject();
    });
    app.print();
    QVERIFY(!title.isEmpty());
    QCOMPARE(printingDuring, 1);
    QCOMPARE(app.printing(), 0);
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
    QPrinter* second = app.printer();
    device.clear();
    app.profileChanged("windows");
    QVERIFY(app.printer() != second);
  }
};

QTEST_MAIN(PrintOutTest)
#include "PrintOutTest.moc"

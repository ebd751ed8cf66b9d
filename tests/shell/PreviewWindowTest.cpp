// The print preview: page numbers, its control bar and its layout.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QToolBar>
#include <QtTest>

#include "QtTestSupport.h"
#include "shell/BrenloApp.h"
#include "shell/PreviewWindow.h"
#include "shell/SDIDecFrame.h"

namespace {

void click(PreviewWindow& preview, int id) {
  QWidget* button = preview.controlBar()->widgetForAction(preview.control(id));
  QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace

class PreviewWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void cleanup() { dropModalWatches(); }
  void pageRulesOfTheButtons() {
    PreviewPages pages;
    pages.maxPage = 3;
    QVERIFY(!pages.canPrevious());
    QVERIFY(pages.canNext());
    pages.next();
    pages.next();
    pages.next();  // no page 4
    QCOMPARE(pages.fromPage, 3);
    QVERIFY(!pages.canNext());
    pages.showTwoPages();  // at the last page the pair moves back
    QCOMPARE(pages.text(), QStringLiteral("Page 2 - 3"));
    pages.previous();
    QCOMPARE(pages.text(), QStringLiteral("Page 1 - 2"));
    pages.showOnePage();
    QCOMPARE(pages.text(), QStringLiteral("Page 1"));
    QCOMPARE(pages.toPage, 1);
    // Two pages of a one-page document show a blank second.
    PreviewPages one;
    one.showTwoPages();
    QVERIFY(one.twoPages);
    QCOMPARE(one.secondPage, 0);
    QCOMPARE(one.text(), QStringLiteral("Page 1"));
  }

  void pagesAreLaidOutByThePaperShape() {
    // Portrait paper in a wide area fills the height.
    QRect first = previewPageRect(QSize(800, 400), QSize(850, 1100), 0);
    QCOMPARE(first.topLeft(), QPoint(15, 15));
    QCOMPARE(first.height(), 370);
    QVERIFY(first.width() < first.height());
    QRect second = previewPageRect(QSize(800, 400), QSize(850, 1100), 1);
    QCOMPARE(second.left(), first.right() + 1 + 30);
    QCOMPARE(second.top(), 15);
    // In a tall area it fills the width.
    QCOMPARE(previewPageRect(QSize(300, 900), QSize(850, 1100), 0).width(), 270);
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
    QStringList ids;
    for (QAction* a : preview.controlBar()->actions())
      if (!a->objectName().isEmpty()) ids << a->objectName();
    QCOMPARE(ids, (QStringList{"24500", "24501", "24502", "24503", "24337", "24505"}));
    QCOMPARE(preview.pageField(), QStringLiteral("Page 1"));
    QVERIFY(!preview.control(24500)->isEnabled());
    QVERIFY(preview.control(24502)->isChecked());
    click(preview, 24501);
    QCOMPARE(preview.pageField(), QStringLiteral("Page 2"));
    QVERIFY(preview.control(24500)->isEnabled());
    click(preview, 24503);
    QCOMPARE(preview.pageField(), QStringLiteral("Page 2 - 3"));
    QVERIFY(preview.control(24503)->isChecked());
    click(preview, 24500);
    QCOMPARE(preview.pageField(), QStringLiteral("Page 1 - 2"));
    click(preview, 24502);
    QCOMPARE(preview.pageField(), QStringLiteral("Page 1"));
    // The shown page carries ink; a blank page none.
    QImage page = preview.pageImage(1, QSize(200, 260));
    QVERIFY(page != preview.pageImage(0, QSize(200, 260)));
    click(preview, 24505);
    QCOMPARE(preview.result(), 2);
  }

  void twoPagesAreOfferedForPortraitPaperOnly() {
    QPlainTextEdit edit;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageOrientation(QPageLayout::Landscape);
    PreviewWindow preview(nullptr, &edit, &printer);
    QVERIFY(!preview.control(24503)->isEnabled());
  }

  void previewCommandRunsModallyOverTheMainWindow() {
    brenloApp app;
    app.start();
    int printingDuring = 0;
    QString field;
    whenModal([&](QWidget* w) {
      auto* preview = qobject_cast<PreviewWindow*>(w);
      QVERIFY(preview);
      printingDuring = app.printing();
      field = preview->pageField();
      QCOMPARE(preview->windowTitle(), QStringLiteral("Print Preview"));
      preview->control(24505)->trigger();
    });
    QVERIFY(chooseMenu(app.mainWindow(), "&File", "Print Pre&view..."));
    QCOMPARE(printingDuring, 1);
    QCOMPARE(field, QStringLiteral("Page 1"));
    QCOMPARE(app.printing(), 0);
  }
};

QTEST_MAIN(PreviewWindowTest)
#include "PreviewWindowTest.moc"

// Reports shown with Qt: boxes with the severity's icon, the fatal question and the console.

#include "QtTestSupport.h"
#include "shell/QtReportPlatform.h"

namespace {

class ExitRecorder : public QtReportPlatform {
 public:
  [[noreturn]] void exitProcess(int code) override { throw code; }
};

}  // namespace

class QtReportPlatformTest : public QObject {
  Q_OBJECT
 private slots:
  void cleanup() { dropModalWatches(); }
  void withoutAHandlerReportsOpenABoxWithTheSeverityIcon() {
    QtReportPlatform platform;
    setReportPlatform(&platform);
    using Icon = QMessageBox::Icon;
    for (auto [severity, icon] : {std::pair{'E', Icon::Warning}, {'I', Icon::Information}, {'Q', Icon::Question}}) {
      QStringList texts;
      QString caption;
      answerBoxes({QMessageBox::Ok}, &texts, [&](QMessageBox* box) {
        QCOMPARE(box->icon(), icon);
        caption = box->windowTitle();
      });
      reportError(nullptr, severity, "Can't open file '%s'", "x.CM");
      QCOMPARE(texts, QStringList{QStringLiteral("%1: Can't open file 'x.CM'").arg(QLatin1Char(severity))});
      QCOMPARE(caption, QCoreApplication::applicationName());
    }
    setReportPlatform(nullptr);
  }

  // A fatal report asks whether to abort the program: No carries on, Yes ends with code 1.
  void fatalAsksAbortProgramNoCarriesOnYesEndsWithCodeOne() {
    ExitRecorder platform;
    setReportPlatform(&platform);
    QStringList texts;
    answerBoxes({QMessageBox::No}, &texts, [](QMessageBox* box) { QCOMPARE(box->icon(), QMessageBox::Critical); });
    reportError(nullptr, 'F', "disk on fire");
    QCOMPARE(texts, QStringList{"F: disk on fire\n\nAbort Program?"});
    answerBoxes({QMessageBox::Yes});
    int code = 0;
    try {
      reportError(nullptr, 'F', "bye");
    } catch (int c) {
      code = c;
    }
    setReportPlatform(nullptr);
    QCOMPARE(code, 1);
  }

  // A line of a map file can carry markup; a box shows it as written, loading and linking nothing.
  void reportTextIsShownAsPlainText() {
    const QString markup = QStringLiteral("<img src='local.png'> <a href='http://x/'>link</a> <b>bold</b>");
    QtReportPlatform platform;
    setReportPlatform(&platform);
    for (int severity : {int('E'), int('F')}) {
      QLabel* label = nullptr;
      whenModalIs<QMessageBox>([&](QMessageBox* box) {
        label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(label);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QVERIFY2(label->text().contains(markup), qPrintable(label->text()));
        box->button(severity == 'F' ? QMessageBox::No : QMessageBox::Ok)->click();
      });
      reportError(nullptr, severity, "%s", markup.toUtf8().constData());
      QVERIFY(label);  // the box was seen
    }
    setReportPlatform(nullptr);
  }
};

QTEST_MAIN(QtReportPlatformTest)
#include "QtReportPlatformTest.moc"

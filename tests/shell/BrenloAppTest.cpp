// The application: its command line (a file, --help, --version and mistakes), start-up, map windows
// through the factory, help, context help and About; report boxes with the severity's icon, the
// fatal question and plain text.
#include <stdexcept>

#include "QtTestSupport.h"
#include "shell/AboutDialog.h"
#include "shell/CommandLine.h"
#include "shell/HelpWindow.h"
#include "shell/MapWindowFactory.h"
#include "shell/QtReportPlatform.h"

namespace {

// A map window of its own caption.
class FakeMapWindow : public QWidget {
 public:
  FakeMapWindow(QWidget* owner, const QString& caption) : QWidget(owner, Qt::Window) { setWindowTitle(caption); }
};

class FakeMaps : public MapWindowFactory {
 public:
  void registerPrototypes() override { ++registered; }
  QWidget* newMap(QWidget* owner) override { return last = new FakeMapWindow(owner, "New Map"); }
  QWidget* openMap(QWidget* owner, const QString& file) override {
    if (throws) throw std::runtime_error("broken");
    if (fails) return nullptr;
    opened << file;
    return last = new FakeMapWindow(owner, file);
  }
  int registered = 0;
  bool fails = false, throws = false;
  QStringList opened;
  FakeMapWindow* last = nullptr;
};

class ExitRecorder : public QtReportPlatform {
 public:
  [[noreturn]] void exitProcess(int code) override { throw code; }
};

QString console(brenloApp& app) { return app.mainWindow()->console()->toPlainText(); }

// A line of a map file can carry markup; a box shows it as written, loading and linking nothing.
const char* const kMarkup = "<img src='local.png'> <a href='http://x/'>link</a> <b>bold</b>";
void showsPlainText(QMessageBox* box) {
  auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  QVERIFY(label);
  QCOMPARE(label->textFormat(), Qt::PlainText);
  QVERIFY2(label->text().contains(kMarkup), qPrintable(label->text()));
}

}  // namespace

class BrenloAppTest : public QObject {
  Q_OBJECT
  FakeMaps* maps = nullptr;

  std::unique_ptr<brenloApp> startApp(const QString& file = {}) {
    auto app = startedApp(file);
    showActive(app->mainWindow());
    return app;
  }

 private slots:
  void init() {
    auto fake = std::make_unique<FakeMaps>();
    maps = fake.get();
    brenloApp::setMapWindowFactory(std::move(fake));
  }
  void cleanup() {
    dropModalWatches();
    brenloApp::setMapWindowFactory(nullptr);
  }

  // Start-up registers the prototypes, shows the main window with the information line first,
  // and opens the file it was given in a map window of its own; New View makes an empty one.
  void startUpRegistersPrototypesReportsAndOpensItsFile() {
    auto app = startApp("first.CM");
    QCOMPARE(maps->registered, 1);
    QVERIFY(console(*app).startsWith("I: QORBrenlo v0.1, "));
    QCOMPARE(maps->opened, QStringList{"first.CM"});
    QCOMPARE(maps->last->parentWidget(), app->mainWindow());
    QVERIFY(chooseMenu(app->mainWindow(), "&File", "New &View"));
    QCOMPARE(maps->last->windowTitle(), QStringLiteral("New Map"));
    QVERIFY(maps->last->isVisible());
  }

  // A start-up file whose window is not made, or whose reading throws, leaves only the main window
  // and one error line; without a factory map windows are said to be unavailable.
  void badStartUpFileLeavesOnlyTheMainWindowAndOneErrorLine() {
    for (bool throws : {false, true}) {
      maps->fails = !throws;
      maps->throws = throws;
      auto app = startApp("bad.CM");
      QCOMPARE(console(*app).count("E: "), 1);
      QVERIFY(console(*app).contains(throws ? "E: Failed to open file 'bad.CM'" : "E: Can't open file 'bad.CM'"));
      QVERIFY(!maps->last);
    }
    brenloApp::setMapWindowFactory(nullptr);
    auto app = startApp("x.CM");
    QTest::keyClick(app->mainWindow(), Qt::Key_N, Qt::ControlModifier);
    QVERIFY(console(*app).contains("I: Map windows are not available yet: 'x.CM' not opened"));
    QVERIFY(console(*app).contains("I: Map windows are not available yet\n"));
  }

  // Contents, Using help and F1 show our pages, F1 on an open menu the highlighted item's topic.
  void helpContentsUsingHelpF1ContextHelpAndAbout() {
    auto app = startApp();
    // The page shown, when the help window is.
    auto shown = [&app] { return app->helpWindow()->isVisible() ? app->helpWindow()->current() : QUrl(); };
    QVERIFY(chooseMenu(app->mainWindow(), "&Help", "&Contents"));
    QVERIFY(app->helpWindow()->browser()->toPlainText().contains("Contents"));
    QVERIFY(chooseMenu(app->mainWindow(), "&Help", "&Using help"));
    QVERIFY(shown().path().endsWith("usinghelp.html"));
    app->helpWindow()->close();
    QVERIFY(showActive(app->mainWindow()));
    QTest::keyClick(app->mainWindow(), Qt::Key_F1);
    QVERIFY(shown().path().endsWith("index.html"));
    // F1 on an open menu explains the highlighted item instead of choosing it.
    QMenu* menu = openPopup(app->mainWindow(), "&File");
    QVERIFY(menu);
    menu->setActiveAction(actionNamed(menu->actions(), "&Open..."));
    QTest::keyClick(menu, Qt::Key_F1);
    QTRY_COMPARE(shown().fragment(), QStringLiteral("24332"));

    // Shift+F1 and a command open the command's topic instead of running it; Escape leaves the mode.
    menu->close();
    QVERIFY(showActive(app->mainWindow()));
    QTest::keyClick(app->mainWindow(), Qt::Key_F1, Qt::ShiftModifier);
    QVERIFY(app->contextHelpMode() && QApplication::overrideCursor());
    QVERIFY(chooseMenu(app->mainWindow(), "&File", "New &View"));
    QVERIFY(!maps->last);
    QVERIFY(!app->contextHelpMode() && !QApplication::overrideCursor());
    QCOMPARE(shown().fragment(), QStringLiteral("101"));
    QVERIFY(showActive(app->mainWindow()));
    QTest::keyClick(app->mainWindow(), Qt::Key_F1, Qt::ShiftModifier);
    QVERIFY(app->contextHelpMode());
    QTest::keyClick(app->mainWindow(), Qt::Key_Escape);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(chooseMenu(app->mainWindow(), "&File", "New &View"));
    QVERIFY(maps->last);  // commands run again

    // About shows the version values.
    QString title, version;
    whenModalIs<AboutDialog>([&](AboutDialog* about) {
      title = about->windowTitle();
      version = about->field(22001);
      about->accept();
    });
    QVERIFY(chooseMenu(app->mainWindow(), "&Help", "&About..."));
    QCOMPARE(title, QStringLiteral("About brenlo"));
    QCOMPARE(version, QStringLiteral("brenlo Version 0.0"));
  }

  void argumentsChooseTheMode() {
    using M = CommandLine::Mode;
    struct Row { std::vector<std::string> args; M mode; std::string file; };
    const Row rows[] = {
        {{}, M::Run, ""},
        {{"map.CM"}, M::Run, "map.CM"},
        {{"--help"}, M::Help, ""},
        {{"--version"}, M::Version, ""},
        {{"--frob"}, M::Error, ""},
        {{"a.CM", "b.CM"}, M::Error, "a.CM"},
        {{"--convert", "a.CM", "b.CM"}, M::Convert, ""},
        {{"--convert", "a.CM"}, M::Error, ""},
        {{"--", "-odd.CM"}, M::Run, "-odd.CM"},
    };
    for (const Row& row : rows) {
      const CommandLine line = parseCommandLine(row.args);
      const std::string args = row.args.empty() ? "(none)" : row.args[0] + " ...";
      QVERIFY2(line.mode == row.mode && line.file == row.file, args.c_str());
      QVERIFY2((line.mode == M::Error) != line.error.empty(), args.c_str());
    }
  }

  // --export names the picture first and the map second; the usage and version texts.
  void exportOperandsAndTheTexts() {
    CommandLine line = parseCommandLine({"--export", "out.svg", "in.CM"});
    QCOMPARE(line.operands, (std::vector<std::string>{"out.svg", "in.CM"}));
    QVERIFY(usageText().find("brenlo --export OUT IN.CM") != std::string::npos);
    QVERIFY(usageText().find("brenlo [FILE]") != std::string::npos);
    QCOMPARE(QString::fromStdString(versionText()), QStringLiteral("brenlo Version 0.0 (map syntax 0.1)\n"));
  }

  // The box shows the text as written, of a name with markup too.
  void withoutAHandlerReportsOpenABoxWithTheSeverityIcon() {
    QtReportPlatform platform;
    setReportPlatform(&platform);
    using Icon = QMessageBox::Icon;
    for (auto [severity, icon] : {std::pair{'E', Icon::Warning}, {'I', Icon::Information}, {'Q', Icon::Question}}) {
      QStringList texts;
      QString caption;
      answerBoxes({QMessageBox::Ok}, &texts, [&](QMessageBox* box) {
        QCOMPARE(box->icon(), icon);
        showsPlainText(box);
        caption = box->windowTitle();
      });
      reportError(nullptr, severity, "Can't open file '%s'", kMarkup);
      QCOMPARE(texts, QStringList{QStringLiteral("%1: Can't open file '%2'").arg(QLatin1Char(severity)).arg(kMarkup)});
      QCOMPARE(caption, QCoreApplication::applicationName());
    }
    setReportPlatform(nullptr);
  }

  // A fatal report asks whether to abort the program: No carries on, Yes ends with code 1.
  void fatalAsksAbortProgramNoCarriesOnYesEndsWithCodeOne() {
    ExitRecorder platform;
    setReportPlatform(&platform);
    QStringList texts;
    answerBoxes({QMessageBox::No}, &texts, [](QMessageBox* box) {
      QCOMPARE(box->icon(), QMessageBox::Critical);
      showsPlainText(box);
    });
    reportError(nullptr, 'F', "%s", kMarkup);
    QCOMPARE(texts, QStringList{QStringLiteral("F: %1\n\nAbort Program?").arg(kMarkup)});
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
};

QTEST_MAIN(BrenloAppTest)
#include "BrenloAppTest.moc"

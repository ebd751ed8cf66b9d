// The application: start-up, map windows through the factory, Open, help, context help, About, Exit.
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>
#include <stdexcept>

#include "QtTestSupport.h"
#include "shell/AboutDialog.h"
#include "shell/BrenloApp.h"
#include "shell/CommandMenus.h"
#include "shell/Commands.h"
#include "shell/HelpWindow.h"
#include "shell/MapWindowFactory.h"
#include "shell/SDIDecFrame.h"

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

QString console(brenloApp& app) { return app.mainWindow()->console()->toPlainText(); }

}  // namespace

class BrenloAppTest : public QObject {
  Q_OBJECT
  FakeMaps* maps = nullptr;

  std::unique_ptr<brenloApp> startApp(const QString& file = {}) {
    auto app = std::make_unique<brenloApp>(file);
    app->start();
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
    dropModalWatches(); brenloApp::setMapWindowFactory(nullptr); }

  // Start-up registers the prototypes, shows the main window with the information line first,
  // and opens the file it was given in a map window of its own; New View makes an empty one.
  void startUpRegistersPrototypesReportsAndOpensItsFile() {
    auto app = startApp("first.CM");
    QCOMPARE(maps->registered, 1);
    QVERIFY(app->mainWindow()->isVisible());
    QVERIFY(console(*app).startsWith("I: QORBrenlo v0.1, "));
    QCOMPARE(maps->opened, QStringList{"first.CM"});
    QVERIFY(maps->last->isVisible());
    QCOMPARE(maps->last->parentWidget(), app->mainWindow());
    QVERIFY(chooseMenu(app->mainWindow(), "&File", "New &View"));
    QCOMPARE(maps->last->windowTitle(), QStringLiteral("New Map"));
    QVERIFY(maps->last->isVisible());
  }

  void badStartUpFileLeavesOnlyTheMainWindowAndOneErrorLine_data() {
    QTest::addColumn<bool>("throws");
    QTest::addColumn<QString>("line");
    QTest::newRow("not built") << false << "E: Can't open file 'bad.CM'";
    QTest::newRow("throws") << true << "E: Failed to open file 'bad.CM'";
  }
  void badStartUpFileLeavesOnlyTheMainWindowAndOneErrorLine() {
    QFETCH(bool, throws);
    QFETCH(QString, line);
    maps->fails = !throws;
    maps->throws = throws;
    auto app = startApp("bad.CM");
    QCOMPARE(console(*app).count("E: "), 1);
    QVERIFY(console(*app).contains(line));
    QVERIFY(!maps->last);
  }

  // Open... opens the map chosen in the file dialog; cancelling the dialog changes nothing.
  void openThroughTheFileDialogOpensTheChosenMap() {
    QTemporaryDir dir;
    const QString path = dir.filePath("m.CM");
    QFile(path).open(QIODevice::WriteOnly);
    auto app = startApp();
    const QString before = console(*app);
    whenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    QTest::keyClick(app->mainWindow(), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(maps->opened.isEmpty());
    QCOMPARE(console(*app), before);
    QStringList filters;
    whenModal([&](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      QVERIFY(dialog);
      filters = dialog->nameFilters();
      typeFileName(dialog, path);
    });
    QVERIFY(chooseMenu(app->mainWindow(), "&File", "&Open..."));
    QCOMPARE(filters, (QStringList{"CMap Files (*.CM)", "GraphML (*.graphml)", "All Files (*)"}));
    QCOMPARE(maps->opened, QStringList{path});
    QVERIFY(maps->last->isVisible());
  }

  void withoutAFactoryMapWindowsAreReportedAsUnavailable() {
    brenloApp::setMapWindowFactory(nullptr);
    auto app = startApp("x.CM");
    QTest::keyClick(app->mainWindow(), Qt::Key_N, Qt::ControlModifier);
    QVERIFY(console(*app).contains("I: Map windows are not available yet: 'x.CM' not opened"));
    QVERIFY(console(*app).contains("I: Map windows are not available yet\n"));
  }

  void helpContentsUsingHelpAndF1ShowOurPages() {
    auto app = startApp();
    QVERIFY(!app->helpUsed());
    QVERIFY(chooseMenu(app->mainWindow(), "&Help", "&Contents"));
    QVERIFY(app->helpUsed());
    QVERIFY(app->helpWindow()->isVisible());
    QVERIFY(app->helpWindow()->current().path().endsWith("index.html"));
    QVERIFY(app->helpWindow()->browser()->toPlainText().contains("Contents"));
    QVERIFY(chooseMenu(app->mainWindow(), "&Help", "&Using help"));
    QVERIFY(app->helpWindow()->current().path().endsWith("usinghelp.html"));
    app->helpWindow()->close();
    QVERIFY(showActive(app->mainWindow()));
    QTest::keyClick(app->mainWindow(), Qt::Key_F1);
    QVERIFY(app->helpWindow()->isVisible());
    QVERIFY(app->helpWindow()->current().path().endsWith("index.html"));
    // F1 on an open menu explains the highlighted item.
    app->helpWindow()->close();
    QVERIFY(showActive(app->mainWindow()));
    QMenu* menu = openPopup(app->mainWindow(), "&File");
    QVERIFY(menu);
    menu->setActiveAction(actionNamed(menu->actions(), "&Open..."));
    QTest::keyClick(menu, Qt::Key_F1);
    QTRY_VERIFY(app->helpWindow()->isVisible());
    QCOMPARE(app->helpWindow()->current().fragment(), QStringLiteral("24332"));
    QVERIFY(maps->opened.isEmpty());
  }

  void contextHelpOpensTheTopicInsteadOfRunningTheCommandUntilEscape() {
    auto app = startApp();
    QTest::keyClick(app->mainWindow(), Qt::Key_F1, Qt::ShiftModifier);
    QVERIFY(app->contextHelpMode());
    QVERIFY(QApplication::overrideCursor());
    bool aboutShown = false;
    QTimer* watch = whenModal([&aboutShown](QWidget* w) {
      aboutShown = true;
      w->close();
    });
    QVERIFY(chooseMenu(app->mainWindow(), "&Help", "&About..."));
    QTest::qWait(50);
    delete watch;
    QVERIFY(!aboutShown);
    QVERIFY(!app->contextHelpMode());
    QCOMPARE(app->helpWindow()->current().fragment(), QStringLiteral("2009"));
    QVERIFY(!QApplication::overrideCursor());
    // Any command chosen in the mode only opens its topic.
    app->setContextHelpMode(true);
    app->mainWindow()->menus()->trigger(cm::NewView);
    QVERIFY(!maps->last);
    // Escape leaves the mode, and commands run again.
    QVERIFY(showActive(app->mainWindow()));
    QTest::keyClick(app->mainWindow(), Qt::Key_F1, Qt::ShiftModifier);
    QVERIFY(app->contextHelpMode());
    QTest::keyClick(app->mainWindow(), Qt::Key_Escape);
    QVERIFY(!app->contextHelpMode());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(chooseMenu(app->mainWindow(), "&File", "New &View"));
    QVERIFY(maps->last);  // commands run again
  }

  void aboutShowsTheVersionValues() {
    auto app = startApp();
    QString title, version;
    whenModal([&](QWidget* w) {
      auto* about = qobject_cast<AboutDialog*>(w);
      QVERIFY(about);
      title = about->windowTitle();
      version = about->field(22001);
      QVERIFY(!about->field(22002).isEmpty());
      about->accept();
    });
    QVERIFY(chooseMenu(app->mainWindow(), "&Help", "&About..."));
    QCOMPARE(title, QStringLiteral("About brenlo"));
    QCOMPARE(version, QStringLiteral("brenlo Version 0.0"));
    VersionInfo none;
    none.productVersion.clear();
    AboutDialog bare(nullptr, none);
    QCOMPARE(bare.field(22001), QStringLiteral("Version"));
    QCOMPARE(bare.field(22003), QString());
  }
};

QTEST_MAIN(BrenloAppTest)
#include "BrenloAppTest.moc"

// What outlives one run of the editor: recovery copies (a killed editor's map is offered and
// restored; saving, undoing or closing takes the copy away) and the recent files. Run with
// "--editor <map> <state folder>" it is the editor that gets killed.
#include <cstdio>

#include "QtTestSupport.h"
#include "shell/Autosave.h"
#include "shell/CMapFrame.h"
#include "shell/Commands.h"
#include "shell/QtMapWindowFactory.h"
#include "shell/RecentFiles.h"

namespace {

const std::string kMapText = mapFileText(3,
    "1,\"Node\",1,\"Rectangle\",50 70 130 100,\"stove\",ffffff,0,,,0,80000000\r\n"
    "1,\"Node\",2,\"Rectangle\",180 70 260 100,\"kettle\",ffffff,0,,,0,80000000\r\n"
    "2,\"SMaplet\",3,\"Directed\",155 85 155 85,2,(1,0),(2,0),,,,,3\r\n");

QStringList copiesIn(const QString& folder) {
  return QDir(folder).entryList({QStringLiteral("*.CM")}, QDir::Files, QDir::Name);
}

// The editor a test kills: it opens the map and moves "stove" right with the arrow key
// until a run of commands has written the recovery copy, tells where the copy has
// "stove", and waits.
int runEditor(int argc, char** argv) {
  qputenv("XDG_STATE_HOME", argv[3]);
  QApplication qt(argc, argv);
  brenloApp::setMapWindowFactory(std::make_unique<QtMapWindowFactory>());
  int result;
  {
    brenloApp app(QString::fromLocal8Bit(argv[2]));
    app.start();
    CMapFrame* frame = app.mainWindow()->findChild<CMapFrame*>();
    if (!frame || !showActive(frame)) return 3;
    CMapClient* view = frame->view();
    QTest::mouseClick(view, Qt::LeftButton, {}, at(view->mapToWindow(POINT{90, 85})));
    // The copy is written within the first run of commands; the keys stop when it is.
    for (int i = 0; i < Autosave::kAutosaveCommands && !frame->autosave()->hasCopy(); ++i)
      QTest::keyClick(view, Qt::Key_Right);
    auto* stove = dynamic_cast<Node*>(view->document()[1]);
    if (frame->autosave()->hasCopy() && stove)
      std::printf("READY %ld\n", long(stove->getRect().left));
    else
      std::printf("NO COPY\n");
    std::fflush(stdout);
    result = QApplication::exec();
  }
  brenloApp::setMapWindowFactory(nullptr);
  return result;
}

}  // namespace

class SessionGuiTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir;
  QString state, recovery, map;

 private slots:
  void initTestCase() {
    state = dir.filePath("state");
    recovery = state + "/brenlo/recovery";
    qputenv("XDG_STATE_HOME", state.toLocal8Bit());
    map = dir.filePath("kitchen.CM");
    QVERIFY(put(map, QByteArray::fromStdString(kMapText)));
    brenloApp::setMapWindowFactory(std::make_unique<QtMapWindowFactory>());
  }
  void cleanupTestCase() { brenloApp::setMapWindowFactory(nullptr); }
  void cleanup() { dropModalWatches(); }

  // The whole story: a running editor's change survives SIGKILL, Restore
  // brings the changed map back under its own name, and saving it there leaves no copy behind.
  void killedEditorsMapIsRestored() {
    QProcess editor;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_STATE_HOME", state);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    editor.setProcessEnvironment(env);
    editor.start(QCoreApplication::applicationFilePath(), {"--editor", map, state});
    QVERIFY(editor.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(editor.canReadLine() || editor.state() == QProcess::NotRunning, 30000);
    const QList<QByteArray> ready = editor.readLine().trimmed().split(' ');
    QCOMPARE(ready.value(0), QByteArray("READY"));
    const int movedTo = ready.value(1).toInt();
    QVERIFY(movedTo > 90);  // moved by most of a run of arrow keys

    editor.kill();  // SIGKILL: nothing of the editor runs any more
    QVERIFY(editor.waitForFinished());

    // Restore opens the map (Later and the other answers are held by the recovery tests).
    // An editor started in-process on the same state folder asks about the copy.
    QStringList asked;
    answerBoxes({"Restore"}, &asked);
    auto app = startedApp();
    dropModalWatches();
    QVERIFY(asked.value(0).contains(QDir(dir.path()).absoluteFilePath("kitchen.CM")));
    CMapFrame* frame = app->mainWindow()->findChild<CMapFrame*>();
    QVERIFY(frame);
    CMapClient* view = frame->view();
    QVERIFY(view->isChanged());

    // Saved (under its own name, as the bytes of the map file show), the map has "stove" where the
    // killed editor had moved it.
    QVERIFY(view->save());
    QVERIFY(copiesIn(recovery).isEmpty());
    const QString stove = QStringLiteral("\"Rectangle\",%1 70 %2 100,\"stove\"").arg(movedTo).arg(movedTo + 80);
    QVERIFY(bytesOf(map).contains(stove.toLatin1()));
  }

  // In one window: the copy comes a while after the first change, goes when the map is undone
  // back to its file (saving takes it away in the story above), comes back with the next change,
  // and goes when the window is closed.
  void copyFollowsTheHistory() {
    Autosave::setDelay(std::chrono::milliseconds(50));
    auto app = startedApp(map);
    CMapFrame* frame = app->mainWindow()->findChild<CMapFrame*>();
    QVERIFY(frame && showActive(frame));
    CMapClient* view = frame->view();
    view->selectAll();
    view->nudgeSelection(5, 0);
    QTRY_VERIFY(frame->autosave()->hasCopy());
    view->runCommand(cm::EditUndo);
    QVERIFY(!frame->autosave()->hasCopy());
    view->nudgeSelection(5, 0);
    QTRY_VERIFY(frame->autosave()->hasCopy());
    QCOMPARE(copiesIn(recovery).size(), 1);
    frame->closeAgreed();
    QTRY_VERIFY(copiesIn(recovery).isEmpty());
    Autosave::setDelay(std::chrono::milliseconds(0));
  }

  // Maps opened and saved are listed newest first under File > Open Recent, still after a
  // restart, and choosing one opens it.
  void recentFilesSurviveARestart() {
    clearRecentFiles();
    const QString other = dir.filePath("other.CM");
    const QString otherPath = QFileInfo(other).absoluteFilePath(), mapPath = QFileInfo(map).absoluteFilePath();
    {
      auto app = startedApp(map);
      CMapFrame* frame = app->mainWindow()->findChild<CMapFrame*>();
      QVERIFY(frame && frame->view()->saveTo(other.toStdString()));
    }
    auto app = startedApp();
    QVERIFY(showActive(app->mainWindow()));
    QMenu* file = openPopup(app->mainWindow(), "&File");
    QVERIFY(file && clickItem(file, "Open &Recent"));
    QAction* recent = actionNamed(file->actions(), "Open &Recent");
    QTRY_VERIFY(recent->menu()->isVisible());
    QCOMPARE(menuTexts(recent->menu()).mid(0, 2), (QStringList{"&1 " + otherPath, "&2 " + mapPath}));
    QVERIFY(clickItem(recent->menu(), "&2 " + mapPath));
    CMapFrame* frame = app->mainWindow()->findChild<CMapFrame*>();
    QTRY_VERIFY(frame);
    QCOMPARE(QFileInfo(QString::fromStdString(frame->view()->fileName())), QFileInfo(map));
  }
};

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--editor") return runEditor(argc, argv);
  QApplication qt(argc, argv);
  SessionGuiTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "SessionGuiTest.moc"

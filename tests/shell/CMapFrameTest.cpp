// Map windows as documents: captions, Save and Save As through the real dialog, Open, and closing a changed map.

#include "QtTestSupport.h"
#include "shell/CMapFrame.h"
#include "shell/Commands.h"
#include "shell/QtMapWindowFactory.h"

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
  // nothing written); Save As... and Ctrl+S write the map, and Open... (cancelled first: nothing
  // opened) offers map and GraphML files and reads the map back.
  void captionsSaveAsSaveAndOpenRoundTripTheMap() {
    auto* frame = new CMapFrame(app->mainWindow());
    QCOMPARE(frame->windowTitle(), QStringLiteral("New Map"));
    showActive(frame);
    QCOMPARE(frame->windowTitle(), QStringLiteral("New View"));
    CMapClient* view = frame->view();
    rejectNext();
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
    drag(view, {50, 50}, {90, 120});
    QVERIFY(showActive(frame));  // the closed dialog hands activation back
    QTest::keyClick(frame, Qt::Key_S, Qt::ControlModifier);
    QTRY_VERIFY(!view->isChanged());

    QPointer<CMapFrame> first = frame;
    QVERIFY(frame->close());
    QTRY_VERIFY(!first);
    QVERIFY(showActive(app->mainWindow()));
    rejectNext();
    QTest::keyClick(app->mainWindow(), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(mapWindows().isEmpty());
    QStringList filters;
    answerFile(file, &filters);
    QVERIFY(chooseMenu(app->mainWindow(), "&File", "&Open..."));
    QCOMPARE(filters, (QStringList{"CMap Files (*.CM)", "GraphML (*.graphml)", "All Files (*)"}));
    QTRY_COMPARE(mapWindows().size(), 1);
    QCOMPARE(mapWindows().first()->view()->document().memberCount(), std::size_t(2));
  }

  void aFailedSaveKeepsTheMapChangedAndTheWindowOpen() {
    const QString sub = path("gone");
    QDir().mkpath(sub);
    const std::string file = (sub + "/map.CM").toStdString();
    QPointer<CMapFrame> frame = newFrame();
    addNode(frame->view(), {40, 40, 100, 80}, "idea");
    QVERIFY(frame->view()->saveTo(file));
    drag(frame->view(), {50, 50}, {150, 100});
    QDir(sub).removeRecursively();
    // The failure is told on the map window.
    QStringList told;
    QWidget* shownOn = nullptr;
    answerBoxes({QMessageBox::Save, QMessageBox::Ok}, &told, [&](QMessageBox* box) { shownOn = box->parentWidget(); });
    QVERIFY(!frame->close());
    QCOMPARE(told.value(1), QStringLiteral("Can't open file '%1'").arg(QString::fromStdString(file)));
    QCOMPARE(shownOn, frame->view());
    QVERIFY(frame && frame->isVisible() && frame->view()->isChanged());
  }

  void aFileAnotherProgramChangedIsNotOverwrittenUnasked() {
    CMapClient* view = savedFrame("shared.CM")->view();
    const QString file = path("shared.CM");
    const QByteArray theirs = "written by another editor";
    // Cancel keeps the other program's file and the map's change mark.
    QVERIFY(put(file, theirs));
    drag(view, {50, 50}, {90, 120});
    QStringList asked;
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

  void aFileReadIncompletelyIsNotOverwrittenUnasked() {
    const QString file = path("foreign.CM");
    const QByteArray text = QByteArray::fromStdString(mapFileText(5, "not a map line\r\n"));
    QVERIFY(put(file, text));
    QVERIFY(app->openMapFile(file));
    QTRY_COMPARE(mapWindows().size(), 1);
    QStringList asked;
    answerBoxes({QMessageBox::Cancel}, &asked);
    QVERIFY(!mapWindows().first()->view()->save());
    QCOMPARE(asked.value(0), QStringLiteral("'%1' could not be read completely: saving replaces it with what was read. "
                                   "Overwrite it?").arg(file));
    QCOMPARE(bytesOf(file), text);
  }

  void openingAMapThatIsOpenBringsItsWindowForward() {
    CMapFrame* frame = savedFrame("once.CM");
    QVERIFY(QFile::link(path("once.CM"), path("link.CM")));
    auto* other = new QWidget(nullptr);
    showActive(other);
    QVERIFY(app->openMapFile(path("link.CM")));
    QCOMPARE(mapWindows().size(), 1);
    QTRY_COMPARE(QApplication::activeWindow(), frame);
    delete other;
  }

  // A click on the element behind brings it to the front: a different file, so a changed map,
  // though no step of the history.
  void bringingAnElementToTheFrontMarksTheMapChanged() {
    CMapClient* view = newFrame()->view();
    addNode(view, {40, 40, 140, 100}, "back");
    addNode(view, {100, 70, 200, 130}, "front");
    QVERIFY(view->saveTo(path("front.CM").toStdString()));
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(50, 50));
    QTRY_VERIFY(view->window()->windowTitle().endsWith('*'));
  }

  // Alt+F4 in a changed map window asks first: Cancel keeps it open and changed, Discard closes
  // only that window. Exit asks every changed window: Cancel anywhere closes nothing, else all close.
  void closingAndExitAskEveryChangedWindowAndCancelAnywhereClosesNothing() {
    SDIDecFrame* main = app->mainWindow();
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
    QVERIFY(plain && first && second && plain->isVisible() && second->isVisible() && main->isVisible());
    QVERIFY(first->view()->isChanged());
    asked.clear();
    answerBoxes({QMessageBox::Discard, QMessageBox::Discard}, &asked);
    app->runCommand(cm::Exit);
    QCOMPARE(asked.size(), 2);
    QVERIFY(!main->isVisible());
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
      QTest::qWaitForWindowExposed(shown);
      QTest::qWaitFor([&] { return area.contains(shown->frameGeometry()); });
      return shown;
    };
    CMapFrame* wide = opened("wide.CM", "400 300 540 380");
    QVERIFY(area.contains(wide->frameGeometry()));
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

  void aFileThatCannotBeReadOpensNoWindowAndIsToldInTheConsole() {
    QVERIFY(!app->openMapFile(path("missing.CM")));
    QVERIFY(mapWindows().isEmpty());
    QVERIFY(app->mainWindow()->console()->toPlainText().contains(
        QStringLiteral("Can't open file '%1'").arg(path("missing.CM"))));
  }
};

QTEST_MAIN(CMapFrameTest)
#include "CMapFrameTest.moc"

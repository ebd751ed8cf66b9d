// The map view driven with real mouse events: popups, new nodes, drags, rubber bands, undo, delete, painting.
#include <QColorDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QInputDialog>
#include <QPainter>
#include <QPlainTextEdit>
#include <QtTest>

#include "MapWindowFixture.h"
#include "drawing/Connector.h"
#include "drawing/Shape.h"
#include "shell/CommandMenus.h"
#include "shell/Commands.h"
#include "tests/TestSupport.h"

class CMapClientTest : public QObject, MapWindowFixture {
  Q_OBJECT

  // Undo and Redo are enabled as `undo` and `redo` say.
  void expectUndoRedo(bool undo, bool redo) {
    QCOMPARE(frame->menus()->action(cm::EditUndo)->isEnabled(), undo);
    QCOMPARE(frame->menus()->action(cm::EditRedo)->isEnabled(), redo);
  }

 private slots:
  void initTestCase() { setUpSuite(); }
  void init() { QVERIFY(open()); }
  void cleanup() { close(); }
  void cleanupTestCase() { tearDownSuite(); }

  // A dismissed popup changes nothing; New Node adds a node where the popup opened. Undo and
  // Redo are enabled exactly when the history allows, and their standard keys reach them.
  void newNodeFromTheMapPopupAndUndoAndRedoEnabledExactlyWhenTheHistoryAllows() {
    frame->menus()->updateEnablers();
    expectUndoRedo(false, false);
    rightClick(QPoint(50, 50), [](QMenu* m) { m->close(); });
    QCOMPARE(members(), 0);
    QCOMPARE(steps(), 0u);
    answerLabel("idea");
    const QStringList items = rightClick(QPoint(120, 80), [](QMenu* m) { clickItem(m, "New Node"); });
    QCOMPARE(items, (QStringList{"Delete", "-", "New Node", "New Arc", "New Context"}));
    QTRY_COMPARE(members(), 1);
    QVERIFY(!all<Node>().empty());
    QCOMPARE(all<Node>()[0]->origin(), (POINT{120, 80}));
    QCOMPARE(QString::fromLatin1(all<Node>()[0]->getLabel()), QStringLiteral("idea"));
    QCOMPARE(steps(), 1u);
    expectUndoRedo(true, false);

    QVERIFY(chooseMenu(frame, "&Edit", "&Undo"));
    QTRY_COMPARE(members(), 0);
    expectUndoRedo(false, true);
    QVERIFY(chooseMenu(frame, "&Edit", "&Redo"));
    QTRY_COMPARE(members(), 1);
    expectUndoRedo(true, false);
    QVERIFY(showActive(frame));
    QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
    QTRY_COMPARE(members(), 0);
    QTest::keyClick(frame, Qt::Key_Y, Qt::ControlModifier);
    QTRY_COMPARE(members(), 1);
  }

  // Edit Label... of the popup, or F2 on the selected node, asks in the Edit Label dialog.
  void editLabelAsksInTheEditLabelDialog() {
    Node* node = add({40, 40, 140, 90}, "idea");
    QString title, prompt;
    whenModal([&](QWidget* w) {
      auto* dialog = qobject_cast<QInputDialog*>(w);
      QVERIFY(dialog);
      title = dialog->windowTitle();
      prompt = dialog->labelText();
      auto* edit = dialog->findChild<QPlainTextEdit*>();
      QVERIFY(edit);
      // The old label comes selected: typing replaces it.
      QCOMPARE(edit->textCursor().selectedText(), QStringLiteral("idea"));
      // Shift+Enter and Ctrl+Enter break the line; a plain Enter presses OK.
      QTest::keyClicks(edit, "two");
      QTest::keyClick(edit, Qt::Key_Return, Qt::ShiftModifier);
      QTest::keyClicks(edit, "more");
      QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
      QTest::keyClicks(edit, "lines");
      QVERIFY(dialog->isVisible());
      QTest::keyClick(edit, Qt::Key_Return);
    });
    choose(QPoint(60, 60), "Edit Label...");
    QTRY_COMPARE(steps(), 1u);
    QCOMPARE(title, QStringLiteral("Edit Label"));
    QCOMPARE(prompt, QStringLiteral("New Text:"));
    QCOMPARE(QString::fromStdString(node->getLabel()), QStringLiteral("two\nmore\nlines"));

    // The keypad's Enter presses OK as well.
    title.clear();
    whenModal([&](QWidget* w) {
      title = w->windowTitle();
      auto* edit = w->findChild<QPlainTextEdit*>();
      QVERIFY(edit);
      QTest::keyClicks(edit, "one");
      QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    });
    QVERIFY(showActive(frame));
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Escape);
    QTest::keyClick(view, Qt::Key_Tab);
    QTest::keyClick(view, Qt::Key_F2);
    QTRY_COMPARE(steps(), 2u);
    QCOMPARE(title, QStringLiteral("Edit Label"));
    QCOMPARE(QString::fromStdString(node->getLabel()), QStringLiteral("one"));
  }

  // The view paints the nodes on white; a fill colour from the colour dialog is one undoable step.
  void paintingAndAFillColourFromTheColourDialog() {
    Node* node = add({40, 40, 140, 90});
    const QImage shot = view->grab().toImage();
    QCOMPARE(shot.pixelColor(10, 10), QColor(Qt::white));
    QCOMPARE(shot.pixelColor(40, 60), QColor(Qt::black));  // the outline
    QColor offered;
    whenModal([&](QWidget* w) {
      auto* dialog = qobject_cast<QColorDialog*>(w);
      QVERIFY(dialog);
      offered = dialog->currentColor();
      dialog->setCurrentColor(QColor(0, 0, 255));
      dialog->accept();
    });
    choose(QPoint(60, 60), "Fill Color...");
    QTRY_COMPARE(steps(), 1u);
    QCOMPARE(offered, QColor(255, 255, 255));
    QCOMPARE(node->getShape()->fillColor(), 0x00FF0000u);  // blue, as the map keeps colours
    QCOMPARE(view->grab().toImage().pixelColor(90, 50), QColor(Qt::blue));
    view->runCommand(cm::EditUndo);
    QCOMPARE(node->getShape()->fillColor(), 0x00FFFFFFu);
  }

  void draggingTheEndOfASelectedArcOntoANodeHooksIt() {
    Node* target = add({250, 150, 310, 190}, "target");
    auto* arc = addTo(view->document(), std::make_unique<SMaplet>("Directed", POINT{100, 100}));
    arc->setHighlighted(true);
    const POINT end = arc->getConnector()->terminalPoint(1);
    // The press on the end starts a modal line drag; the rest arrives while it runs.
    QTimer::singleShot(20, [this] {
      QVERIFY(interaction->tracking());
      QTest::mouseMove(view, QPoint(200, 150));
      QTest::mouseMove(view, QPoint(280, 170));
      QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(280, 170));
    });
    QTest::mousePress(view, Qt::LeftButton, {}, at(end));
    QTRY_COMPARE(steps(), 1u);
    QCOMPARE((*arc)[1], static_cast<RelationableGraphic*>(target));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(280, 170));
    view->runCommand(cm::EditUndo);
    QCOMPARE((*arc)[1], nullptr);
  }

  void aRubberBandSelectsAndTheDeleteKeyDeletesTheSelectionAsOneStep() {
    for (RECT r : {RECT{40, 40, 80, 60}, RECT{100, 40, 140, 60}, RECT{300, 200, 340, 220}}) add(r);
    // The press starts a modal drag; the rest of the gesture arrives while it runs.
    QTimer::singleShot(20, [this] {
      QVERIFY(interaction->tracking());
      QTest::mouseMove(view, QPoint(100, 60));
      QTest::mouseMove(view, QPoint(160, 90));
      QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(160, 90));
    });
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(20, 20));
    QVERIFY(!interaction->tracking());
    QCOMPARE(int(view->document().selection().size()), 2);
    frame->menus()->updateEnablers();
    QVERIFY(frame->menus()->action(cm::EditDelete)->isEnabled());
    QTest::keyClick(frame, Qt::Key_Delete);
    QTRY_COMPARE(members(), 1);
    QCOMPARE(steps(), 1u);
    view->runCommand(cm::EditUndo);
    QCOMPARE(members(), 3);
  }

  // Resize from a node's popup tracks until a press and release; Resize of the Object menu does nothing.
  void resizeFromThePopupTracksUntilAPressAndRelease() {
    Node* node = add({40, 40, 100, 80});
    QVERIFY(chooseMenu(frame, "&Object", "Resize"));
    QTest::qWait(20);
    QCOMPARE(steps(), 0u);
    rightClick(QPoint(50, 50), [this](QMenu* m) {
      // The drag starts with the button up: only a press and a release end it.
      QTimer::singleShot(20, [this] {
        QMouseEvent move(QEvent::MouseMove, QPointF(150, 120), view->mapToGlobal(QPointF(150, 120)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        QVERIFY(interaction->tracking());
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(180, 140));
        QVERIFY(interaction->tracking());
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(180, 140));
      });
      clickItem(m, "Resize");
    });
    QTRY_COMPARE(steps(), 1u);
    QCOMPARE(node->getRect(), (RECT{40, 40, 180, 140}));
  }

  void repaintingOneElementOfAHugeMapIsQuick() {
    for (int i = 0; i < 100000; ++i) {
      RECT r{(i % 400) * 20, (i / 400) * 20, (i % 400) * 20 + 15, (i / 400) * 20 + 15};
      add(r);
    }
    QImage image(200, 200, QImage::Format_ARGB32);
    QPainter painter(&image);
    qint64 best = -1;
    for (int run = 0; run < 5; ++run) {
      QElapsedTimer clock;
      clock.start();
      view->paintArea(painter, RECT{100, 100, 116, 116});
      const qint64 ns = clock.nsecsElapsed();
      best = best < 0 ? ns : std::min(best, ns);
    }
    QVERIFY2(best < 5'000'000, qPrintable(QString("%1 ns").arg(best)));
  }

  // The view's map cannot be cloned, and id 0 locates the map itself.
  void theMapOfAViewIsNoCopyAndIdZero() {
    RecordingReports reports;
    QVERIFY(view->document().clone() == nullptr);
    QVERIFY(reports.saw("You must override Graphic::clone() in class CMapClient"));
    QCOMPARE(view->document()[0], static_cast<Graphic*>(&view->document()));
  }
};

QTEST_MAIN(CMapClientTest)
#include "CMapClientTest.moc"

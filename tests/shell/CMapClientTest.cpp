// The map view driven with real mouse events: popups, new nodes, drags, rubber bands, undo, delete, painting.
#include <QColorDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QtTest>
#include <memory>

#include "MapWindowFixture.h"
#include "QtTestSupport.h"
#include "commands/GraphicsFactory.h"
#include "drawing/Connector.h"
#include "drawing/Shape.h"
#include "model/Maplet.h"
#include "model/Node.h"
#include "shell/CMapClient.h"
#include "shell/CMapFrame.h"
#include "shell/CommandMenus.h"
#include "shell/Commands.h"
#include "shell/QtInteraction.h"
#include "tests/TestSupport.h"

namespace {

Node* addNode(CMapClient* view, RECT r, const char* label = "idea") {
  return addTo(view->document(), std::make_unique<Node>("Rectangle", label, &r));
}

Node* firstNode(CMapClient* view) {
  for (Graphic* g : view->document())
    if (auto* n = dynamic_cast<Node*>(g)) return n;
  return nullptr;
}

// Opens the popup at `at` with a real right click and hands it to `answer`.
QStringList rightClick(CMapClient* view, QPoint at, std::function<void(QMenu*)> answer) {
  QStringList items;
  whenPopup([&items, answer](QMenu* menu) {
    items = menuTexts(menu);
    answer(menu);
  });
  QTest::mouseClick(view, Qt::RightButton, {}, at);
  return items;
}

}  // namespace

class CMapClientTest : public QObject, MapWindowFixture {
  Q_OBJECT

 private slots:
  void initTestCase() { setUpSuite(); }
  void init() {
    QVERIFY(open());
  }
  void cleanup() { close(); }
  void cleanupTestCase() { tearDownSuite(); }

  // A dismissed popup changes nothing; New Node adds a node where the popup opened.
  void rightClickOnEmptySpaceOffersTheMapPopupAndNewNodeAddsANodeThere() {
    rightClick(view, QPoint(50, 50), [](QMenu* m) { m->close(); });
    QCOMPARE(int(view->document().memberCount()), 0);
    QCOMPARE(view->document().history().undoCount(), 0u);
    answerLabel("idea");
    const QStringList items = rightClick(view, QPoint(120, 80), [](QMenu* m) { clickItem(m, "New Node"); });
    QCOMPARE(items, (QStringList{"Delete", "-", "New Node", "New Arc", "New Context"}));
    QTRY_COMPARE(int(view->document().memberCount()), 1);
    QVERIFY(firstNode(view));
    QCOMPARE(firstNode(view)->origin(), (POINT{120, 80}));
    QCOMPARE(QString::fromLatin1(firstNode(view)->getLabel()), QStringLiteral("idea"));
    QCOMPARE(view->document().history().undoCount(), 1u);
  }

  void undoAndRedoAreEnabledExactlyWhenTheHistoryAllows() {
    CommandMenus* menus = frame->menus();
    menus->updateEnablers();
    QVERIFY(!menus->action(cm::EditUndo)->isEnabled());
    QVERIFY(!menus->action(cm::EditRedo)->isEnabled());

    answerLabel("idea");
    rightClick(view, QPoint(60, 60), [](QMenu* m) { clickItem(m, "New Node"); });
    QTRY_COMPARE(int(view->document().memberCount()), 1);
    QVERIFY(menus->action(cm::EditUndo)->isEnabled());
    QVERIFY(!menus->action(cm::EditRedo)->isEnabled());

    QVERIFY(chooseMenu(frame, "&Edit", "&Undo"));
    QTRY_COMPARE(int(view->document().memberCount()), 0);
    QVERIFY(!menus->action(cm::EditUndo)->isEnabled());
    QVERIFY(menus->action(cm::EditRedo)->isEnabled());

    QVERIFY(chooseMenu(frame, "&Edit", "&Redo"));
    QTRY_COMPARE(int(view->document().memberCount()), 1);
    QVERIFY(menus->action(cm::EditUndo)->isEnabled());
    QVERIFY(!menus->action(cm::EditRedo)->isEnabled());

    // The standard shortcuts reach the same commands.
    QVERIFY(showActive(frame));
    QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
    QTRY_COMPARE(int(view->document().memberCount()), 0);
    QTest::keyClick(frame, Qt::Key_Y, Qt::ControlModifier);
    QTRY_COMPARE(int(view->document().memberCount()), 1);
  }

  void editLabelAsksInTheEditLabelDialog() {
    Node* node = addNode(view, {40, 40, 140, 90});
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
    rightClick(view, QPoint(60, 60), [](QMenu* m) { clickItem(m, "Edit Label..."); });
    QTRY_COMPARE(view->document().history().undoCount(), 1u);
    QCOMPARE(title, QStringLiteral("Edit Label"));
    QCOMPARE(prompt, QStringLiteral("New Text:"));
    QCOMPARE(QString::fromStdString(node->getLabel() ? node->getLabel() : ""), QStringLiteral("two\nmore\nlines"));

    // The keypad's Enter presses OK as well.
    whenModal([&](QWidget* w) {
      auto* edit = w->findChild<QPlainTextEdit*>();
      QVERIFY(edit);
      QTest::keyClicks(edit, "one");
      QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    });
    rightClick(view, QPoint(60, 60), [](QMenu* m) { clickItem(m, "Edit Label..."); });
    QTRY_COMPARE(view->document().history().undoCount(), 2u);
    QCOMPARE(QString::fromStdString(node->getLabel() ? node->getLabel() : ""), QStringLiteral("one"));
  }

  void fillColourComesFromTheColourDialogAndIsOneUndoableStep() {
    Node* node = addNode(view, {40, 40, 140, 90});
    QColor offered;
    whenModal([&](QWidget* w) {
      auto* dialog = qobject_cast<QColorDialog*>(w);
      QVERIFY(dialog);
      offered = dialog->currentColor();
      dialog->setCurrentColor(QColor(0, 0, 255));
      dialog->accept();
    });
    rightClick(view, QPoint(60, 60), [](QMenu* m) { clickItem(m, "Fill Color..."); });
    QTRY_COMPARE(view->document().history().undoCount(), 1u);
    QCOMPARE(offered, QColor(255, 255, 255));
    QCOMPARE(node->getShape()->fillColor(), 0x00FF0000u);  // blue, as the map keeps colours
    view->runCommand(cm::EditUndo);
    QCOMPARE(node->getShape()->fillColor(), 0x00FFFFFFu);
  }

  void draggingTheEndOfASelectedArcOntoANodeHooksIt() {
    Node* target = addNode(view, {250, 150, 310, 190}, "target");
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
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(end.x, end.y));
    QTRY_COMPARE(view->document().history().undoCount(), 1u);
    QCOMPARE((*arc)[1], static_cast<RelationableGraphic*>(target));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(280, 170));
    view->runCommand(cm::EditUndo);
    QCOMPARE((*arc)[1], nullptr);
  }

  void aRubberBandSelectsAndTheDeleteKeyDeletesTheSelectionAsOneStep() {
    for (RECT r : {RECT{40, 40, 80, 60}, RECT{100, 40, 140, 60}, RECT{300, 200, 340, 220}}) addNode(view, r);
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
    QTRY_COMPARE(int(view->document().memberCount()), 1);
    QCOMPARE(view->document().history().undoCount(), 1u);
    view->runCommand(cm::EditUndo);
    QCOMPARE(int(view->document().memberCount()), 3);
  }

  void resizeFromThePopupTracksUntilAPressAndRelease() {
    Node* node = addNode(view, {40, 40, 100, 80});
    rightClick(view, QPoint(50, 50), [this](QMenu* m) {
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
    QTRY_COMPARE(view->document().history().undoCount(), 1u);
    QCOMPARE(node->getRect(), (RECT{40, 40, 180, 140}));
  }

  void resizeInTheObjectMenuDoesNothing() {
    addNode(view, {40, 40, 100, 80});
    QVERIFY(chooseMenu(frame, "&Object", "Resize"));
    QTest::qWait(20);
    QCOMPARE(view->document().history().undoCount(), 0u);
  }

  void paintingShowsTheNodesOnWhite() {
    addNode(view, {40, 40, 100, 80});
    const QImage shot = view->grab().toImage();
    QCOMPARE(shot.pixelColor(10, 10), QColor(Qt::white));
    QCOMPARE(shot.pixelColor(40, 60), QColor(Qt::black));  // the outline
  }

  void repaintingOneElementOfAHugeMapIsQuick() {
    for (int i = 0; i < 100000; ++i) {
      RECT r{(i % 400) * 20, (i / 400) * 20, (i % 400) * 20 + 15, (i / 400) * 20 + 15};
      addTo(view->document(), std::make_unique<Node>("Rectangle", nullptr, &r));
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

  void aViewCannotBeCloned() {
    RecordingReports reports;
    QVERIFY(view->document().clone() == nullptr);
    QVERIFY(reports.saw("You must override Graphic::clone() in class CMapClient"));
  }

  void idZeroLocatesTheMapItself() {
    QCOMPARE(view->document()[0], static_cast<Graphic*>(&view->document()));
  }
};

QTEST_MAIN(CMapClientTest)
#include "CMapClientTest.moc"

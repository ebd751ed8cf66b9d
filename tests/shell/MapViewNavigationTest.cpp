// The map window zoomed, scrolled and driven from the keyboard, with real key and mouse events:
// gestures at any zoom, popups where the pointer is, fitting, finding and arranging.
#include <QClipboard>
#include <QInputDialog>
#include <QLabel>
#include <QMimeData>
#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QScrollBar>
#include <QStatusBar>
#include <QWheelEvent>
#include <QtTest>

#include "MapWindowFixture.h"
#include "shell/CommandMenus.h"
#include "shell/Commands.h"

namespace {

QPoint windowPoint(CMapClient* view, POINT map) { return at(view->mapToWindow(map)); }

// Turns the wheel by `notches` over `at`, as the window system delivers it.
void turnWheel(QWidget* w, QPoint at, int notches, Qt::KeyboardModifiers mods = {}) {
  QWheelEvent e(QPointF(at), QPointF(w->mapToGlobal(at)), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, mods,
                Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &e);
}

bool inside(const RECT& outer, const RECT& r) {
  return outer.left <= r.left && r.right <= outer.right && outer.top <= r.top && r.bottom <= outer.bottom;
}

// Within a map unit of each other, as a zoom about a point leaves it.
bool near(POINT a, POINT b) { return std::abs(a.x - b.x) <= 1 && std::abs(a.y - b.y) <= 1; }

// Types `text` into the input dialog that opens next and accepts it.
void answerInput(const QString& text) {
  whenModal([text](QWidget* w) {
    auto* dialog = qobject_cast<QInputDialog*>(w);
    QVERIFY(dialog);
    dialog->setTextValue(text);
    dialog->accept();
  });
}

}  // namespace

class MapViewNavigationTest : public QObject, MapWindowFixture {
  Q_OBJECT

 private slots:
  void initTestCase() { setUpSuite(); }
  void init() { QVERIFY(open(QSize(640, 480))); }
  void cleanup() { close(); }
  void cleanupTestCase() { tearDownSuite(); }

  void atTwiceTheSizeADragMovesHalfThePointersWayAndTheHandlesStillResize() {
    Node* node = add({40, 40, 100, 80}, "idea");
    view->setZoom(2.0, QPointF(0, 0));
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(view, QPoint(130, 120));
    QTest::mouseMove(view, QPoint(160, 140));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(160, 140));
    QCOMPARE(node->getRect(), (RECT{70, 60, 130, 100}));
    QCOMPARE(steps(), 1u);

    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(200, 160));
    QVERIFY(node->isHighlighted());
    // Seven pixels in from the corner is past the six-pixel handle (three map units here):
    // the press drags the node instead of resizing it.
    QTimer::singleShot(200, [this] {
      if (interaction->tracking()) QTest::keyClick(view, Qt::Key_Escape);
    });
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(253, 193));
    QTest::mouseMove(view, QPoint(273, 213));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(273, 213));
    QCOMPARE(node->getRect(), (RECT{80, 70, 140, 110}));
    QCOMPARE(steps(), 2u);

    QTimer::singleShot(20, [this] {
      QVERIFY(interaction->tracking());
      QTest::mouseMove(view, QPoint(300, 240));
      QTest::mouseMove(view, QPoint(320, 260));
      QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(320, 260));
    });
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(278, 218));
    QTRY_COMPARE(steps(), 3u);
    QCOMPARE(node->getRect(), (RECT{80, 70, 160, 130}));
    view->runCommand(cm::EditUndo);
    QCOMPARE(node->getRect(), (RECT{80, 70, 140, 110}));
  }

  void atHalfSizeARubberBandAndARightClickMeetTheElementsUnderThePointer() {
    Node* a = add({100, 100, 140, 120});
    Node* b = add({400, 100, 440, 120});
    view->setZoom(0.5, QPointF(0, 0));
    QTimer::singleShot(20, [this] {
      QTest::mouseMove(view, QPoint(60, 60));
      QTest::mouseMove(view, QPoint(90, 90));
      QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(90, 90));
    });
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(40, 40));  // map (80, 80) to (180, 180)
    QVERIFY(a->isHighlighted());
    QVERIFY(!b->isHighlighted());

    // Scrolled as well, a right click opens the popup of the element under the pointer, there.
    Node* node = add({300, 200, 400, 260}, "here");
    view->scrollTo(QPointF(200, 100));
    const QPoint at = windowPoint(view, {350, 230});
    QCOMPARE(at, QPoint(75, 65));
    QPoint shownAt;
    const QStringList items = rightClick(at, [&](QMenu* menu) {
      shownAt = menu->pos();
      clickItem(menu, "Delete");
    });
    QTRY_VERIFY(!view->document().contains(node));
    QVERIFY(items.contains("Edit Label..."));
    QVERIFY((shownAt - view->mapToGlobal(at)).manhattanLength() <= 2);
    QCOMPARE(members(), 2);
  }

  void fitMapShowsEveryElementOfAMapLargerThanTheWindowAndTheZoomIsInTheStatusBar() {
    std::vector<Node*> nodes = {add({-500, -300, -440, -260}, "west"), add({2500, 1800, 2600, 1850}, "east"),
                                add({900, 40, 960, 80}, "north")};
    auto* zoomLabel = frame->findChild<QLabel*>(QStringLiteral("zoomLabel"));
    QVERIFY(zoomLabel);
    QCOMPARE(zoomLabel->text(), QStringLiteral("100%"));
    QVERIFY(chooseMenu(frame, "&View", "&Fit Map"));
    QTRY_VERIFY(view->zoom() < 0.25);
    for (Node* n : nodes) QVERIFY(inside(view->visibleMapArea(), n->getRect()));
    QCOMPARE(zoomLabel->text(), QStringLiteral("%1%").arg(qRound(view->zoom() * 100)));
    QTest::keyClick(frame, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(view->zoom(), 1.0);
    QCOMPARE(zoomLabel->text(), QStringLiteral("100%"));
  }

  void zoomStaysWithinItsLimitsAndTheWheelAndAPinchZoomAboutThePointer() {
    add({0, 0, 2000, 1500});
    QTest::keyClick(frame, Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(view->zoom(), 1.25);
    QTest::keyClick(frame, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(frame, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(view->zoom(), 0.75);
    for (int i = 0; i < 40; ++i) view->zoomIn();
    QCOMPARE(view->zoom(), CMapClient::kMaxZoom);
    for (int i = 0; i < 40; ++i) view->zoomOut();
    QCOMPARE(view->zoom(), CMapClient::kMinZoom);

    view->actualSize();
    view->scrollTo(QPointF(0, 0));
    const QPoint pointer(150, 100);
    const POINT under = view->windowToMap({150, 100});
    turnWheel(view, pointer, 2, Qt::ControlModifier);
    QVERIFY(view->zoom() > 1.5);
    QVERIFY(near(view->windowToMap({150, 100}), under));
    const double before = view->zoom();
    QNativeGestureEvent pinch(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2, QPointF(pointer),
                              QPointF(pointer), QPointF(view->mapToGlobal(pointer)), 0.5, QPointF());
    QApplication::sendEvent(view, &pinch);
    QCOMPARE(view->zoom(), before * 1.5);
    QVERIFY(near(view->windowToMap({150, 100}), under));
  }

  void theWheelAndTheMiddleButtonScroll() {
    add({0, 0, 3000, 3000});
    view->fitMap();
    view->actualSize();
    view->scrollTo(QPointF(0, 0));
    turnWheel(view, QPoint(100, 100), -2);
    QCOMPARE(view->scrollPosition(), QPointF(0, 120));
    turnWheel(view, QPoint(100, 100), -1, Qt::ShiftModifier);
    QCOMPARE(view->scrollPosition(), QPointF(60, 120));
    QTest::mousePress(view, Qt::MiddleButton, {}, QPoint(200, 200));
    QTest::mouseMove(view, QPoint(150, 170));
    QTest::mouseRelease(view, Qt::MiddleButton, {}, QPoint(150, 170));
    QCOMPARE(view->scrollPosition(), QPointF(110, 150));
    // With Space held the left button drags the view, not the element under it.
    QTest::keyPress(view, Qt::Key_Space);
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(view, QPoint(90, 80));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(90, 80));
    QTest::keyRelease(view, Qt::Key_Space);
    QCOMPARE(view->scrollPosition(), QPointF(120, 170));
    const QList<QScrollBar*> bars = view->findChildren<QScrollBar*>();
    QCOMPARE(bars.size(), 2);
    for (QScrollBar* bar : bars) QVERIFY(bar->isVisible());
    QCOMPARE(steps(), 0u);
  }

  // Tab walks the elements round and keeps the selected one in sight; arrows move the
  // selection, one undoable step a key.
  void tabWalksTheElementsInSightAndArrowsMoveTheSelectionOneUndoableStepAKey() {
    Node* a = add({10, 10, 50, 30}, "a");
    Node* b = add({100, 10, 140, 30}, "b");
    Node* c = add({5000, 4000, 5040, 4020}, "c");
    QTest::keyClick(view, Qt::Key_Tab);
    QVERIFY(a->isHighlighted());
    QTest::keyClick(view, Qt::Key_Tab);
    QVERIFY(b->isHighlighted() && !a->isHighlighted());
    QTest::keyClick(view, Qt::Key_Tab);
    QTest::keyClick(view, Qt::Key_Tab);  // wraps round to the first
    QVERIFY(a->isHighlighted() && !c->isHighlighted());
    QTest::keyClick(view, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(c->isHighlighted() && !a->isHighlighted());
    QVERIFY(inside(view->visibleMapArea(), c->getRect()));

    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(c->getRect(), (RECT{5001, 4010, 5041, 4030}));
    QCOMPARE(steps(), 2u);
    view->runCommand(cm::EditUndo);
    QCOMPARE(c->getRect(), (RECT{5001, 4000, 5041, 4020}));
    view->runCommand(cm::EditUndo);
    QCOMPARE(c->getRect(), (RECT{5000, 4000, 5040, 4020}));

    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(int(view->document().selection().size()), 3);
    QTest::keyClick(view, Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(a->getRect().left, 0);
    QCOMPARE(b->getRect().left, 90);
    QCOMPARE(steps(), 1u);
    QTest::keyClick(view, Qt::Key_Escape);
    QVERIFY(view->document().selection().empty());
  }

  void escapeCancelsADragInProgress() {
    Node* node = add({40, 40, 100, 80});
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(view, QPoint(120, 90));
    QCOMPARE(node->getRect().left, 110);
    QTest::keyClick(view, Qt::Key_Escape);
    QCOMPARE(node->getRect(), (RECT{40, 40, 100, 80}));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(120, 90));
    QCOMPARE(node->getRect(), (RECT{40, 40, 100, 80}));
    QCOMPARE(steps(), 0u);

    // Escape ends a rubber band in the middle: nothing is selected by it.
    QTimer::singleShot(20, [this] {
      QTest::mouseMove(view, QPoint(200, 200));
      QTest::keyClick(view, Qt::Key_Escape);
    });
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(20, 20));
    QVERIFY(!interaction->tracking());
    QVERIFY(!node->isHighlighted());
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(200, 200));
  }

  void findSelectsAndScrollsToLabelsIgnoringCaseAndAccentsAndWraps() {
    Node* first = add({10, 10, 90, 40}, "Crème brûlée");
    add({100, 10, 190, 40}, "other");
    Node* far = add({6000, 5000, 6100, 5030}, "CREME fraiche");
    answerInput(QStringLiteral("crème"));
    QTest::keyClick(frame, Qt::Key_F, Qt::ControlModifier);
    QTRY_VERIFY(first->isHighlighted());
    QVERIFY(showActive(frame));  // the offscreen platform does not give the activation back itself
    QTest::keyClick(frame, Qt::Key_F3);
    QVERIFY(far->isHighlighted() && !first->isHighlighted());
    QVERIFY(inside(view->visibleMapArea(), far->getRect()));
    QTest::keyClick(frame, Qt::Key_F3);  // round again to the first
    QVERIFY(first->isHighlighted());
    QTest::keyClick(frame, Qt::Key_F3, Qt::ShiftModifier);
    QVERIFY(far->isHighlighted());

    QVERIFY(!view->find(QStringLiteral("nowhere")));
    QVERIFY(far->isHighlighted());  // a miss keeps the selection
    QVERIFY(frame->statusBar()->currentMessage().contains("nowhere"));
  }

  void copiedElementsPasteIntoAnotherWindowAndPlainTextPastesAsNodes() {
    Node* alpha = add({40, 40, 100, 80}, "alpha");
    link(alpha, add({200, 40, 260, 80}, "beta"));
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QTRY_VERIFY(frame->menus()->action(cm::EditCopy)->isEnabled());  // the enablers follow when idle
    QTest::keyClick(frame, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QVERIFY(data && data->hasFormat(QString::fromLatin1(CMapClient::kMapMimeType)));
    QCOMPARE(data->text(), QStringLiteral("alpha\nbeta\n"));

    std::unique_ptr<CMapFrame> other = another();
    QVERIFY(showActive(other.get()));
    QTRY_VERIFY(other->menus()->action(cm::EditPaste)->isEnabled());
    RootMap& there = other->view()->document();
    QTest::keyClick(other.get(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(int(there.memberCount()), 3);
    QCOMPARE(there.history().undoCount(), 1u);
    QCOMPARE((*there.begin())->getRect(), (RECT{60, 60, 120, 100}));  // beside where it was copied from
    QCOMPARE(int(there.selection().size()), 3);  // what was pasted is selected
    // The pasted maplet joins the pasted nodes, as the copied one joined theirs.
    const std::vector<Graphic*> pasted(there.begin(), there.end());
    auto* pastedLink = dynamic_cast<SMaplet*>(pasted[2]);
    QVERIFY(pastedLink && dynamic_cast<Node*>(pasted[0]) && dynamic_cast<Node*>(pasted[1]));
    QCOMPARE((*pastedLink)[0], static_cast<RelationableGraphic*>(dynamic_cast<Node*>(pasted[0])));
    QCOMPARE((*pastedLink)[1], static_cast<RelationableGraphic*>(dynamic_cast<Node*>(pasted[1])));

    QApplication::clipboard()->setText(QStringLiteral("one\ntwo\n"));
    QTest::keyClick(other.get(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(int(there.memberCount()), 5);
    QCOMPARE(there.history().undoCount(), 2u);
    other.reset();

    QVERIFY(showActive(frame));
    QTRY_VERIFY(frame->menus()->action(cm::EditCut)->isEnabled());
    QTest::keyClick(frame, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(members(), 0);
    view->runCommand(cm::EditUndo);
    QCOMPARE(members(), 3);
  }

  void alignLeftOfThreeNodesFromTheObjectMenuIsOneUndoStep() {
    Node* a = add({30, 10, 70, 30});
    Node* b = add({100, 60, 150, 90});
    Node* c = add({60, 120, 80, 140});
    QVERIFY(!chooseMenu(frame, "&Object", "Align &Left"));  // greyed with nothing selected
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(chooseMenu(frame, "&Object", "Align &Left"));
    QTRY_COMPARE(steps(), 1u);
    for (Node* n : {a, b, c}) QCOMPARE(n->getRect().left, 30);
    QVERIFY(chooseMenu(frame, "&Edit", "&Undo"));
    QTRY_COMPARE(b->getRect().left, 100);
    QCOMPARE(c->getRect().left, 60);
  }
};

QTEST_MAIN(MapViewNavigationTest)
#include "MapViewNavigationTest.moc"

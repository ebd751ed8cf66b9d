// The map view driven with real mouse and key events: popups, new nodes, drags, rubber bands, undo,
// delete and painting; zoomed and scrolled, gestures at any zoom, popups where the pointer is,
// fitting, finding, copying and arranging; concept mapping with quick links and linking phrases, and a
// reopened map that looks as saved.

#include "QtTestSupport.h"
#include "commands/GraphicsFactory.h"
#include "model/Maplet.h"
#include "shell/CMapFrame.h"
#include "shell/CommandMenus.h"
#include "shell/Commands.h"
#include "shell/MapExport.h"
#include "shell/QtInteraction.h"

namespace {

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

QImage exported(CMapClient* view, const QString& file) {
  std::string error;
  if (!exportMap(view->document(), file.toStdString(), error)) return {};
  return QImage(file).convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class MapViewTest : public QObject {
  Q_OBJECT
  std::unique_ptr<QtInteraction> interaction;
  QPointer<CMapFrame> frame;
  CMapClient* view = nullptr;

  Node* add(RECT r, const char* label = nullptr) { return addNode(view, r, label); }
  /// The elements of class T of the map, back to front.
  template <class T>
  std::vector<T*> all() const {
    std::vector<T*> out;
    for (Graphic* g : view->document())
      if (auto* t = dynamic_cast<T*>(g)) out.push_back(t);
    return out;
  }
  std::size_t steps() const { return view->document().history().undoCount(); }
  int members() const { return int(view->document().memberCount()); }

  /// A left-button drag through `path` whose press starts a modal tracking: the moves and the
  /// release arrive while it runs.
  void trackedDrag(const std::vector<QPoint>& path) {
    QTimer::singleShot(20, [this, path] {
      QVERIFY(interaction->tracking());
      for (std::size_t i = 1; i < path.size(); ++i) QTest::mouseMove(view, path[i]);
      QTest::mouseRelease(view, Qt::LeftButton, {}, path.back());
    });
    QTest::mousePress(view, Qt::LeftButton, {}, path.front());
  }
  /// Opens the popup at `at` with a real right click and hands it to `answer`; gives its items.
  QStringList rightClick(QPoint at, std::function<void(QMenu*)> answer) {
    QStringList items;
    whenShown([]() -> QWidget* { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); },
              [&items, answer](QWidget* menu) {
                items = menuTexts(menu);
                answer(static_cast<QMenu*>(menu));
              });
    QTest::mouseClick(view, Qt::RightButton, {}, at);
    return items;
  }
  /// Opens the popup at `at` with a real right click and chooses `item`.
  void choose(QPoint at, const QString& item) {
    rightClick(at, [item](QMenu* menu) { QVERIFY(clickItem(menu, item)); });
  }
  QTemporaryDir dir;

  // A node labelled `label` made from the map's popup at `where`.
  Node* newNode(QPoint where, const QString& label) {
    answerLabel(label);
    choose(where, "New Node");
    if (!QTest::qWaitFor([&] { return steps() > 0 && !all<Node>().empty(); })) return nullptr;
    // The prompt has closed: keys go to the map window again.
    if (!showActive(frame)) return nullptr;
    return all<Node>().back();
  }

 private slots:
  // The standard prototypes and the interaction backend for the suite; a new, empty map window,
  // shown and active, its view focused, for each test.
  void initTestCase() {
    registerStandardPrototypes();
    registerComponentPrototypes();
    interaction = std::make_unique<QtInteraction>();
  }
  void init() {
    frame = new CMapFrame(nullptr);
    view = frame->view();
    frame->resize(640, 480);
    QVERIFY(showActive(frame));
    view->setFocus();
  }
  void cleanup() {
    dropModalWatches();
    if (frame) frame->setAttribute(Qt::WA_DeleteOnClose, false);
    delete frame.data();
  }
  void cleanupTestCase() { interaction.reset(); }

  // Escape cancels a drag in progress. At twice the size a drag moves half the pointer's way and the
  // corner handle resizes; at half size a rubber band and a right click meet the elements under the pointer.
  void gesturesAtAnyZoomMeetTheElementsUnderThePointer() {
    Node* node = add({40, 40, 100, 80}, "idea");
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(view, QPoint(120, 90));
    QTest::keyClick(view, Qt::Key_Escape);
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(120, 90));
    QCOMPARE(node->getRect(), (RECT{40, 40, 100, 80}));
    view->setZoom(2.0, QPointF(0, 0));
    drag(view, QPoint(100, 100), QPoint(160, 140));
    QCOMPARE(node->getRect(), (RECT{70, 60, 130, 100}));

    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(200, 160));
    trackedDrag({QPoint(258, 198), QPoint(280, 220), QPoint(300, 240)});
    QTRY_COMPARE(steps(), 2u);  // the cancelled drag left none
    QCOMPARE(node->getRect(), (RECT{70, 60, 150, 120}));

    // At half size a rubber band selects the elements it covers there, and the Delete key deletes
    // the selection.
    view->document().remove(*node);  // out of the rubber band's way
    Node* a = add({100, 100, 140, 120});
    Node* b = add({400, 100, 440, 120});
    Node* c = add({120, 130, 160, 170});
    view->setZoom(0.5, QPointF(0, 0));
    trackedDrag({QPoint(40, 40), QPoint(60, 60), QPoint(90, 90)});  // map (80, 80) to (180, 180)
    QVERIFY(a->isHighlighted() && c->isHighlighted() && !b->isHighlighted());
    frame->menus()->updateEnablers();
    QTest::keyClick(frame, Qt::Key_Delete);
    QTRY_COMPARE(members(), 1);
    // Scrolled as well, a right click opens the popup of the element under the pointer, there.
    node = add({300, 200, 400, 260}, "here");
    view->scrollTo(QPointF(200, 100));
    const QPoint at = ::at(view->mapToWindow({350, 230}));
    QPoint shownAt;
    rightClick(at, [&](QMenu* menu) {
      shownAt = menu->pos();
      clickItem(menu, "Delete");
    });
    QTRY_VERIFY(!view->document().contains(node));
    QVERIFY((shownAt - view->mapToGlobal(at)).manhattanLength() <= 2);
  }

  // Fit Map shows every element of a map larger than the window, and the zoom is in the status bar.
  void fittingZoomingAndScrollingTheView() {
    std::vector<Node*> nodes = {add({-500, -300, -440, -260}, "west"), add({2500, 1800, 2600, 1850}, "east"),
                                add({900, 40, 960, 80}, "north")};
    auto* zoomLabel = frame->findChild<QLabel*>(QStringLiteral("zoomLabel"));
    QVERIFY(zoomLabel);
    QVERIFY(chooseMenu(frame, "&View", "&Fit Map"));
    QTRY_VERIFY(view->zoom() < 0.25);
    for (Node* n : nodes) QVERIFY(inside(view->visibleMapArea(), n->getRect()));
    QCOMPARE(zoomLabel->text(), QStringLiteral("%1%").arg(qRound(view->zoom() * 100)));
    QTest::keyClick(frame, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(view->zoom(), 1.0);

    // The zoom stays within its limits; the wheel and a pinch zoom about the pointer.
    add({0, 0, 3000, 3000});
    for (int i = 0; i < 40; ++i) QTest::keyClick(frame, Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(view->zoom(), CMapClient::kMaxZoom);
    for (int i = 0; i < 40; ++i) QTest::keyClick(frame, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(view->zoom(), CMapClient::kMinZoom);

    // Without Ctrl the wheel scrolls, and so do the middle button and the left one with Space.
    view->actualSize();
    view->scrollTo(QPointF(0, 0));
    turnWheel(view, QPoint(100, 100), -2);
    QCOMPARE(view->scrollPosition(), QPointF(0, 120));
    drag(view, QPoint(200, 200), QPoint(150, 170), Qt::MiddleButton);
    QCOMPARE(view->scrollPosition(), QPointF(50, 150));
    // With Space held the left button drags the view, not the element under it.
    QTest::keyPress(view, Qt::Key_Space);
    drag(view, QPoint(100, 100), QPoint(90, 80));
    QTest::keyRelease(view, Qt::Key_Space);
    QCOMPARE(view->scrollPosition(), QPointF(60, 170));
    QCOMPARE(steps(), 0u);

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

  // Tab walks the elements round and keeps the selected one in sight; arrows move the
  // selection, one undoable step a key.
  void tabWalksTheElementsInSightAndArrowsMoveTheSelectionOneUndoableStepAKey() {
    Node* a = add({10, 10, 50, 30}, "a");
    Node* b = add({100, 10, 140, 30}, "b");
    Node* c = add({5000, 4000, 5040, 4020}, "c");
    // The one selected after each key: Tab walks on and wraps round, Shift+Tab walks back.
    const std::pair<int, Node*> walk[] = {{Qt::Key_Tab, a}, {Qt::Key_Tab, b}, {Qt::Key_Tab, c}, {Qt::Key_Tab, a},
                                          {Qt::Key_Backtab, c}};
    for (auto [key, selected] : walk) {
      QTest::keyClick(view, Qt::Key(key), key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
      QVERIFY2(view->document().selection() == std::vector<Graphic*>{selected}, selected->getLabel());
    }
    QVERIFY(inside(view->visibleMapArea(), c->getRect()));

    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(c->getRect(), (RECT{5001, 4010, 5041, 4030}));
    QCOMPARE(steps(), 2u);
    QTest::keyClick(view, Qt::Key_Escape);
    QVERIFY(view->document().selection().empty());
  }

  void findSelectsAndScrollsToLabelsIgnoringCaseAndAccentsAndWraps() {
    Node* first = add({10, 10, 90, 40}, "Crème brûlée");
    add({100, 10, 190, 40}, "other");
    Node* far = add({6000, 5000, 6100, 5030}, "CREME fraiche");
    whenModalIs<QInputDialog>([](QInputDialog* dialog) {
      dialog->setTextValue(QStringLiteral("crème"));
      dialog->accept();
    });
    QTest::keyClick(frame, Qt::Key_F, Qt::ControlModifier);
    QTRY_VERIFY(first->isHighlighted());
    QVERIFY(showActive(frame));  // the offscreen platform does not give the activation back itself
    QTest::keyClick(frame, Qt::Key_F3, Qt::ShiftModifier);  // back round to the last
    QVERIFY(far->isHighlighted() && !first->isHighlighted());
    QVERIFY(inside(view->visibleMapArea(), far->getRect()));
    QTest::keyClick(frame, Qt::Key_F3);  // and on round to the first
    QVERIFY(first->isHighlighted());

    QVERIFY(!view->find(QStringLiteral("nowhere")));
    QVERIFY(frame->statusBar()->currentMessage().contains("nowhere"));
  }

  // Align Left of the Object menu arranges the selection; copied elements paste into another
  // window, and plain text pastes as nodes.
  void copiedElementsPasteIntoAnotherWindowAndPlainTextPastesAsNodes() {
    add({40, 40, 100, 80}, "alpha");
    Node* beta = add({200, 90, 260, 130}, "beta");
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(chooseMenu(frame, "&Object", "Align &Left"));
    QTRY_COMPARE(beta->getRect().left, 40);
    QTRY_VERIFY(frame->menus()->action(cm::EditCopy)->isEnabled());  // the enablers follow when idle
    QTest::keyClick(frame, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QVERIFY(data && data->hasFormat(QString::fromLatin1(CMapClient::kMapMimeType)) && data->hasText());

    auto other = std::make_unique<CMapFrame>(nullptr);
    QVERIFY(showActive(other.get()));
    QTRY_VERIFY(other->menus()->action(cm::EditPaste)->isEnabled());
    RootMap& there = other->view()->document();
    QTest::keyClick(other.get(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(int(there.memberCount()), 2);

    QApplication::clipboard()->setText(QStringLiteral("one\ntwo\n"));
    QTest::keyClick(other.get(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(int(there.memberCount()), 4);
  }

  // A dismissed popup changes nothing; New Node adds a node where the popup opened. Undo and
  // Redo of the Edit menu are greyed unless the history allows.
  void newNodeFromTheMapPopupAndUndoAndRedoEnabledExactlyWhenTheHistoryAllows() {
    rightClick(QPoint(50, 50), [](QMenu* m) { m->close(); });
    QCOMPARE(steps(), 0u);
    answerLabel("idea");
    const QStringList items = rightClick(QPoint(120, 80), [](QMenu* m) { clickItem(m, "New Node"); });
    QCOMPARE(items, (QStringList{"Delete", "-", "New Node", "New Arc", "New Context"}));
    QTRY_COMPARE(all<Node>().size(), size_t(1));

    QVERIFY(chooseMenu(frame, "&Edit", "&Undo"));
    QTRY_COMPARE(members(), 0);
    QVERIFY(!chooseMenu(frame, "&Edit", "&Undo"));
    QVERIFY(chooseMenu(frame, "&Edit", "&Redo"));
    QTRY_COMPARE(members(), 1);
  }

  // Edit Label... of the popup, or F2 on the selected node, asks in the Edit Label dialog.
  void editLabelAsksInTheEditLabelDialog() {
    Node* node = add({40, 40, 140, 90}, "idea");
    whenModalIs<QInputDialog>([&](QInputDialog* dialog) {
      auto* edit = dialog->findChild<QPlainTextEdit*>();
      QVERIFY(edit);
      // The old label comes selected: typing replaces it.
      QCOMPARE(edit->textCursor().selectedText(), QStringLiteral("idea"));
      // Shift+Enter breaks the line; a plain Enter presses OK.
      QTest::keyClicks(edit, "two");
      QTest::keyClick(edit, Qt::Key_Return, Qt::ShiftModifier);
      QTest::keyClicks(edit, "lines");
      QTest::keyClick(edit, Qt::Key_Return);
    });
    choose(QPoint(60, 60), "Edit Label...");
    QTRY_COMPARE(QString::fromStdString(node->getLabel()), QStringLiteral("two\nlines"));

    answerLabel("one");
    QVERIFY(showActive(frame));
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Tab);
    QTest::keyClick(view, Qt::Key_F2);
    QTRY_COMPARE(QString::fromStdString(node->getLabel()), QStringLiteral("one"));
  }

  // Resize from a node's popup tracks until a press and release.
  void resizeFromThePopupTracksUntilAPressAndRelease() {
    Node* node = add({40, 40, 100, 80});
    // The drag starts with the button up: only a press and a release end it.
    whenShown([this]() -> QWidget* { return interaction->tracking() ? view : nullptr; }, [this](QWidget*) {
      QMouseEvent move(QEvent::MouseMove, QPointF(150, 120), view->mapToGlobal(QPointF(150, 120)), Qt::NoButton,
                       Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(view, &move);
      QTest::mousePress(view, Qt::LeftButton, {}, QPoint(180, 140));
      QVERIFY(interaction->tracking());
      QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(180, 140));
    });
    choose(QPoint(50, 50), "Resize");
    QTRY_COMPARE(steps(), 1u);
    QCOMPARE(node->getRect(), (RECT{40, 40, 180, 140}));
  }

  // Five actions: a click on the concept, Ctrl+Enter, its label typed, a double click
  // on the new link, its phrase typed.
  void aNewConceptWithALabelledLinkTakesFiveActions() {
    Node* water = newNode({60, 60}, "water");
    QVERIFY(water);
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(70, 70));                  // 1
    answerLabel("vapour");                                                        // 3
    QTest::keyClick(frame, Qt::Key_Return, Qt::ControlModifier);                  // 2
    QTRY_COMPARE(QString::fromLatin1(all<Node>().back()->getLabel()), QStringLiteral("vapour"));
    QCOMPARE(all<SMaplet>().size(), size_t(1));
    SMaplet* link = all<SMaplet>().front();

    frame->repaint();
    answerLabel("evaporates into");                                               // 5
    QTest::mouseDClick(view, Qt::LeftButton, {}, at(link->centre()));             // 4
    QTRY_COMPARE(QString::fromLatin1(link->label()), QStringLiteral("evaporates into"));
  }

  // A map made by gestures, saved, closed and reopened exports the same picture, pixel
  // for pixel; moving a context leaves nothing behind on the screen. The view paints on white, a
  // node in the fill colour chosen in the colour dialog.
  void aReopenedMapLooksExactlyAsSaved() {
    Node* water = newNode({60, 60}, "water");
    QVERIFY(water);
    whenModalIs<QColorDialog>([](QColorDialog* dialog) {
      dialog->setCurrentColor(QColor(0, 0, 255));
      dialog->accept();
    });
    const QPoint inWater(water->getRect().left + 4, water->getRect().top + 4);
    choose(inWater, "Fill Color...");
    QTRY_COMPARE(view->grab().toImage().pixelColor(inWater), QColor(Qt::blue));
    QVERIFY(newNode({400, 220}, "cloud"));
    choose({80, 330}, "New Context");
    QTRY_COMPARE(members(), 3);
    drag(view, {410, 230}, {450, 300});
    drag(view, {82, 332}, {140, 380});  // the context by its frame
    QTest::qWait(50);

    // What the screen shows after those partial repaints is what a full repaint shows.
    const QImage live = frame->screen()->grabWindow(frame->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage fresh = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint offset = view->mapTo(frame, QPoint(0, 0));
    QCOMPARE(live.copy(QRect(offset, fresh.size())), fresh);
    QCOMPARE(fresh.pixelColor(10, 10), QColor(Qt::white));

    view->document().setAllHighlighted(false);  // the selection is not part of the map
    const QString file = dir.filePath("water.CM");
    QVERIFY(view->saveTo(file.toStdString()));
    const QImage shown = exported(view, dir.filePath("shown.png"));
    auto again = std::make_unique<CMapFrame>(nullptr, file);
    const QImage reopened = exported(again->view(), dir.filePath("reopened.png"));
    QVERIFY(!shown.isNull());
    QCOMPARE(reopened, shown);
  }
};

QTEST_MAIN(MapViewTest)
#include "MapViewTest.moc"

// One map window at a time for a GUI suite: the prototypes, the Qt interaction, the frame and its view.
#pragma once

#include <memory>

#include "QtTestSupport.h"
#include "commands/GraphicsFactory.h"
#include "model/Maplet.h"
#include "model/Node.h"
#include "shell/CMapClient.h"
#include "shell/CMapFrame.h"
#include "shell/QtInteraction.h"

/// A node put straight into the map of `view`, as reading a file does.
inline Node* addNode(CMapClient* view, RECT r, const char* label) {
  return addTo(view->document(), std::make_unique<Node>("Rectangle", label, &r));
}

/// A drag with `button` from `from` to `to` through the middle.
inline void drag(QWidget* view, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
  QTest::mousePress(view, button, {}, from);
  QTest::mouseMove(view, (from + to) / 2);
  QTest::mouseMove(view, to);
  QTest::mouseRelease(view, button, {}, to);
}

struct MapWindowFixture {
  std::unique_ptr<QtInteraction> interaction;
  QPointer<CMapFrame> frame;
  CMapClient* view = nullptr;

  /// Once per suite: the standard prototypes and the interaction backend.
  void setUpSuite() {
    registerStandardPrototypes();
    registerComponentPrototypes();
    interaction = std::make_unique<QtInteraction>();
  }
  void tearDownSuite() { interaction.reset(); }
  /// A new, empty map window, shown and active (of `size` when given), its view focused.
  bool open(QSize size = {}) {
    frame = new CMapFrame(nullptr);
    view = frame->view();
    if (size.isValid()) frame->resize(size);
    if (!showActive(frame)) return false;
    view->setFocus();
    return true;
  }
  /// Drops unanswered dialog watches and the window.
  void close() {
    dropModalWatches();
    if (frame) {
      frame->setAttribute(Qt::WA_DeleteOnClose, false);
      delete frame.data();
    }
    view = nullptr;
  }
  /// Another map window, of the map in `file` when given; closing it does not delete it.
  static std::unique_ptr<CMapFrame> another(const QString& file = {}) {
    auto* other = file.isEmpty() ? new CMapFrame(nullptr) : new CMapFrame(nullptr, file);
    other->setAttribute(Qt::WA_DeleteOnClose, false);
    return std::unique_ptr<CMapFrame>(other);
  }

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
};

inline QPoint at(const POINT& p) { return QPoint(p.x, p.y); }

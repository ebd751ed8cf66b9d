// Concept mapping with real mouse and key events: linking phrases, quick links, ends on
// outlines, a reopened map that looks as saved, and deleting a node with its maplets.
#include <QImage>
#include <QInputDialog>
#include <QPlainTextEdit>
#include <QScreen>
#include <QtTest>
#include <cmath>
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
#include "shell/Commands.h"
#include "shell/MapExport.h"
#include "shell/QtInteraction.h"

namespace {

// Opens the popup at `at` with a real right click and chooses `item`.
void choose(CMapClient* view, QPoint at, const QString& item) {
  whenPopup([item](QMenu* menu) { QVERIFY(clickItem(menu, item)); });
  QTest::mouseClick(view, Qt::RightButton, {}, at);
}

QPoint at(const POINT& p) { return QPoint(p.x, p.y); }

template <class T>
std::vector<T*> all(CMapClient* view) {
  std::vector<T*> out;
  for (Graphic* g : view->document())
    if (auto* t = dynamic_cast<T*>(g)) out.push_back(t);
  return out;
}

QImage exported(CMapClient* view, const QString& file) {
  std::string error;
  if (!exportMap(view->document(), file.toStdString(), error)) return {};
  return QImage(file).convertToFormat(QImage::Format_RGB32);
}

bool dark(const QImage& image, QPoint p) { return qGray(image.pixel(p)) < 128; }

}  // namespace

class ConceptMapGuiTest : public QObject, MapWindowFixture {
  Q_OBJECT
  QTemporaryDir dir;

  void drag(QPoint from, QPoint to) {
    QTest::mousePress(view, Qt::LeftButton, {}, from);
    QTest::mouseMove(view, (from + to) / 2);
    QTest::mouseMove(view, to);
    QTest::mouseRelease(view, Qt::LeftButton, {}, to);
  }
  Node* newNode(QPoint where, const QString& label) {
    answerLabel(label);
    choose(view, where, "New Node");
    if (!QTest::qWaitFor([&] { return view->document().history().undoCount() > 0 && !all<Node>(view).empty(); }))
      return nullptr;
    // The prompt has closed: keys go to the map window again.
    if (!showActive(frame)) return nullptr;
    return all<Node>(view).back();
  }

 private slots:
  void initTestCase() { setUpSuite(); }
  void init() {
    QVERIFY(open(QSize(800, 600)));
  }
  void cleanup() { close(); }
  void cleanupTestCase() { tearDownSuite(); }

  // Five actions: a click on the concept, Ctrl+Enter, its label typed, a double click
  // on the new link, its phrase typed. Undo takes the linked concept away in one step.
  void aNewConceptWithALabelledLinkTakesFiveActions() {
    Node* water = newNode({60, 60}, "water");
    QVERIFY(water);
    const unsigned before = view->document().history().undoCount();
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(70, 70));                  // 1
    answerLabel("vapour");                                                        // 3
    QTest::keyClick(frame, Qt::Key_Return, Qt::ControlModifier);                  // 2
    QTRY_COMPARE(all<Node>(view).size(), size_t(2));
    Node* vapour = all<Node>(view).back();
    QCOMPARE(QString::fromLatin1(vapour->getLabel()), QStringLiteral("vapour"));
    QCOMPARE(all<SMaplet>(view).size(), size_t(1));
    SMaplet* link = all<SMaplet>(view).front();
    QCOMPARE((*link)[0], static_cast<RelationableGraphic*>(water));
    QCOMPARE((*link)[1], static_cast<RelationableGraphic*>(vapour));
    QVERIFY(vapour->getRect().left > water->getRect().right);
    QCOMPARE(view->document().history().undoCount(), before + 1);

    frame->repaint();
    answerLabel("evaporates into");                                               // 5
    QTest::mouseDClick(view, Qt::LeftButton, {}, at(link->centre()));             // 4
    QTRY_COMPARE(QString::fromLatin1(link->label() ? link->label() : ""), QStringLiteral("evaporates into"));

    view->runCommand(cm::EditUndo);
    view->runCommand(cm::EditUndo);
    QCOMPARE(all<Node>(view).size(), size_t(1));
    QCOMPARE(all<SMaplet>(view).size(), size_t(0));
  }

  // The phrase typed through the popup is saved and read back.
  void aLinkingPhraseTypedInThePopupIsSavedAndReadBack() {
    RECT a{40, 40, 121, 81}, b{400, 40, 481, 81};
    Node* from = addTo(view->document(), std::make_unique<Node>("Rectangle", "sun", &a));
    Node* to = addTo(view->document(), std::make_unique<Node>("Ellipse", "sea", &b));
    auto* link = addTo(view->document(), std::make_unique<SMaplet>("Directed", POINT{0, 0}));
    link->setConnection(0, from);
    link->setConnection(1, to);
    frame->repaint();
    answerLabel("warms");
    choose(view, at(link->centre()), "Edit Label...");
    QTRY_COMPARE(QString::fromLatin1(link->label() ? link->label() : ""), QStringLiteral("warms"));
    const QString file = dir.filePath("phrase.CM");
    QVERIFY(view->saveTo(file.toStdString()));
    auto* again = new CMapFrame(nullptr, file);
    again->setAttribute(Qt::WA_DeleteOnClose, false);
    std::unique_ptr<CMapFrame> owner(again);
    const std::vector<SMaplet*> read = all<SMaplet>(again->view());
    QCOMPARE(read.size(), size_t(1));
    QCOMPARE(QString::fromLatin1(read[0]->label() ? read[0]->label() : ""), QStringLiteral("warms"));
  }

  // In the exported picture the leg reaches the outline of the rectangle and of the
  // ellipse and stops there: the pixel on the outline is dark, the fill just inside white.
  void legEndsMeetTheOutlinesInTheExport() {
    RECT a{100, 100, 181, 141}, b{300, 250, 401, 301};
    Node* rect = addTo(view->document(), std::make_unique<Node>("Rectangle", nullptr, &a));
    Node* ellipse = addTo(view->document(), std::make_unique<Node>("Ellipse", nullptr, &b));
    auto* link = addTo(view->document(), std::make_unique<SMaplet>("Undirected", POINT{0, 0}));
    link->setConnection(0, rect);
    link->setConnection(1, ellipse);
    const QImage image = exported(view, dir.filePath("ends.png"));
    QVERIFY(!image.isNull());
    // The rectangle is drawn first from the top left: it fixes where map point (100, 100) is.
    QPoint origin(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (dark(image, {x, y})) origin = QPoint(std::min(origin.x(), x), std::min(origin.y(), y));
    origin -= QPoint(100, 100);
    const Connector* c = link->getConnector();
    for (std::uint16_t i = 0; i < 2; ++i) {
      const POINT end = c->terminalPoint(i), other = c->terminalPoint(1 - i);
      const double dx = end.x - other.x, dy = end.y - other.y, len = std::hypot(dx, dy);
      const QPoint onOutline = origin + at(end);
      const QPoint inside = origin + QPoint(int(std::lround(end.x + 4 * dx / len)), int(std::lround(end.y + 4 * dy / len)));
      QVERIFY2(dark(image, onOutline), qPrintable(QStringLiteral("end %1").arg(i)));
      QVERIFY2(!dark(image, inside), qPrintable(QStringLiteral("end %1 runs on inside").arg(i)));
    }
  }

  // A map made by gestures, saved, closed and reopened exports the same picture, pixel
  // for pixel; moving a context leaves nothing behind on the screen.
  void aReopenedMapLooksExactlyAsSaved() {
    Node* water = newNode({60, 60}, "water");
    QVERIFY(water);
    Node* cloud = newNode({400, 220}, "cloud");
    QVERIFY(cloud);
    choose(view, {80, 330}, "New Context");
    QTRY_COMPARE(view->document().memberCount(), size_t(3));
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(70, 70));
    answerLabel("rain");
    QTest::keyClick(frame, Qt::Key_Return, Qt::ControlModifier);
    QTRY_COMPARE(all<Node>(view).size(), size_t(4));
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(70, 70));  // deselect
    drag({410, 230}, {450, 300});
    drag({82, 332}, {140, 380});  // the context by its frame
    QTest::qWait(50);

    // What the screen shows after those partial repaints is what a full repaint shows.
    const QImage live = frame->screen()->grabWindow(frame->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage fresh = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint offset = view->mapTo(frame, QPoint(0, 0));
    QVERIFY(live.width() >= offset.x() + fresh.width());
    QCOMPARE(live.copy(QRect(offset, fresh.size())), fresh);

    view->document().setAllHighlighted(false);  // the selection is not part of the map
    const QString file = dir.filePath("water.CM");
    QVERIFY(view->saveTo(file.toStdString()));
    const QImage shown = exported(view, dir.filePath("shown.png"));
    auto* again = new CMapFrame(nullptr, file);
    again->setAttribute(Qt::WA_DeleteOnClose, false);
    std::unique_ptr<CMapFrame> owner(again);
    const QImage reopened = exported(again->view(), dir.filePath("reopened.png"));
    QVERIFY(!shown.isNull());
    QCOMPARE(reopened.size(), shown.size());
    int differ = 0;
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x) differ += shown.pixel(x, y) != reopened.pixel(x, y);
    if (differ) {
      shown.save("/tmp/cm-shown.png");
      reopened.save("/tmp/cm-reopened.png");
      QFile::copy(file, "/tmp/cm-saved.CM");
    }
    QCOMPARE(differ, 0);
  }

  // Deleting a node from its popup takes the maplets it would leave stray; undo brings
  // all three back, hooked.
  void deletingANodeTakesItsStrayMapletsAndUndoBringsThemBack() {
    RECT a{40, 40, 121, 81}, b{400, 40, 481, 81}, c{200, 300, 281, 341};
    Node* hub = addTo(view->document(), std::make_unique<Node>("Rectangle", "hub", &a));
    Node* left = addTo(view->document(), std::make_unique<Node>("Rectangle", "one", &b));
    Node* right = addTo(view->document(), std::make_unique<Node>("Rectangle", "two", &c));
    for (Node* other : {left, right}) {
      auto* m = addTo(view->document(), std::make_unique<SMaplet>("Directed", POINT{0, 0}));
      m->setConnection(0, hub);
      m->setConnection(1, other);
    }
    frame->repaint();
    choose(view, {60, 60}, "Delete");
    QTRY_COMPARE(view->document().memberCount(), size_t(2));
    QVERIFY(all<SMaplet>(view).empty());
    view->runCommand(cm::EditUndo);
    QCOMPARE(view->document().memberCount(), size_t(5));
    for (SMaplet* m : all<SMaplet>(view)) {
      QVERIFY((*m)[0] != nullptr);
      QVERIFY((*m)[1] != nullptr);
    }
  }
};

QTEST_MAIN(ConceptMapGuiTest)
#include "ConceptMapGuiTest.moc"

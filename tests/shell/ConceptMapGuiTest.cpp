// Concept mapping with real mouse and key events: linking phrases, quick links, ends on
// outlines, a reopened map that looks as saved, and deleting a node with its maplets.
#include <QImage>
#include <QScreen>
#include <QtTest>
#include <cmath>

#include "MapWindowFixture.h"
#include "drawing/Connector.h"
#include "shell/Commands.h"
#include "shell/MapExport.h"

namespace {

QImage exported(CMapClient* view, const QString& file) {
  std::string error;
  if (!exportMap(view->document(), file.toStdString(), error)) return {};
  return QImage(file).convertToFormat(QImage::Format_RGB32);
}

bool dark(const QImage& image, QPoint p) { return qGray(image.pixel(p)) < 128; }

QString labelOf(const SMaplet* m) { return QString::fromLatin1(m->label() ? m->label() : ""); }

}  // namespace

class ConceptMapGuiTest : public QObject, MapWindowFixture {
  Q_OBJECT
  QTemporaryDir dir;

  Node* newNode(QPoint where, const QString& label) {
    answerLabel(label);
    choose(where, "New Node");
    if (!QTest::qWaitFor([&] { return steps() > 0 && !all<Node>().empty(); })) return nullptr;
    // The prompt has closed: keys go to the map window again.
    if (!showActive(frame)) return nullptr;
    return all<Node>().back();
  }

 private slots:
  void initTestCase() { setUpSuite(); }
  void init() { QVERIFY(open(QSize(800, 600))); }
  void cleanup() { close(); }
  void cleanupTestCase() { tearDownSuite(); }

  // Five actions: a click on the concept, Ctrl+Enter, its label typed, a double click
  // on the new link, its phrase typed. Undo takes the linked concept away in one step.
  // A phrase typed through the link's popup is saved and read back.
  void aNewConceptWithALabelledLinkTakesFiveActionsAndItsPhraseIsSaved() {
    Node* water = newNode({60, 60}, "water");
    QVERIFY(water);
    const std::size_t before = steps();
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(70, 70));                  // 1
    answerLabel("vapour");                                                        // 3
    QTest::keyClick(frame, Qt::Key_Return, Qt::ControlModifier);                  // 2
    QTRY_COMPARE(all<Node>().size(), size_t(2));
    Node* vapour = all<Node>().back();
    QCOMPARE(QString::fromLatin1(vapour->getLabel()), QStringLiteral("vapour"));
    QCOMPARE(all<SMaplet>().size(), size_t(1));
    SMaplet* link = all<SMaplet>().front();
    QCOMPARE((*link)[0], static_cast<RelationableGraphic*>(water));
    QCOMPARE((*link)[1], static_cast<RelationableGraphic*>(vapour));
    QVERIFY(vapour->getRect().left > water->getRect().right);
    QCOMPARE(steps(), before + 1);

    frame->repaint();
    answerLabel("evaporates into");                                               // 5
    QTest::mouseDClick(view, Qt::LeftButton, {}, at(link->centre()));             // 4
    QTRY_COMPARE(labelOf(link), QStringLiteral("evaporates into"));

    answerLabel("rises as");
    choose(at(link->centre()), "Edit Label...");
    QTRY_COMPARE(labelOf(link), QStringLiteral("rises as"));
    const QString file = dir.filePath("phrase.CM");
    QVERIFY(view->saveTo(file.toStdString()));
    std::unique_ptr<CMapFrame> again = another(file);
    const std::vector<SMaplet*> read = all<SMaplet>(again->view());
    QCOMPARE(read.size(), size_t(1));
    QCOMPARE(labelOf(read[0]), QStringLiteral("rises as"));

    for (int i = 0; i < 3; ++i) view->runCommand(cm::EditUndo);
    QCOMPARE(all<Node>().size(), size_t(1));
    QCOMPARE(all<SMaplet>().size(), size_t(0));
  }

  // In the exported picture the leg reaches the outline of the rectangle and of the
  // ellipse and stops there: the pixel on the outline is dark, the fill just inside white.
  void legEndsMeetTheOutlinesInTheExport() {
    Node* rect = add({100, 100, 181, 141});
    SMaplet* m = link(rect, add({300, 250, 401, 301}, nullptr, "Ellipse"), "Undirected");
    const QImage image = exported(view, dir.filePath("ends.png"));
    QVERIFY(!image.isNull());
    // The rectangle is drawn first from the top left: it fixes where map point (100, 100) is.
    QPoint origin(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (dark(image, {x, y})) origin = QPoint(std::min(origin.x(), x), std::min(origin.y(), y));
    origin -= QPoint(100, 100);
    const Connector* c = m->getConnector();
    for (std::uint16_t i = 0; i < 2; ++i) {
      const POINT end = c->terminalPoint(i), other = c->terminalPoint(1 - i);
      const double dx = end.x - other.x, dy = end.y - other.y, len = std::hypot(dx, dy);
      const QPoint inside = origin + QPoint(int(std::lround(end.x + 4 * dx / len)), int(std::lround(end.y + 4 * dy / len)));
      QVERIFY2(dark(image, origin + at(end)), qPrintable(QStringLiteral("end %1").arg(i)));
      QVERIFY2(!dark(image, inside), qPrintable(QStringLiteral("end %1 runs on inside").arg(i)));
    }
  }

  // A map made by gestures, saved, closed and reopened exports the same picture, pixel
  // for pixel; moving a context leaves nothing behind on the screen.
  void aReopenedMapLooksExactlyAsSaved() {
    QVERIFY(newNode({60, 60}, "water"));
    QVERIFY(newNode({400, 220}, "cloud"));
    choose({80, 330}, "New Context");
    QTRY_COMPARE(members(), 3);
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(70, 70));
    answerLabel("rain");
    QTest::keyClick(frame, Qt::Key_Return, Qt::ControlModifier);
    QTRY_COMPARE(all<Node>().size(), size_t(4));
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
    std::unique_ptr<CMapFrame> again = another(file);
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
    Node* hub = add({40, 40, 121, 81}, "hub");
    for (Node* other : {add({400, 40, 481, 81}, "one"), add({200, 300, 281, 341}, "two")}) link(hub, other);
    frame->repaint();
    choose({60, 60}, "Delete");
    QTRY_COMPARE(members(), 2);
    QVERIFY(all<SMaplet>().empty());
    view->runCommand(cm::EditUndo);
    QCOMPARE(members(), 5);
    for (SMaplet* m : all<SMaplet>()) QVERIFY((*m)[0] && (*m)[1]);
  }
};

QTEST_MAIN(ConceptMapGuiTest)
#include "ConceptMapGuiTest.moc"

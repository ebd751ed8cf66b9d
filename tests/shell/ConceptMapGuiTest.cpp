// Concept mapping with real mouse and key events: linking phrases, quick links and a reopened map
// that looks as saved.
#include <QImage>
#include <QScreen>
#include <QtTest>

#include "MapWindowFixture.h"
#include "shell/MapExport.h"

namespace {

QImage exported(CMapClient* view, const QString& file) {
  std::string error;
  if (!exportMap(view->document(), file.toStdString(), error)) return {};
  return QImage(file).convertToFormat(QImage::Format_RGB32);
}

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
  // on the new link, its phrase typed.
  void aNewConceptWithALabelledLinkTakesFiveActions() {
    Node* water = newNode({60, 60}, "water");
    QVERIFY(water);
    const std::size_t before = steps();
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(70, 70));                  // 1
    answerLabel("vapour");                                                        // 3
    QTest::keyClick(frame, Qt::Key_Return, Qt::ControlModifier);                  // 2
    QTRY_COMPARE(all<Node>().size(), size_t(2));
    QCOMPARE(QString::fromLatin1(all<Node>().back()->getLabel()), QStringLiteral("vapour"));
    QCOMPARE(all<SMaplet>().size(), size_t(1));
    SMaplet* link = all<SMaplet>().front();
    QCOMPARE((*link)[0], static_cast<RelationableGraphic*>(water));
    QCOMPARE(steps(), before + 1);

    frame->repaint();
    answerLabel("evaporates into");                                               // 5
    QTest::mouseDClick(view, Qt::LeftButton, {}, at(link->centre()));             // 4
    QTRY_COMPARE(labelOf(link), QStringLiteral("evaporates into"));
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
    QCOMPARE(reopened, shown);
  }

};

QTEST_MAIN(ConceptMapGuiTest)
#include "ConceptMapGuiTest.moc"

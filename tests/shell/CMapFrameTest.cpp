// Map windows as documents: captions, Save and Save As through the real dialog, Open, and closing a changed map.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <sstream>

#include "QtTestSupport.h"
#include "file/MapFile.h"
#include "file/MapTools.h"
#include "model/Node.h"
#include "shell/BrenloApp.h"
#include "shell/CMapClient.h"
#include "shell/CMapFrame.h"
#include "shell/Commands.h"
#include "shell/QtMapWindowFactory.h"
#include "shell/SDIDecFrame.h"

namespace {

Node* addNode(CMapClient* view, RECT r, const char* label) {
  return new Node(view, "Rectangle", label, &r);
}

// Answers the next file dialog with `path`.
void answerFileDialog(const QString& path) {
  whenModal([path](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    QVERIFY(dialog);
    typeFileName(dialog, path);
  });
}

// Answers the next message box with `button`; its text lands in `text`.
void answerBox(QMessageBox::StandardButton button, QString* text) {
  whenModal([button, text](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    QVERIFY(box);
    *text = box->text();
    box->button(button)->click();
  });
}

// A MOVE TO of the node, as a drag would make it.
void moveNode(CMapClient* view, POINT from, POINT to) {
  QTest::mousePress(view, Qt::LeftButton, {}, QPoint(from.x, from.y));
  QTest::mouseMove(view, QPoint(to.x, to.y));
  QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(to.x, to.y));
}

}  // namespace

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
  QList<CMapFrame*> mapWindows() const { return app->mainWindow()->findChildren<CMapFrame*>(); }

 private slots:
  void init() {
    brenloApp::setMapWindowFactory(std::make_unique<QtMapWindowFactory>());
    app = std::make_unique<brenloApp>();
    app->start();
  }
  void cleanup() {
    dropModalWatches();
    for (CMapFrame* f : mapWindows()) delete f;  // no questions asked
    app.reset();
    brenloApp::setMapWindowFactory(nullptr);
  }

  void captionsFollowTheMapAndItsChanges() {
    auto* frame = new CMapFrame(app->mainWindow());
    QCOMPARE(frame->windowTitle(), QStringLiteral("New Map"));
    QCOMPARE(frame->size(), QSize(400, 300));
    showActive(frame);
    QCOMPARE(frame->windowTitle(), QStringLiteral("New View"));
    CMapClient* view = frame->view();
    addNode(view, {40, 40, 100, 80}, "idea");
    moveNode(view, {50, 50}, {150, 100});
    QCOMPARE(frame->windowTitle(), QStringLiteral("New View*"));
    view->runCommand(cm::EditUndo);
    QCOMPARE(frame->windowTitle(), QStringLiteral("New View"));
    QVERIFY(!view->isChanged());
  }

  void saveAsAndOpenThroughTheDialogsRoundTripTheMap() {
    CMapFrame* frame = newFrame();
    CMapClient* view = frame->view();
    addNode(view, {40, 40, 120, 80}, "water");
    addNode(view, {200, 40, 280, 80}, "ice");
    moveNode(view, {50, 50}, {60, 150});
    QVERIFY(view->isChanged());

    const QString file = path("saved.CM");
    answerFileDialog(file);
    QVERIFY(chooseMenu(frame, "&File", "Save &As..."));
    QTRY_VERIFY(QFile::exists(file));
    QCOMPARE(frame->windowTitle(), file);
    QVERIFY(!view->isChanged());

    std::ostringstream before, after;
    writeMapFile(*view, before, 0);
    QPointer<CMapFrame> first = frame;
    QVERIFY(frame->close());
    QTRY_VERIFY(!first);

    answerFileDialog(file);
    QVERIFY(chooseMenu(app->mainWindow(), "&File", "&Open..."));
    QTRY_COMPARE(mapWindows().size(), 1);
    CMapFrame* opened = mapWindows().first();
    QCOMPARE(opened->windowTitle(), file);
    writeMapFile(*opened->view(), after, 0);
    QCOMPARE(QString::fromStdString(after.str()), QString::fromStdString(before.str()));
    QCOMPARE(countElements(*opened->view()).nodes, std::size_t{2});
  }

  void saveOnANewMapAsksForAFileAndCancelWritesNothing() {
    CMapFrame* frame = newFrame();
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);
    whenModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    QVERIFY(!frame->view()->save());
    QVERIFY(frame->view()->fileName().empty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), before);
  }

  void saveWritesToTheFileTheMapCameFrom() {
    CMapFrame* frame = newFrame();
    addNode(frame->view(), {40, 40, 120, 80}, "first");
    const std::string file = path("kept.CM").toStdString();
    QVERIFY(frame->view()->saveTo(file));
    moveNode(frame->view(), {50, 50}, {90, 120});
    QTest::keyClick(frame, Qt::Key_S, Qt::ControlModifier);
    QTRY_VERIFY(!frame->view()->isChanged());
    RootMap reread;
    QVERIFY(openMapFile(reread, file));
    QCOMPARE(reread.front()->getRect().left, 80);
  }

  void closingAChangedMapAsksAndCancelKeepsItOpen() {
    QPointer<CMapFrame> frame = newFrame();
    addNode(frame->view(), {40, 40, 100, 80}, "idea");
    moveNode(frame->view(), {50, 50}, {150, 100});
    QString asked;
    answerBox(QMessageBox::Cancel, &asked);
    QVERIFY(!frame->close());
    QCOMPARE(asked, QStringLiteral("Save changes to 'New View'?"));
    QVERIFY(frame && frame->isVisible());
    QVERIFY(frame->view()->isChanged());

    answerBox(QMessageBox::Discard, &asked);
    QVERIFY(frame->close());
    QTRY_VERIFY(!frame);
  }

  void aFailedSaveKeepsTheMapChangedAndTheWindowOpen() {
    const QString sub = path("gone");
    QDir().mkpath(sub);
    const std::string file = (sub + "/map.CM").toStdString();
    QPointer<CMapFrame> frame = newFrame();
    addNode(frame->view(), {40, 40, 100, 80}, "idea");
    QVERIFY(frame->view()->saveTo(file));
    moveNode(frame->view(), {50, 50}, {150, 100});
    QDir(sub).removeRecursively();
    // The failure is told on the map window as well, as plain text.
    QString asked, told;
    Qt::TextFormat format = Qt::RichText;
    whenModal([&](QWidget* w) {
      auto* question = qobject_cast<QMessageBox*>(w);
      QVERIFY(question);
      whenModal([&](QWidget* failure) {
        auto* box = qobject_cast<QMessageBox*>(failure);
        QVERIFY(box);
        told = box->text();
        format = box->textFormat();
        QCOMPARE(box->parentWidget(), frame->view());
        box->button(QMessageBox::Ok)->click();
      });
      question->button(QMessageBox::Save)->click();
    });
    QVERIFY(!frame->close());
    QCOMPARE(told, QStringLiteral("Can't open file '%1'").arg(QString::fromStdString(file)));
    QCOMPARE(format, Qt::PlainText);
    QVERIFY(frame && frame->isVisible());
    QVERIFY(frame->view()->isChanged());
    QVERIFY(frame->windowTitle().endsWith('*'));
    QVERIFY(app->mainWindow()->console()->toPlainText().contains(QString::fromStdString(file)));
  }

  void aFileAnotherProgramChangedIsNotOverwrittenUnasked() {
    CMapFrame* frame = newFrame();
    CMapClient* view = frame->view();
    addNode(view, {40, 40, 120, 80}, "mine");
    const QString file = path("shared.CM");
    QVERIFY(view->saveTo(file.toStdString()));
    auto writeElsewhere = [&] {
      QFile other(file);
      QVERIFY(other.open(QIODevice::WriteOnly | QIODevice::Truncate));
      other.write("written by another editor");
    };
    auto content = [&] {
      QFile f(file);
      f.open(QIODevice::ReadOnly);
      return f.readAll();
    };
    // Cancel keeps the other program's file and the map's change mark.
    writeElsewhere();
    moveNode(view, {50, 50}, {90, 120});
    QString asked;
    answerBox(QMessageBox::Cancel, &asked);
    QTest::keyClick(frame, Qt::Key_S, Qt::ControlModifier);
    QTRY_COMPARE(asked, QStringLiteral("'%1' was changed by another program since it was opened. Overwrite it?").arg(file));
    QCOMPARE(content(), QByteArray("written by another editor"));
    QVERIFY(view->isChanged());
    // Overwrite writes; the next save, with nobody else writing, asks nothing.
    whenModal([](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      for (QAbstractButton* b : box->buttons())
        if (b->text() == QStringLiteral("Overwrite")) b->click();
    });
    QVERIFY(view->save());
    QVERIFY(content().contains("\"mine\""));
    moveNode(view, {90, 120}, {60, 60});
    QVERIFY(view->save());
    // Save As... writes elsewhere and leaves the other program's file alone.
    writeElsewhere();
    const QString other = path("mine.CM");
    whenModal([other](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      for (QAbstractButton* b : box->buttons())
        if (b->text() == QStringLiteral("Save As...")) {
          answerFileDialog(other);
          b->click();
        }
    });
    QVERIFY(view->save());
    QCOMPARE(content(), QByteArray("written by another editor"));
    QCOMPARE(QString::fromStdString(view->fileName()), other);
  }

  void aFileReadIncompletelyIsNotOverwrittenUnasked() {
    const QString file = path("foreign.CM");
    const QByteArray text =
        "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n"
        "Content-Type: application/x-CMap; version=0.1\r\n\r\n5\r\n;\r\n"
        "not a map line\r\n;\r\n\r\n--b--\r\n";
    {
      QFile f(file);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(text);
    }
    QVERIFY(app->openMapFile(file));
    QTRY_COMPARE(mapWindows().size(), 1);
    CMapClient* view = mapWindows().first()->view();
    QString asked;
    answerBox(QMessageBox::Cancel, &asked);
    QVERIFY(!view->save());
    QCOMPARE(asked, QStringLiteral("'%1' could not be read completely: saving replaces it with what was read. "
                                   "Overwrite it?").arg(file));
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), text);
  }

  void openingAMapThatIsOpenBringsItsWindowForward() {
    CMapFrame* frame = newFrame();
    addNode(frame->view(), {40, 40, 120, 80}, "once");
    const QString file = path("once.CM");
    QVERIFY(frame->view()->saveTo(file.toStdString()));
    const QString link = path("link.CM");
    QVERIFY(QFile::link(file, link));
    auto* other = new QWidget(nullptr);
    showActive(other);
    QVERIFY(app->openMapFile(link));
    QCOMPARE(mapWindows().size(), 1);
    QTRY_COMPARE(QApplication::activeWindow(), frame);
    delete other;
  }

  void quittingAsksForEveryChangedMap() {
    QPointer<CMapFrame> frame = newFrame();
    addNode(frame->view(), {40, 40, 100, 80}, "idea");
    moveNode(frame->view(), {50, 50}, {150, 100});
    QString asked;
    answerBox(QMessageBox::Cancel, &asked);
    QVERIFY(!app->mainWindow()->close());
    QVERIFY(app->mainWindow()->isVisible());
    QVERIFY(frame);
  }

  void aFileThatCannotBeReadOpensNoWindowAndIsReportedInTheConsole() {
    QVERIFY(!app->openMapFile(path("missing.CM")));
    QVERIFY(mapWindows().isEmpty());
    const QString console = app->mainWindow()->console()->toPlainText();
    QVERIFY(console.contains("CMapClient::init: bad stream"));
    QVERIFY(console.contains(QStringLiteral("Can't open file '%1'").arg(path("missing.CM"))));
  }

  void aMapReadFromAStreamHasNoFile() {
    std::istringstream empty("");
    auto* view = new CMapClient(nullptr, empty);
    QCOMPARE(view->windowTitle(), QStringLiteral("QOR Brenlo"));
    QVERIFY(view->fileName().empty());
    delete view;
  }
};

QTEST_MAIN(CMapFrameTest)
#include "CMapFrameTest.moc"

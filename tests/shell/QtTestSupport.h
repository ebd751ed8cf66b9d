// Helpers of the GUI suites: a started editor, answering modal dialogs, choosing menu items with the mouse,
// small map files, nodes and drags.
#pragma once

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <string>

#include "model/Node.h"
#include "shell/BrenloApp.h"
#include "shell/CMapClient.h"
#include "shell/SDIDecFrame.h"

/// Settings and recovery copies go to a folder of this test program's own, never the user's: set up before any
/// QSettings is made, so that remembered window places of one run do not reach another.
inline const bool kPrivateSettings = [] {
  QStandardPaths::setTestModeEnabled(true);
  static QTemporaryDir folder;
  for (QSettings::Format f : {QSettings::NativeFormat, QSettings::IniFormat})
    QSettings::setPath(f, QSettings::UserScope, folder.path());
  // Recovery copies too: a run never offers another run's copies.
  qputenv("XDG_STATE_HOME", QDir(folder.path()).filePath(QStringLiteral("state")).toLocal8Bit());
  return true;
}();

/// A started editor, of the map in `file` when given.
inline std::unique_ptr<brenloApp> startedApp(const QString& file = {}) {
  auto app = std::make_unique<brenloApp>(file);
  app->start();
  return app;
}

/// Forgets every remembered setting (window places) of the program.
inline void forgetSettings() { QSettings(QStringLiteral("brenlo"), QStringLiteral("brenlo")).clear(); }

/// The watches of whenModal not yet answered.
inline QList<QPointer<QTimer>>& modalWatches() {
  static QList<QPointer<QTimer>> watches;
  return watches;
}

/// Drops every watch still waiting (call in cleanup, so no watch outlives its test).
inline void dropModalWatches() {
  for (const QPointer<QTimer>& t : modalWatches()) delete t.data();
  modalWatches().clear();
}

/// Calls `answer` once with the first visible widget that `find` gives, looking every 10 ms.
/// Answers the watching timer; delete it when no widget is expected after all.
inline QTimer* whenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, find, answer] {
    QWidget* w = find();
    if (!w || !w->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    answer(w);
  });
  timer->start();
  modalWatches().append(timer);
  return timer;
}

/// Calls `answer` with the next modal window that opens (not the one open now).
inline QTimer* whenModal(std::function<void(QWidget*)> answer) {
  QPointer<QWidget> before = QApplication::activeModalWidget();
  return whenShown(
      [before]() -> QWidget* {
        QWidget* modal = QApplication::activeModalWidget();
        return modal == before.data() ? nullptr : modal;
      },
      answer);
}

/// Calls `answer` with the next modal window that opens, which must be a T.
template <class T>
QTimer* whenModalIs(std::function<void(T*)> answer) {
  return whenModal([answer](QWidget* w) {
    auto* t = qobject_cast<T*>(w);
    QVERIFY2(t, w->metaObject()->className());
    answer(t);
  });
}

/// Types `text` into the label prompt that opens next and presses Enter.
inline void answerLabel(const QString& text) {
  whenModal([text](QWidget* w) {
    auto* edit = w->findChild<QPlainTextEdit*>();
    QVERIFY(edit);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
  });
}

/// The action of `menu` whose text is `text`, or null.
inline QAction* actionNamed(const QList<QAction*>& actions, const QString& text) {
  for (QAction* a : actions)
    if (a->text() == text) return a;
  return nullptr;
}

/// Opens popup `popup` of `frame`'s menu bar with a click; answers the open menu.
inline QMenu* openPopup(QMainWindow* frame, const QString& popup) {
  QMenuBar* bar = frame->menuBar();
  QAction* top = actionNamed(bar->actions(), popup);
  if (!top) return nullptr;
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top).center());
  QMenu* menu = top->menu();
  if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000)) return nullptr;
  return menu;
}

/// Shows `w` and waits until it is exposed and active.
inline bool showActive(QWidget* w) {
  w->show();
  w->activateWindow();
  return QTest::qWaitForWindowExposed(w) && QTest::qWaitFor([w] { return w->isActiveWindow(); }, 2000);
}

/// The texts of a menu's (or menu bar's) items in order, "-" for a separator, "> title" for a submenu.
inline QStringList menuTexts(QWidget* menu) {
  QStringList out;
  for (QAction* a : menu->actions())
    out << (a->isSeparator() ? QStringLiteral("-") : a->menu() ? QStringLiteral("> ") + a->text() : a->text());
  return out;
}

/// Clicks the item `text` of an open menu; false when there is none.
inline bool clickItem(QMenu* menu, const QString& text) {
  QAction* action = actionNamed(menu->actions(), text);
  if (!action) return false;
  const QPoint at = menu->actionGeometry(action).center();
  QTest::mouseMove(menu, at);
  QTest::mouseClick(menu, Qt::LeftButton, {}, at);
  return true;
}

/// Chooses `item` from popup `popup` with real mouse clicks; false when it could not (greyed or missing).
inline bool chooseMenu(QMainWindow* frame, const QString& popup, const QString& item) {
  QMenu* menu = openPopup(frame, popup);
  if (!menu) return false;
  QAction* action = actionNamed(menu->actions(), item);
  if (action && action->isEnabled()) return clickItem(menu, item);
  menu->close();
  return false;
}

/// Answers the next file dialog by typing `path` into its name field and accepting it, as a user does
/// (selecting the file instead can be lost while the dialog still lists its folder); its name filters
/// land in `filters` when given.
inline void answerFile(const QString& path, QStringList* filters = nullptr) {
  whenModalIs<QFileDialog>([path, filters](QFileDialog* dialog) {
    if (filters) *filters = dialog->nameFilters();
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    name->setText(path);
    static_cast<QDialog*>(dialog)->accept();
  });
}

/// Answers the next message boxes in turn with `buttons`, each a button's text (a QString) or a
/// QMessageBox::StandardButton; their texts are added to `texts`, and `seen` is shown each box before it is
/// answered.
inline void answerBoxes(QList<QVariant> buttons, QStringList* texts = nullptr,
                        std::function<void(QMessageBox*)> seen = {}) {
  if (buttons.isEmpty()) return;
  whenModalIs<QMessageBox>([buttons, texts, seen](QMessageBox* box) mutable {
    if (texts) *texts << box->text();
    if (seen) seen(box);
    const QVariant answer = buttons.takeFirst();
    QAbstractButton* button = box->button(QMessageBox::StandardButton(answer.toInt()));  // none for a text
    for (QAbstractButton* b : box->buttons())
      if (answer.typeId() == QMetaType::QString && b->text() == answer.toString()) button = b;
    QVERIFY(button);
    answerBoxes(buttons, texts, seen);
    button->click();
  });
}

/// The bytes of `file`, empty when it cannot be read.
inline QByteArray bytesOf(const QString& file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// Writes `bytes` to `file`, replacing it.
inline bool put(const QString& file, const QByteArray& bytes) {
  QFile f(file);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

/// A whole .CM file holding `count` elements given as component lines (each ending in CR LF).
inline std::string mapFileText(int count, const std::string& lines) {
  return "MIME-Version: 1.0\r\n"
         "Content-Type: multipart/mixed; boundary=****QORDeLiMiTER****\r\n\r\n"
         "--****QORDeLiMiTER****\r\n"
         "Content-Type: application/x-CMap; version=0.1\r\n\r\n" +
         std::to_string(count) + "\r\n;\r\n" + lines + ";\r\n\r\n--****QORDeLiMiTER****--\r\n";
}

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

/// A map point as a widget point.
inline QPoint at(const POINT& p) { return QPoint(p.x, p.y); }

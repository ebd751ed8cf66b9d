// The plain-text view: Find, Replace, Next, the accelerators and saving.
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "QtTestSupport.h"
#include "shell/BrenloEditView.h"
#include "shell/Commands.h"
#include "support/ErrorReporter.h"

namespace {

// Fills the Find or Replace dialog and presses one of its buttons.
void answerSearch(const QString& what, const QString& with = {}, const char* button = "go") {
  whenModal([=](QWidget* w) {
    w->findChild<QLineEdit*>("findWhat")->setText(what);
    if (auto* r = w->findChild<QLineEdit*>("replaceWith")) r->setText(with);
    QTest::mouseClick(w->findChild<QPushButton*>(button), Qt::LeftButton);
  });
}

class SilentReports : public ReportPlatform {
 public:
  void messageBox(NativeWindow, const std::string& text, const std::string&, ReportIcon) override {
    boxes.push_back(text);
  }
  std::vector<std::string> boxes;
};

}  // namespace

class BrenloEditViewTest : public QObject {
  Q_OBJECT
 private slots:
  void cleanup() { dropModalWatches(); }
  // Find selects the next match and Next wraps around; a missing text is said and the cursor
  // stays; Match Case is honoured; Replace replaces once, Replace All everywhere in one step.
  void findAndReplace() {
    brenloEditView view;
    view.setPlainText("one two one two");
    answerSearch("two");
    QVERIFY(view.runSearchCommand(cm::EditFind));
    QCOMPARE(view.textCursor().selectionStart(), 4);
    QVERIFY(view.runSearchCommand(cm::EditFindNext));
    QCOMPARE(view.textCursor().selectionStart(), 12);
    QVERIFY(view.runSearchCommand(cm::EditFindNext));
    QCOMPARE(view.textCursor().selectionStart(), 4);

    view.setPlainText("abc");
    QString said;
    answerSearch("zzz");
    whenModal([&said](QWidget* w) {
      if (auto* box = qobject_cast<QMessageBox*>(w)) {
        said = box->text();
        box->accept();
      }
    });
    view.runSearchCommand(cm::EditFind);
    QTRY_COMPARE(said, QStringLiteral("\"zzz\" not found."));
    QVERIFY(!view.textCursor().hasSelection());

    view.setPlainText("Map map");
    QVERIFY(view.findNext("map", true));
    QCOMPARE(view.textCursor().selectionStart(), 4);
    QCOMPARE(view.replaceAll("MAP", "x", false), 2);

    view.setPlainText("cat cat cat");
    answerSearch("cat", "dog");
    view.runSearchCommand(cm::EditReplace);
    QCOMPARE(view.toPlainText(), QStringLiteral("dog cat cat"));
    answerSearch("cat", "cow", "all");
    view.runSearchCommand(cm::EditReplace);
    QCOMPARE(view.toPlainText(), QStringLiteral("dog cow cow"));
    view.undo();  // Replace All is one step
    QCOMPARE(view.toPlainText(), QStringLiteral("dog cat cat"));
  }

  void editCommandsFollowTheirEnablers() {
    brenloEditView view;
    QCOMPARE(editCommandEnabled(&view, cm::EditClear), std::optional<bool>(false));
    QCOMPARE(editCommandEnabled(&view, cm::EditFind), std::optional<bool>());
    view.setPlainText("abc def");
    QCOMPARE(editCommandEnabled(&view, cm::EditCut), std::optional<bool>(false));
    view.selectAll();
    QCOMPARE(editCommandEnabled(&view, cm::EditCut), std::optional<bool>(true));
    QVERIFY(runEditCommand(&view, cm::EditDelete));
    QCOMPARE(view.toPlainText(), QString());
    QVERIFY(!runEditCommand(&view, cm::EditRedo));
  }

  void savingIsSafeAndAFailureKeepsTheDocumentChanged() {
    QTemporaryDir dir;
    SilentReports reports;
    setReportPlatform(&reports);
    brenloEditView view;
    view.setPlainText("text");
    view.document()->setModified(true);
    QVERIFY(!view.saveTo(dir.filePath("missing/folder/x.TXT")));
    QVERIFY(view.isChanged());
    QVERIFY(view.fileName().isEmpty());
    QCOMPARE(reports.boxes.size(), size_t(1));
    QVERIFY(QString::fromStdString(reports.boxes[0]).startsWith("E: Can't open file '"));
    QVERIFY(view.saveTo(dir.filePath("x.TXT")));
    QVERIFY(!view.isChanged());
    QCOMPARE(view.fileName(), dir.filePath("x.TXT"));
    setReportPlatform(nullptr);
  }
};

QTEST_MAIN(BrenloEditViewTest)
#include "BrenloEditViewTest.moc"

// The plain-text document view: editing, safe saving, Find, Replace and Next.
#include "shell/BrenloEditView.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTextBlock>

#include "shell/Commands.h"
#include "support/ErrorReporter.h"

namespace {

// Keys of accelerator table 100 that a text editor would otherwise take for itself.
class AcceleratorFirst : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ShortcutOverride) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const auto mods = key->modifiers() & ~Qt::KeypadModifier;
    const int k = key->key();
    const bool ours = (mods == Qt::ShiftModifier && (k == Qt::Key_Delete || k == Qt::Key_Insert)) ||
                      (mods == Qt::ControlModifier && (k == Qt::Key_Insert || k == Qt::Key_Delete)) ||
                      (mods == Qt::AltModifier && (k == Qt::Key_Backspace || k == Qt::Key_Return ||
                                                   k == Qt::Key_Enter)) ||
                      (mods == Qt::NoModifier && k == Qt::Key_F3);
    if (!ours) return false;
    event->ignore();  // not taken by the editor, so the accelerator fires
    return true;
  }
};

// Whether the clipboard holds text, kept up to date by its change signal so that
// the enablers, asked often, never wait for the clipboard's owner.
bool clipboardHasText() {
  static bool hasText = [] {
    QClipboard* clipboard = QApplication::clipboard();
    QObject::connect(clipboard, &QClipboard::dataChanged, clipboard,
                     [clipboard] { hasText = !clipboard->text().isEmpty(); });
    return !clipboard->text().isEmpty();
  }();
  return hasText;
}

QTextDocument::FindFlags flagsFor(bool matchCase) {
  return matchCase ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
}

}  // namespace

bool runEditCommand(QPlainTextEdit* edit, int id) {
  if (!edit) return false;
  switch (id) {
    case cm::EditUndo:
      edit->undo();
      return true;
    case cm::EditCut:
      edit->cut();
      return true;
    case cm::EditCopy:
      edit->copy();
      return true;
    case cm::EditPaste:
      edit->paste();
      return true;
    case cm::EditClear: {
      // Removed as one edit, so that Undo brings the text back.
      QTextCursor all(edit->document());
      all.select(QTextCursor::Document);
      all.removeSelectedText();
      return true;
    }
    case cm::EditDelete:
      edit->textCursor().removeSelectedText();
      return true;
    default:
      return false;
  }
}

std::optional<bool> editCommandEnabled(QPlainTextEdit* edit, int id) {
  if (!edit) return std::nullopt;
  const bool writable = !edit->isReadOnly();
  switch (id) {
    case cm::EditUndo:
      return writable && edit->document()->isUndoAvailable();
    case cm::EditCut:
    case cm::EditDelete:
      return writable && edit->textCursor().hasSelection();
    case cm::EditCopy:
      return edit->textCursor().hasSelection();
    case cm::EditPaste:
      return writable && clipboardHasText();
    case cm::EditClear:
      return writable && !edit->document()->isEmpty();
    default:
      return std::nullopt;
  }
}

void preferAccelerators(QPlainTextEdit* edit) { edit->installEventFilter(new AcceleratorFirst(edit)); }

brenloEditView::brenloEditView(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName(QString::fromLatin1(viewName()));
  setLineWrapMode(QPlainTextEdit::NoWrap);
  preferAccelerators(this);
}

bool brenloEditView::saveTo(const QString& path) {
  // Written beside the target and renamed over it, so a failed save keeps the old file.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
    reportError(this, 'E', "Can't open file '%s'", path.toLocal8Bit().constData());
    return false;
  }
  file.write(toPlainText().toUtf8());
  if (!file.commit()) {
    reportError(this, 'E', "Can't write file '%s'", path.toLocal8Bit().constData());
    return false;
  }
  fileName_ = path;
  document()->setModified(false);
  return true;
}

bool brenloEditView::runSearchCommand(int id) {
  switch (id) {
    case cm::EditFind:
      find();
      return true;
    case cm::EditReplace:
      replace();
      return true;
    case cm::EditFindNext:
      next();
      return true;
    default:
      return false;
  }
}

bool brenloEditView::findNext(const QString& text, bool matchCase) {
  search_ = text;
  matchCase_ = matchCase;
  if (text.isEmpty()) return false;
  if (QPlainTextEdit::find(text, flagsFor(matchCase))) return true;
  // Once more from the top before giving up.
  QTextCursor saved = textCursor();
  moveCursor(QTextCursor::Start);
  if (QPlainTextEdit::find(text, flagsFor(matchCase))) return true;
  setTextCursor(saved);
  return false;
}

int brenloEditView::replaceAll(const QString& text, const QString& with, bool matchCase) {
  if (text.isEmpty()) return 0;
  int count = 0;
  QTextCursor edit(document());
  edit.beginEditBlock();
  QTextCursor found = document()->find(text, 0, flagsFor(matchCase));
  while (!found.isNull()) {
    found.insertText(with);
    ++count;
    found = document()->find(text, found, flagsFor(matchCase));
  }
  edit.endEditBlock();
  return count;
}

namespace {

struct SearchAnswer {
  bool accepted = false;
  bool all = false;
};

// The Find and Replace dialogs: a text to look for, and for Replace the new text.
SearchAnswer askSearch(QWidget* owner, bool withReplace, QString& text, QString& with, bool& matchCase) {
  QDialog dialog(owner);
  dialog.setWindowTitle(withReplace ? QStringLiteral("Replace") : QStringLiteral("Find"));
  auto* form = new QFormLayout(&dialog);
  auto* what = new QLineEdit(text);
  what->setObjectName(QStringLiteral("findWhat"));
  form->addRow(QStringLiteral("Fi&nd what:"), what);
  QLineEdit* replacement = nullptr;
  if (withReplace) {
    replacement = new QLineEdit(with);
    replacement->setObjectName(QStringLiteral("replaceWith"));
    form->addRow(QStringLiteral("Re&place with:"), replacement);
  }
  auto* caseBox = new QCheckBox(QStringLiteral("Match &case"));
  caseBox->setObjectName(QStringLiteral("matchCase"));
  caseBox->setChecked(matchCase);
  form->addRow(caseBox);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
  QPushButton* go = buttons->addButton(withReplace ? QStringLiteral("&Replace") : QStringLiteral("&Find Next"),
                                       QDialogButtonBox::AcceptRole);
  go->setObjectName(QStringLiteral("go"));
  go->setDefault(true);
  SearchAnswer answer;
  if (withReplace) {
    QPushButton* all = buttons->addButton(QStringLiteral("Replace &All"), QDialogButtonBox::AcceptRole);
    all->setObjectName(QStringLiteral("all"));
    QObject::connect(all, &QPushButton::clicked, &dialog, [&answer] { answer.all = true; });
  }
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  answer.accepted = dialog.exec() == QDialog::Accepted;
  if (answer.accepted) {
    text = what->text();
    if (replacement) with = replacement->text();
    matchCase = caseBox->isChecked();
  }
  return answer;
}

}  // namespace

namespace {

/// "\"%s\" not found.": the searched text is shown as typed, never as markup.
void notFound(QWidget* owner, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, owner);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace

void brenloEditView::find() {
  QString text = search_;
  QString unused;
  bool matchCase = matchCase_;
  if (!askSearch(this, false, text, unused, matchCase).accepted) return;
  if (!findNext(text, matchCase))
    notFound(this, QStringLiteral("Find"), QStringLiteral("\"%1\" not found.").arg(text));
}

void brenloEditView::replace() {
  QString text = search_;
  QString with = replaceWith_;
  bool matchCase = matchCase_;
  SearchAnswer answer = askSearch(this, true, text, with, matchCase);
  if (!answer.accepted) return;
  search_ = text;
  replaceWith_ = with;
  matchCase_ = matchCase;
  if (answer.all) {
    if (replaceAll(text, with, matchCase) == 0)
      notFound(this, QStringLiteral("Replace"), QStringLiteral("\"%1\" not found.").arg(text));
    return;
  }
  // Replace the match under the selection, then move to the next one.
  QTextCursor cursor = textCursor();
  const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
  if (cursor.hasSelection() && cursor.selectedText().compare(text, cs) == 0) cursor.insertText(with);
  else if (findNext(text, matchCase)) textCursor().insertText(with);
  else {
    notFound(this, QStringLiteral("Replace"), QStringLiteral("\"%1\" not found.").arg(text));
    return;
  }
  findNext(text, matchCase);
}

void brenloEditView::next() {
  if (search_.isEmpty()) {
    find();
    return;
  }
  if (!findNext(search_, matchCase_))
    notFound(this, QStringLiteral("Find"), QStringLiteral("\"%1\" not found.").arg(search_));
}

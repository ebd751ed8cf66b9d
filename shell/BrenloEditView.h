// The plain-text view of a document and the edit commands that text windows share.
#pragma once

#include <QPlainTextEdit>
#include <optional>

/// Runs edit command `id` (Undo, Cut, Copy, Paste, Clear All, Delete) on `edit`; false if not one.
bool runEditCommand(QPlainTextEdit* edit, int id);
/// The enabler of edit command `id` on `edit`; empty when `id` is not an edit command.
std::optional<bool> editCommandEnabled(QPlainTextEdit* edit, int id);
/// Lets the accelerators of menu 100 win over a text window's own keys.
void preferAccelerators(QPlainTextEdit* edit);

/// The view of a plain document: a text editor with a file, Find, Replace and Next.
class brenloEditView : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit brenloEditView(QWidget* parent = nullptr);
  /// The view's name, "Edit View".
  static const char* viewName() { return "Edit View"; }

  /// The file the document was last saved to; empty for a new document.
  const QString& fileName() const { return fileName_; }
  /// Writes the text to `path` safely; false (and a report) when it could not be written.
  bool saveTo(const QString& path);
  /// True when the text changed since it was made or last saved.
  bool isChanged() const { return document()->isModified(); }

  /// Runs Find, Replace or Next; false when `id` is none of them.
  bool runSearchCommand(int id);
  /// Looks for `text` from the cursor on (wrapping once); true and selected when found.
  bool findNext(const QString& text, bool matchCase);
  /// Replaces every match of `text` by `with`; answers the count.
  int replaceAll(const QString& text, const QString& with, bool matchCase);
  /// The last text looked for.
  const QString& lastSearch() const { return search_; }

 private:
  void find();
  void replace();
  void next();

  QString fileName_;
  QString search_;
  QString replaceWith_;
  bool matchCase_ = false;
};

// The main window: menus, control bar, status bar, the report console and plain documents.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include "shell/BrenloEditView.h"
#include "shell/CommandTarget.h"
#include "support/ErrorReporter.h"

class CommandMenus;
class QLabel;
class QPlainTextEdit;

/// The console keeps at most this many characters before it is flushed.
inline constexpr int kConsoleRoom = 32000;

/// The main window "Brenlo". Its client is the report console, or the view of a
/// plain document while one is open. It is the ErrorHandler of the program.
class SDIDecFrame : public QMainWindow, public ErrorHandler, public CommandTarget {
  Q_OBJECT
 public:
  explicit SDIDecFrame(QWidget* parent = nullptr);
  ~SDIDecFrame() override;

  /// Adds a report line to the console; answers -1 when the console is not the client.
  int showReport(int severity, const char* text) override;

  /// The report console (owned even while a document is the client).
  QPlainTextEdit* console() const { return console_; }
  /// The view of the open plain document, or null.
  brenloEditView* editView() const { return view_; }
  /// The client window: the document view, else the console.
  QWidget* client() const;
  /// The menus, accelerators and control bar of this window.
  CommandMenus* menus() const { return menus_; }
  /// The status-bar mode indicator labelled `text` ("CAPS", "NUM", "SCRL", "OVR"). The lock
  /// keys' indicators are blank where the platform does not tell their state.
  QLabel* indicator(const QString& text) const;

  /// New: a new plain document (the open one is closed first); false when cancelled.
  bool newDocument();
  /// Closes the plain document, asking to save a changed one; false when the user kept it.
  bool closeDocument();
  /// Asks to save a changed plain document and saves on Yes; true when it may close.
  bool mayCloseDocument();
  /// Save and Save As of the plain document; false when nothing was written.
  bool saveDocument();
  bool saveDocumentAs();

  bool runCommand(int id) override;
  std::optional<bool> commandEnabled(int id) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  /// Keeps the whole window, title bar and all, on the screen.
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void updateCaption();
  void updateIndicators();
  void updateLockIndicators();
  /// Closes the plain document without asking.
  void dropDocument();

  QPlainTextEdit* console_;
  QPointer<brenloEditView> view_;
  CommandMenus* menus_;
  std::map<QString, QLabel*> indicators_;
};

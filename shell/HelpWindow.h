// The help window that shows the editor's own HTML help.
#pragma once

#include <QMainWindow>

class QTextBrowser;

/// A window with a browser on the help folder: contents, help on help and command topics.
class HelpWindow : public QMainWindow {
  Q_OBJECT
 public:
  /// Shows pages from `folder`.
  explicit HelpWindow(const QString& folder, QWidget* parent = nullptr);
  /// Shows the contents page.
  bool showContents();
  /// Shows the page on using help.
  bool showUsingHelp();
  /// Shows the topic of command `id`; the contents when it has none. False when no page exists.
  bool showTopic(int id);
  /// The page (and anchor) shown now.
  QUrl current() const;
  QTextBrowser* browser() const { return browser_; }

 private:
  bool showPage(const QString& page, const QString& anchor = {});
  QString folder_;
  QTextBrowser* browser_;
};

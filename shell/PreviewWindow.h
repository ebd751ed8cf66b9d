// The print preview: one or two pages of the printout with its control bar.
#pragma once

#include <QDialog>
#include <QSize>
#include <memory>

#include "shell/PrintOut.h"

class QAction;
class QLineEdit;
class QPrinter;
class QToolBar;

/// The page numbers the preview shows and the rules of its buttons.
struct PreviewPages {
  int fromPage = 1, toPage = 1, minPage = 1, maxPage = 1;
  bool twoPages = false;
  int secondPage = 0;  // the page in the second place; 0 shows a blank page
  bool landscape = false;  // printable width greater than its height

  bool canPrevious() const { return fromPage != 1; }
  bool canNext() const { return toPage != maxPage; }
  bool canTwoPages() const { return !landscape; }
  void previous();
  void next();
  void showOnePage();
  void showTwoPages();
  /// "Page %d", or "Page %d - %d" when two different pages are shown.
  QString text() const;
};

/// Where the pages go in a layout area of `area`, for a printable extent of `printable`.
/// The first page starts 15 units from the left and top edges; the second follows 30 units on.
QRect previewPageRect(QSize area, QSize printable, int index);

/// The modal preview over the main window: the pages and the control bar
/// (previous, next, one page, two pages, the page field, Print, done).
class PreviewWindow : public QDialog {
  Q_OBJECT
 public:
  /// Previews `window` as printed on `printer`; neither is owned.
  PreviewWindow(QWidget* owner, QWidget* window, QPrinter* printer);
  ~PreviewWindow() override;

  const PreviewPages& pages() const { return pages_; }
  /// The control with command id `id` (24500 to 24505, 24337).
  QAction* control(int id) const;
  /// The page field's text.
  QString pageField() const;
  QToolBar* controlBar() const { return bar_; }
  /// The layout area on which the pages are drawn.
  QWidget* layoutWindow() const { return layout_; }
  /// A picture of page `page` (0 for blank) at `size`.
  QImage pageImage(int page, QSize size) const;

 private:
  void refresh();

  QPrinter* printer_;
  APXPrintOut printOut_;
  QSize printable_;
  PreviewPages pages_;
  QToolBar* bar_;
  QLineEdit* field_;
  QWidget* layout_;
  std::map<int, QAction*> controls_;
};

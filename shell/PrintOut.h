// Lays the main window's client out on printer pages, one screen pixel to its size on paper.
#pragma once

#include <QFont>
#include <QPointer>
#include <QSizeF>
#include <QString>
#include <QStringList>

class QPainter;
class QPrinter;
class QWidget;

/// Fallback font of a window without its own: "Arial", 12 pixels, normal weight.
QFont printFallbackFont();

/// The printout of one window. A text window is printed line by line, so that
/// every line lands on exactly one page; any other window paints itself on one page.
class APXPrintOut {
 public:
  APXPrintOut(QWidget* window, QString title);

  /// The printout's title ("Title" for Print, "Print Preview" for the preview).
  const QString& title() const { return title_; }

  /// Lays out for pages of `pagePixels` device pixels at `dpiX`×`dpiY`; answers the page count.
  int beginPrinting(QSizeF pagePixels, double dpiX, double dpiY);
  /// The same for the printable area of `printer`.
  int beginPrinting(const QPrinter& printer);

  /// The page size in screen pixels of the last layout.
  QSizeF screenPage() const { return screenPage_; }
  int lineHeight() const { return lineHeight_; }
  int linesPerPage() const { return linesPerPage_; }
  int minPage() const { return 1; }
  int maxPage() const { return maxPage_; }
  /// True exactly for pages from min-page to max-page.
  bool hasPage(int page) const { return page >= minPage() && page <= maxPage(); }

  /// Paints `page` with `painter`, whose device has the geometry given to beginPrinting.
  void printPage(QPainter& painter, int page) const;
  /// Prints pages `from` to `to` (0 for all) on `printer`; false when the printer failed.
  bool print(QPrinter& printer, int from = 0, int to = 0);

 private:
  QPointer<QWidget> window_;
  QString title_;
  QFont font_;
  QStringList lines_;  // empty when the window is not a text window
  bool text_ = false;
  QSizeF screenPage_;
  double scaleX_ = 1, scaleY_ = 1;
  int lineHeight_ = 10;
  int linesPerPage_ = 1;
  int maxPage_ = 1;
};

// Paginates and paints the main window's client for the printer and the preview.
#include "shell/PrintOut.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTextBlock>
#include <QWidget>
#include <algorithm>

namespace {
constexpr int kLineRoom = 255;  // characters of a line read for printing
}

QFont printFallbackFont() {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  font.setWeight(QFont::Normal);
  return font;
}

APXPrintOut::APXPrintOut(QWidget* window, QString title) : window_(window), title_(std::move(title)) {}

int APXPrintOut::beginPrinting(QSizeF pagePixels, double dpiX, double dpiY) {
  // One screen pixel covers the same size on paper as on the screen.
  const double screenX = window_ ? window_->logicalDpiX() : 96.0;
  const double screenY = window_ ? window_->logicalDpiY() : 96.0;
  scaleX_ = dpiX / screenX;
  scaleY_ = dpiY / screenY;
  screenPage_ = QSizeF(pagePixels.width() * screenX / dpiX, pagePixels.height() * screenY / dpiY);

  auto* edit = qobject_cast<QPlainTextEdit*>(window_.data());
  text_ = edit != nullptr;
  font_ = window_ ? window_->font() : printFallbackFont();
  // The painter is already scaled from screen pixels to printer pixels: a font sized in
  // points would grow with the printer's resolution a second time, so it takes the pixel
  // size it has on the screen.
  if (font_.pixelSize() <= 0) font_.setPixelSize(std::max(1, qRound(font_.pointSizeF() * screenY / 72.0)));
  lines_.clear();
  if (edit) {
    for (QTextBlock b = edit->document()->begin(); b.isValid(); b = b.next())
      lines_.append(b.text().left(kLineRoom));
    if (lines_.isEmpty()) lines_.append(QString());  // an empty text still has one line
  }
  QFontMetrics metrics(font_);
  lineHeight_ = metrics.height() + metrics.leading();
  if (lineHeight_ <= 0) lineHeight_ = 10;
  linesPerPage_ = std::max(1, static_cast<int>(screenPage_.height()) / lineHeight_);
  // Exactly as many pages as the lines fill; a full last page adds no blank one.
  maxPage_ = text_ ? std::max(1, static_cast<int>((lines_.size() + linesPerPage_ - 1) / linesPerPage_)) : 1;
  return maxPage_;
}

int APXPrintOut::beginPrinting(const QPrinter& printer) {
  QRectF page = printer.pageRect(QPrinter::DevicePixel);
  return beginPrinting(page.size(), printer.logicalDpiX(), printer.logicalDpiY());
}

void APXPrintOut::printPage(QPainter& painter, int page) const {
  if (!hasPage(page) || !window_) return;
  painter.save();
  painter.scale(scaleX_, scaleY_);
  painter.setClipRect(QRectF(QPointF(0, 0), screenPage_));
  if (text_) {
    painter.setFont(font_);
    painter.setPen(Qt::black);
    const int ascent = QFontMetrics(font_).ascent();
    const int first = (page - 1) * linesPerPage_;
    for (int i = 0; i < linesPerPage_ && first + i < lines_.size(); ++i)
      painter.drawText(0, i * lineHeight_ + ascent, lines_[first + i]);
  } else {
    window_->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
  }
  painter.restore();
}

bool APXPrintOut::print(QPrinter& printer, int from, int to) {
  printer.setDocName(title_);
  beginPrinting(printer);
  if (from <= 0) from = minPage();
  if (to <= 0 || to > maxPage()) to = maxPage();
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  for (int page = from; page <= to; ++page) {
    if (page > from && !printer.newPage()) return false;
    printPage(painter, page);
  }
  return painter.end();
}

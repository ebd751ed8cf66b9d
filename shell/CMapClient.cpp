// The map view: painting what changed, passing the mouse to elements, Undo, Redo, Save and Save As.
#include "shell/CMapClient.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QNativeGestureEvent>
#include <QPushButton>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <unordered_set>

#include "commands/Command.h"
#include "commands/CommandTypes.h"
#include "file/GraphML.h"
#include "file/MapFile.h"
#include "drawing/ViewScale.h"
#include "model/Clipboard.h"
#include "model/Node.h"
#include "model/SensitiveGraphic.h"
#include "shell/Commands.h"
#include "shell/ExportDialog.h"
#include "shell/MapExport.h"
#include "shell/QtDrawingContext.h"
#include "shell/RecentFiles.h"

namespace {

// Mouse key-state flags as elements expect them.
constexpr unsigned kKeyLeft = 0x0001;
constexpr unsigned kKeyRight = 0x0002;
constexpr unsigned kKeyShift = 0x0004;
constexpr unsigned kKeyMiddle = 0x0010;

unsigned keysOf(const QMouseEvent* e) {
  unsigned keys = 0;
  if (e->buttons() & Qt::LeftButton) keys |= kKeyLeft;
  if (e->buttons() & Qt::RightButton) keys |= kKeyRight;
  if (e->buttons() & Qt::MiddleButton) keys |= kKeyMiddle;
  if (e->modifiers() & Qt::ShiftModifier) keys |= kKeyShift;
  if (e->modifiers() & Qt::ControlModifier) keys |= kKeyControl;
  return keys;
}

// The zoom steps of Zoom In and Zoom Out.
constexpr double kZoomSteps[] = {0.05, 0.1, 0.15, 0.2, 0.25, 0.33, 0.5, 0.67, 0.75, 1.0,
                                 1.25, 1.5, 2.0, 3.0, 4.0, 5.0, 6.0, 8.0};
// The room around the elements that the scroll bars reach past them, in widget pixels.
constexpr int kScrollMargin = 20;
// One notch of the wheel scrolls this far, in widget pixels; with Control it zooms by this factor.
constexpr double kWheelStep = 60.0;
constexpr double kWheelZoom = 1.25;

// Folded for finding: compatibility decomposition without its combining marks, case-folded.
QString folded(const QString& text) {
  const QString decomposed = text.normalized(QString::NormalizationForm_KD);
  QString out;
  out.reserve(decomposed.size());
  for (QChar c : decomposed) {
    const QChar::Category kind = c.category();
    if (kind == QChar::Mark_NonSpacing || kind == QChar::Mark_SpacingCombining || kind == QChar::Mark_Enclosing)
      continue;
    out.append(c);
  }
  return out.toCaseFolded();
}

const char* labelOf(Graphic* g) {
  auto* node = dynamic_cast<Node*>(g);
  return node ? node->getLabel() : nullptr;
}

}  // namespace

template <class F>
void CMapClient::guarded(F&& f) {
  // Nothing thrown by an element may cross the window system.
  try {
    f();
  } catch (const Graphic::Exception& e) {
    e.report(nullptr, 'E');
  } catch (const std::exception& e) {
    reportError(nullptr, 'E', "CMapClient: %s", e.what());
  }
}

CMapClient::CMapClient(QWidget* parent) : QWidget(parent) { setUp(); }

CMapClient::CMapClient(QWidget* parent, const std::string& fileName) : QWidget(parent), fileName_(fileName) {
  setUp();
  setWindowTitle(QString::fromLocal8Bit(fileName.c_str()));
  // Stamped before reading: a change made while it is read is noticed at the next save.
  stamp_ = stampOfFile(fileName);
  std::ifstream in(fileName, std::ios::binary);
  load(in, fileName);
}

CMapClient::CMapClient(QWidget* parent, std::istream& in) : QWidget(parent) {
  setUp();
  setWindowTitle(QStringLiteral("QOR Brenlo"));
  load(in, {});
}

// The elements go before the widget, and none of them repaints on the way out.
CMapClient::~CMapClient() { document_.closeDown(); }

void CMapClient::setUp() {
  setWindowTitle(QStringLiteral("New Map"));
  setObjectName(QStringLiteral("CMapClient"));
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_AcceptTouchEvents, false);
  horizontal_ = new QScrollBar(Qt::Horizontal, this);
  vertical_ = new QScrollBar(Qt::Vertical, this);
  for (QScrollBar* bar : {horizontal_, vertical_}) {
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setCursor(Qt::ArrowCursor);
    bar->hide();
    connect(bar, &QScrollBar::valueChanged, this, [this] { scrollBarMoved(); });
  }
  document_.setView(this);
  // The history moved, or the map was saved or changed past undoing: captions and enablers follow.
  document_.history().setChangeCallback([this] {
    updateScrollBars();
    emit historyChanged();
  });
}

void CMapClient::load(std::istream& in, const std::string& name) {
  loadFailed_ = !init(document_, in, name);
  document_.history().markClean();
  updateScrollBars();
}

bool CMapClient::restore(const std::string& copyFile, const std::string& original) {
  std::ifstream in(copyFile, std::ios::binary);
  load(in, copyFile);
  if (loadFailed_) return false;
  fileName_ = original;
  // The user chose to put the copy in place of the file as it is now.
  stamp_ = original.empty() ? FileStamp{} : stampOfFile(original);
  setWindowTitle(original.empty() ? QStringLiteral("New Map") : QString::fromLocal8Bit(original.c_str()));
  document_.history().loseClean();
  return true;
}

QString CMapClient::documentName() const {
  return fileName_.empty() ? QStringLiteral("New View") : QString::fromLocal8Bit(fileName_.c_str());
}

bool CMapClient::save() {
  if (fileName_.empty()) return saveAs();
  return saveTo(fileName_);
}

bool CMapClient::saveAs() {
  QFileDialog dialog(this, QStringLiteral("Save As"), QStringLiteral("."));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters({QStringLiteral("CMap Files (*.CM)"), QStringLiteral("GraphML (*.graphml)")});
  dialog.setDefaultSuffix(QStringLiteral("CM"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  // The dialog has asked already whether an existing file may be replaced.
  return writeTo(dialog.selectedFiles().first().toLocal8Bit().toStdString());
}

namespace {

enum class Overwrite { Yes, Elsewhere, No };

// Asks whether a save may overwrite a file that holds more than, or other than, the map.
Overwrite askOverwrite(QWidget* window, const QString& question) {
  QMessageBox box(QMessageBox::Warning, window->windowTitle(), question, QMessageBox::NoButton, window);
  box.setTextFormat(Qt::PlainText);
  QPushButton* overwrite = box.addButton(QStringLiteral("Overwrite"), QMessageBox::AcceptRole);
  QPushButton* elsewhere = box.addButton(QStringLiteral("Save As..."), QMessageBox::ActionRole);
  box.setDefaultButton(box.addButton(QMessageBox::Cancel));
  box.exec();
  if (box.clickedButton() == overwrite) return Overwrite::Yes;
  return box.clickedButton() == elsewhere ? Overwrite::Elsewhere : Overwrite::No;
}

}  // namespace

bool CMapClient::saveTo(const std::string& fileName) {
  const bool ownFile = !fileName_.empty() && fileName == fileName_;
  const QString name = QString::fromLocal8Bit(fileName.c_str());
  QString question;
  if (ownFile && document_.readIncompletely()) {
    question = QStringLiteral("'%1' could not be read completely: saving replaces it with what was read. Overwrite it?")
                   .arg(name);
  } else if (ownFile) {
    // A file that is gone has nothing to lose; one that another program wrote has.
    const FileStamp now = stampOfFile(fileName);
    if (now.exists && now != stamp_)
      question = QStringLiteral("'%1' was changed by another program since it was opened. Overwrite it?").arg(name);
  }
  if (!question.isEmpty()) {
    switch (askOverwrite(this, question)) {
      case Overwrite::Yes:
        break;
      case Overwrite::Elsewhere:
        return saveAs();
      case Overwrite::No:
        return false;
    }
  }
  return writeTo(fileName);
}

bool CMapClient::writeTo(const std::string& fileName) {
  std::string why;
  // A map opened from GraphML is saved back as GraphML; every other file is a .CM map.
  const bool saved =
      isGraphMLFileName(fileName) ? saveGraphML(document_, fileName, &why) : ::save(document_, fileName, &why);
  if (!saved) {
    emit historyChanged();
    // The console line is easily hidden behind this window: the window tells it too.
    QMessageBox box(QMessageBox::Warning, windowTitle(), QString::fromLocal8Bit(why.c_str()), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return false;
  }
  fileName_ = fileName;
  noteRecentFile(QString::fromLocal8Bit(fileName.c_str()));
  stamp_ = stampOfFile(fileName);
  document_.setReadIncompletely(false);  // the file holds the map now
  setWindowTitle(QString::fromLocal8Bit(fileName.c_str()));
  document_.history().markClean();
  return true;
}

void CMapClient::exportWithDialog() {
  const QString suggested =
      fileName_.empty() ? QDir::current().filePath(QStringLiteral("New Map.png"))
                        : QFileInfo(QString::fromLocal8Bit(fileName_.c_str())).dir().filePath(
                              QFileInfo(QString::fromLocal8Bit(fileName_.c_str())).completeBaseName() +
                              QStringLiteral(".png"));
  ExportDialog dialog(window(), suggested, !document_.selection().empty());
  if (dialog.exec() != QDialog::Accepted) return;
  exportTo(dialog.fileName(), dialog.selectionOnly(), dialog.scale());
}

bool CMapClient::exportTo(const QString& fileName, bool selectionOnly, double scale) {
  std::string error;
  bool done = false;
  guarded([&] { done = exportMap(document_, fileName.toLocal8Bit().toStdString(), error, {selectionOnly, scale}); });
  update();  // the handles that were off while painting
  if (done) {
    emit statusMessage(QStringLiteral("Exported to %1").arg(fileName));
    return true;
  }
  reportError(nullptr, 'E', "Can't export to '%s': %s", fileName.toLocal8Bit().constData(), error.c_str());
  QMessageBox box(QMessageBox::Warning, windowTitle(),
                  QStringLiteral("Can't export to '%1': %2").arg(fileName, QString::fromLocal8Bit(error.c_str())),
                  QMessageBox::Ok, this);
  box.setTextFormat(Qt::PlainText);
  box.exec();
  return false;
}

void CMapClient::deleteSelection() {
  guarded([this] {
    if (std::unique_ptr<Command> all = document_.doGenerateCommand(kCmdDelete, nullptr, nullptr))
      document_.submitCommand(std::move(all));
  });
}

bool CMapClient::runCommand(int id) {
  switch (id) {
    case cm::ObjectResize:
      return true;
    case cm::EditUndo:
      document_.history().undo();
      return true;
    case cm::EditRedo:
      document_.history().redo();
      return true;
    case cm::FileSave:
      save();
      return true;
    case cm::FileSaveAs:
      saveAs();
      return true;
    case cm::EditDelete:
      deleteSelection();
      return true;
    case cm::EditCut:
      cutSelection();
      return true;
    case cm::EditCopy:
      copySelection();
      return true;
    case cm::EditPaste:
      paste();
      return true;
    case cm::EditFind:
      findWithPrompt();
      return true;
    case cm::EditFindNext:
      findAgain(true);
      return true;
    default:
      return false;
  }
}

std::optional<bool> CMapClient::commandEnabled(int id) {
  switch (id) {
    case cm::ObjectResize:
    case cm::FileSave:
    case cm::FileSaveAs:
    case cm::EditFind:
    case cm::EditFindNext:
      return true;
    case cm::EditUndo:
      return document_.history().undoCount() > 0;
    case cm::EditRedo:
      return document_.history().canRedo();
    case cm::EditDelete:
    case cm::EditCut:
    case cm::EditCopy:
      return !document_.selection().empty();
    case cm::EditPaste: {
      const QMimeData* data = QApplication::clipboard()->mimeData();
      return data && (data->hasFormat(QString::fromLatin1(kMapMimeType)) || data->hasText());
    }
    default:
      return std::nullopt;
  }
}

void CMapClient::repaintArea(const RECT& r) {
  if (r.left == kWholeArea.left && r.top == kWholeArea.top && r.right == kWholeArea.right &&
      r.bottom == kWholeArea.bottom) {
    update();
    return;
  }
  // The map rectangle's edges are inside it; a pixel more on each side covers the rounding.
  const QRectF shown = viewTransform().mapRect(QRectF(QPointF(r.left, r.top), QPointF(r.right + 1.0, r.bottom + 1.0)));
  const QRectF bounds(rect());
  const QRectF clipped = shown.adjusted(-1, -1, 1, 1).intersected(bounds);
  if (!clipped.isEmpty()) update(clipped.toAlignedRect());
}

void CMapClient::paintArea(QPainter& painter, const RECT& area) {
  // The map's area index gives the elements near the area; nothing else is visited.
  QtDrawingContext dc(painter);
  ViewScaleScope scale(zoom_);
  document_.drawArea(dc, area);
}

void CMapClient::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setTransform(viewTransform());
  // The map area behind the pixels to paint, one unit more around for the rounding.
  const QRectF area = viewTransform().inverted().mapRect(QRectF(event->rect()));
  const auto edge = [](double v) { return clampCoordinate(static_cast<std::int64_t>(std::floor(v))); };
  const RECT r{edge(area.left()) - 1, edge(area.top()) - 1, edge(area.right()) + 1, edge(area.bottom()) + 1};
  guarded([&] { paintArea(painter, r); });
}

void CMapClient::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (setUpDone_) return;
  setUpDone_ = true;
  // Once shown, a map without a file is a "New View" in its frame's caption.
  if (fileName_.empty() && parentWidget()) emit historyChanged();
}

POINT CMapClient::mapPointOf(const QMouseEvent* event) const {
  const QPointF p = event->position();
  return windowToMap(POINT{static_cast<std::int32_t>(std::floor(p.x())), static_cast<std::int32_t>(std::floor(p.y()))});
}

void CMapClient::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && spaceHeld_)) {
    // The middle button, or the left one with Space held, drags the view.
    panning_ = true;
    panFrom_ = event->position().toPoint();
    panOrigin_ = origin_;
    setCursor(Qt::ClosedHandCursor);
    return;
  }
  const unsigned keys = keysOf(event);
  const POINT p = mapPointOf(event);
  ViewScaleScope scale(zoom_);
  guarded([&] {
    switch (event->button()) {
      case Qt::LeftButton:
        if (SensitiveGraphic* s = document_.findSensitiveAt(p)) {
          s->leftButtonDown(keys, p);
        } else {
          document_.setCaptured(nullptr);
          document_.rubberBandSelect(keys, p);  // a press on empty space selects by a rubber band
        }
        break;
      case Qt::RightButton:
        document_.rightButtonDown(keys, p);  // the walk through the elements, then the map's popup
        break;
      default:
        break;
    }
  });
}

void CMapClient::mouseReleaseEvent(QMouseEvent* event) {
  if (panning_) {
    if (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton) {
      panning_ = false;
      unsetCursor();
    }
    return;
  }
  const unsigned keys = keysOf(event);
  const POINT p = mapPointOf(event);
  ViewScaleScope scale(zoom_);
  guarded([&] {
    SensitiveGraphic* s = document_.findSensitiveAt(p);
    if (event->button() == Qt::LeftButton) {
      if (s) s->leftButtonUp(keys, p); else document_.setCaptured(nullptr);
    } else if (event->button() == Qt::RightButton) {
      if (s) s->rightButtonUp(keys, p); else document_.setCaptured(nullptr);
    }
  });
}

void CMapClient::mouseDoubleClickEvent(QMouseEvent* event) {
  if (panning_) return;
  const unsigned keys = keysOf(event);
  const POINT p = mapPointOf(event);
  ViewScaleScope scale(zoom_);
  guarded([&] {
    SensitiveGraphic* s = document_.findSensitiveAt(p);
    switch (event->button()) {
      case Qt::LeftButton:
      case Qt::MiddleButton:  // both answered by the element's left double click
        if (s) s->leftDoubleClick(keys, p);
        else if (event->button() == Qt::LeftButton) document_.leftDoubleClick(keys, p);  // empty space: a new node
        else document_.setCaptured(nullptr);
        break;
      case Qt::RightButton:
        if (s) s->rightDoubleClick(keys, p); else document_.setCaptured(nullptr);
        break;
      default:
        break;
    }
  });
}

void CMapClient::linkNewConcept() {
  guarded([&] {
    if (!document_.quickLinkSelection()) QApplication::beep();
  });
}

void CMapClient::mouseMoveEvent(QMouseEvent* event) {
  if (panning_) {
    const QPointF moved = event->position() - QPointF(panFrom_);
    scrollTo(panOrigin_ - moved / zoom_);
    return;
  }
  const unsigned keys = keysOf(event);
  const POINT p = mapPointOf(event);
  ViewScaleScope scale(zoom_);
  guarded([&] {
    if (SensitiveGraphic* s = document_.findSensitiveAt(p)) s->mouseMove(keys, p);
  });
}

// ---- zoom and scroll -------------------------------------------------------------------

QTransform CMapClient::viewTransform() const {
  return QTransform(zoom_, 0, 0, zoom_, -origin_.x() * zoom_, -origin_.y() * zoom_);
}

POINT CMapClient::mapToWindow(const POINT& p) const {
  const QPointF w = viewTransform().map(QPointF(p.x, p.y));
  return POINT{clampCoordinate(std::llround(w.x())), clampCoordinate(std::llround(w.y()))};
}

POINT CMapClient::windowToMap(const POINT& p) const {
  // The map unit a pixel falls in: the centre of the pixel, rounded down.
  const QPointF m = viewTransform().inverted().map(QPointF(p.x + 0.5, p.y + 0.5));
  return POINT{clampCoordinate(static_cast<std::int64_t>(std::floor(m.x()))),
               clampCoordinate(static_cast<std::int64_t>(std::floor(m.y())))};
}

RECT CMapClient::visibleMapArea() const {
  const POINT a = windowToMap({0, 0});
  const POINT b = windowToMap({width() - 1, height() - 1});
  return {a.x, a.y, b.x, b.y};
}

void CMapClient::setZoom(double zoom, std::optional<QPointF> anchor) {
  zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
  const QPointF at = anchor.value_or(QPointF(width() / 2.0, height() / 2.0));
  const QPointF fixed = viewTransform().inverted().map(at);  // the map point under the anchor
  if (zoom != zoom_) {
    zoom_ = zoom;
    emit zoomChanged(zoom_);
  }
  origin_ = fixed - at / zoom_;
  updateScrollBars();
  update();
}

void CMapClient::zoomIn() {
  for (double step : kZoomSteps)
    if (step > zoom_ * 1.001) return setZoom(step);
}

void CMapClient::zoomOut() {
  for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
    if (*it < zoom_ / 1.001) return setZoom(*it);
}

void CMapClient::actualSize() { setZoom(1.0); }

RECT CMapClient::mapExtent() const {
  RECT out{0, 0, -1, -1};
  bool any = false;
  for (Graphic* g : document_) {
    const RECT r = g->invalidRect();
    out = any ? RECT{std::min(out.left, r.left), std::min(out.top, r.top), std::max(out.right, r.right),
                     std::max(out.bottom, r.bottom)}
              : r;
    any = true;
  }
  return out;
}

void CMapClient::fitMap() {
  const RECT extent = mapExtent();
  if (extent.right < extent.left) return actualSize();
  const double w = std::max(1.0, double(extent.right) - extent.left + 1);
  const double h = std::max(1.0, double(extent.bottom) - extent.top + 1);
  const double roomX = std::max(1, width() - 2 * kScrollMargin);
  const double roomY = std::max(1, height() - 2 * kScrollMargin);
  const double zoom = std::clamp(std::min({roomX / w, roomY / h, 1.0}), kMinZoom, kMaxZoom);
  if (zoom != zoom_) {
    zoom_ = zoom;
    emit zoomChanged(zoom_);
  }
  // Centred in the widget.
  const QPointF centre((double(extent.left) + extent.right + 1) / 2, (double(extent.top) + extent.bottom + 1) / 2);
  origin_ = centre - QPointF(width() / 2.0, height() / 2.0) / zoom_;
  updateScrollBars();
  update();
}

void CMapClient::scrollTo(const QPointF& mapTopLeft) {
  const QPointF limited(std::clamp(mapTopLeft.x(), double(-kCoordinateLimit), double(kCoordinateLimit)),
                        std::clamp(mapTopLeft.y(), double(-kCoordinateLimit), double(kCoordinateLimit)));
  if (limited == origin_) return;
  origin_ = limited;
  updateScrollBars();
  update();
}

void CMapClient::scrollByPixels(const QPointF& pixels) { scrollTo(origin_ + pixels / zoom_); }

void CMapClient::ensureVisible(const RECT& area) {
  const double margin = kScrollMargin / zoom_;
  QPointF to = origin_;
  const double viewW = (width() - (vertical_->isVisible() ? vertical_->width() : 0)) / zoom_;
  const double viewH = (height() - (horizontal_->isVisible() ? horizontal_->height() : 0)) / zoom_;
  // Too big an area shows its top-left part.
  if (area.right + margin > to.x() + viewW) to.setX(area.right + margin - viewW);
  if (area.left - margin < to.x()) to.setX(area.left - margin);
  if (area.bottom + margin > to.y() + viewH) to.setY(area.bottom + margin - viewH);
  if (area.top - margin < to.y()) to.setY(area.top - margin);
  scrollTo(to);
}

void CMapClient::updateScrollBars() {
  if (!horizontal_ || settingBars_) return;
  settingBars_ = true;
  // The bars reach over the elements and a margin, and over what is shown now.
  const RECT extent = mapExtent();
  const QTransform t = viewTransform();
  QRectF elements, content;
  if (extent.right >= extent.left) {
    elements = t.mapRect(QRectF(QPointF(extent.left, extent.top), QPointF(extent.right + 1.0, extent.bottom + 1.0)));
    content = elements.adjusted(-kScrollMargin, -kScrollMargin, kScrollMargin, kScrollMargin);
  }
  // A bar shows when some element is out of sight along its axis.
  const int barW = vertical_->sizeHint().width(), barH = horizontal_->sizeHint().height();
  bool needH = false, needV = false;
  for (int pass = 0; pass < 2; ++pass) {
    const double viewW = width() - (needV ? barW : 0), viewH = height() - (needH ? barH : 0);
    needH = elements.isValid() && (elements.left() < -0.5 || elements.right() > viewW + 0.5);
    needV = elements.isValid() && (elements.top() < -0.5 || elements.bottom() > viewH + 0.5);
  }
  const int viewW = width() - (needV ? barW : 0), viewH = height() - (needH ? barH : 0);
  // Values are the scroll position in pixels of the zoomed map.
  const double x = origin_.x() * zoom_, y = origin_.y() * zoom_;
  const auto setBar = [](QScrollBar* bar, bool need, double value, double lo, double hi, int page) {
    bar->setVisible(need);
    if (!need) return;
    const auto clampInt = [](double v) { return int(std::clamp(std::floor(v), -1e9, 1e9)); };
    bar->setRange(clampInt(std::min(lo, value)), clampInt(std::max(hi, value)));
    bar->setPageStep(std::max(1, page));
    bar->setSingleStep(20);
    bar->setValue(clampInt(value));
  };
  setBar(horizontal_, needH, x, x + content.left(), x + content.right() - viewW, viewW);
  setBar(vertical_, needV, y, y + content.top(), y + content.bottom() - viewH, viewH);
  horizontal_->setGeometry(0, height() - barH, viewW, barH);
  vertical_->setGeometry(width() - barW, 0, barW, viewH);
  settingBars_ = false;
}

void CMapClient::scrollBarMoved() {
  if (settingBars_) return;
  QPointF to = origin_;
  // A bar's value moves the view only along its own axis, and only when it changed.
  if (horizontal_->isVisible() && horizontal_->value() != int(std::floor(origin_.x() * zoom_)))
    to.setX(horizontal_->value() / zoom_);
  if (vertical_->isVisible() && vertical_->value() != int(std::floor(origin_.y() * zoom_)))
    to.setY(vertical_->value() / zoom_);
  scrollTo(to);
}

void CMapClient::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  updateScrollBars();
}

void CMapClient::wheelEvent(QWheelEvent* event) {
  const QPoint angle = event->angleDelta();
  if (event->modifiers() & Qt::ControlModifier) {
    const double notches = (angle.y() != 0 ? angle.y() : angle.x()) / 120.0;
    setZoom(zoom_ * std::pow(kWheelZoom, notches), event->position());
  } else if (event->modifiers() & Qt::ShiftModifier) {
    // Shift turns the wheel sideways (some systems have turned it already).
    const int d = angle.x() != 0 ? angle.x() : angle.y();
    scrollByPixels(QPointF(-d / 120.0 * kWheelStep, 0));
  } else {
    scrollByPixels(QPointF(-angle.x() / 120.0 * kWheelStep, -angle.y() / 120.0 * kWheelStep));
  }
  event->accept();
}

bool CMapClient::event(QEvent* event) {
  if (event->type() == QEvent::NativeGesture) {
    auto* gesture = static_cast<QNativeGestureEvent*>(event);
    if (gesture->gestureType() == Qt::ZoomNativeGesture) {
      setZoom(zoom_ * (1.0 + gesture->value()), gesture->position());
      return true;
    }
  }
  return QWidget::event(event);
}

// ---- keyboard --------------------------------------------------------------------------

void CMapClient::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  const int step = (mods & Qt::ShiftModifier) ? 10 : 1;
  switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      if (mods & (Qt::ControlModifier | Qt::AltModifier)) break;
      selectNext(event->key() == Qt::Key_Tab && !(mods & Qt::ShiftModifier));
      return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
      if (mods & ~Qt::ShiftModifier) break;
      const int dx = event->key() == Qt::Key_Left ? -step : event->key() == Qt::Key_Right ? step : 0;
      const int dy = event->key() == Qt::Key_Up ? -step : event->key() == Qt::Key_Down ? step : 0;
      nudgeSelection(dx, dy);
      return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
      if (mods != Qt::NoModifier) break;  // Control+Enter belongs to others
      editSelectedLabel();
      return;
    case Qt::Key_Escape:
      cancelGesture();
      return;
    case Qt::Key_A:
      if (mods != Qt::ControlModifier) break;
      selectAll();
      return;
    case Qt::Key_Delete:
      if (mods != Qt::NoModifier) break;
      deleteSelection();
      return;
    case Qt::Key_Space:
      if (!event->isAutoRepeat()) spaceHeld_ = true;
      return;
    default:
      break;
  }
  QWidget::keyPressEvent(event);
}

void CMapClient::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
    spaceHeld_ = false;
    return;
  }
  QWidget::keyReleaseEvent(event);
}

void CMapClient::showSelection() {
  const std::vector<Graphic*> chosen = document_.selection();
  if (chosen.empty()) return;
  RECT r = chosen.front()->invalidRect();
  for (Graphic* g : chosen) {
    const RECT i = g->invalidRect();
    r = {std::min(r.left, i.left), std::min(r.top, i.top), std::max(r.right, i.right), std::max(r.bottom, i.bottom)};
  }
  ensureVisible(r);
}

void CMapClient::selectNext(bool forward) {
  std::vector<Graphic*> all;
  for (Graphic* g : document_) all.push_back(g);
  if (all.empty()) return;
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(all.size());
  std::ptrdiff_t at = forward ? -1 : n;
  // From the front-most selected element onwards, from the back-most one backwards.
  for (std::ptrdiff_t i = 0; i < n; ++i) {
    if (!all[i]->isHighlighted()) continue;
    if (forward) at = i;
    else if (at == n) at = i;
  }
  const std::ptrdiff_t next = ((forward ? at + 1 : at - 1) % n + n) % n;
  document_.setAllHighlighted(false);
  all[next]->setHighlighted(true);
  showSelection();
}

void CMapClient::nudgeSelection(int dx, int dy) {
  guarded([&] {
    if (std::unique_ptr<Command> move = makeNudge(document_.selection(), dx, dy))
      document_.submitCommand(std::move(move));
  });
  showSelection();
}

void CMapClient::editSelectedLabel() {
  const std::vector<Graphic*> chosen = document_.selection();
  if (chosen.size() != 1) return;
  auto* node = dynamic_cast<Node*>(chosen.front());
  if (!node) return;
  guarded([&] {
    if (std::unique_ptr<Command> edit = node->doGenerateCommand(kCmdChangeLabel, nullptr, "Edit Label..."))
      node->submitCommand(std::move(edit));
  });
}

void CMapClient::selectAll() { document_.setAllHighlighted(true); }

void CMapClient::clearSelection() { document_.setAllHighlighted(false); }

void CMapClient::cancelGesture() {
  DragState& drag = document_.mapState().drag;
  if (SensitiveGraphic* dragged = drag.draggedGraphic) {
    drag.draggedGraphic = nullptr;
    document_.setCaptured(nullptr);
    guarded([&] { dragged->moveTo(drag.dragOrigin); });
  }
  if (panning_) {
    panning_ = false;
    unsetCursor();
  }
  clearSelection();
}

void CMapClient::arrangeSelection(Arrangement how) {
  guarded([&] {
    if (std::unique_ptr<Command> all = makeArrangement(how, document_.selection()))
      document_.submitCommand(std::move(all));
  });
}

// ---- find ------------------------------------------------------------------------------

void CMapClient::findWithPrompt() {
  QInputDialog dialog(this);
  dialog.setWindowTitle(QStringLiteral("Find"));
  dialog.setLabelText(QStringLiteral("Find what:"));
  dialog.setTextValue(findText_);
  if (dialog.exec() != QDialog::Accepted || dialog.textValue().isEmpty()) return;
  find(dialog.textValue(), true);
}

void CMapClient::findAgain(bool forward) {
  if (findText_.isEmpty()) return findWithPrompt();
  find(findText_, forward);
}

bool CMapClient::find(const QString& text, bool forward) {
  findText_ = text;
  const QString wanted = folded(text);
  std::vector<Graphic*> all;
  for (Graphic* g : document_) all.push_back(g);
  const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(all.size());
  std::ptrdiff_t from = forward ? -1 : n;
  for (std::ptrdiff_t i = 0; i < n; ++i)
    if (all[i]->isHighlighted() && (forward || from == n)) from = i;
  for (std::ptrdiff_t k = 1; k <= n && !wanted.isEmpty(); ++k) {
    Graphic* g = all[(((forward ? from + k : from - k) % n) + n) % n];
    const char* label = labelOf(g);
    if (!label || !folded(QString::fromUtf8(label)).contains(wanted)) continue;
    document_.setAllHighlighted(false);
    g->setHighlighted(true);
    showSelection();
    return true;
  }
  QApplication::beep();
  emit statusMessage(QStringLiteral("No label contains \"%1\"").arg(text));
  return false;
}

// ---- clipboard -------------------------------------------------------------------------

void CMapClient::copySelection() {
  const std::vector<Graphic*> chosen = document_.selection();
  if (chosen.empty()) return;
  auto* data = new QMimeData;
  guarded([&] {
    const std::string lines = copyAsComponentLines(chosen);
    data->setData(QString::fromLatin1(kMapMimeType), QByteArray::fromStdString(lines));
    data->setText(QString::fromUtf8(labelsAsText(chosen).c_str()));
  });
  QApplication::clipboard()->setMimeData(data);
}

void CMapClient::cutSelection() {
  if (document_.selection().empty()) return;
  copySelection();
  deleteSelection();
}

void CMapClient::paste() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (!data) return;
  const QString mapType = QString::fromLatin1(kMapMimeType);
  guarded([&] {
    std::unique_ptr<Command> added;
    if (data->hasFormat(mapType)) {
      const QByteArray lines = data->data(mapType);
      // Each paste of the same copy lands a step further from the originals.
      pasteCount_ = lines == lastPasted_ ? pasteCount_ + 1 : 1;
      lastPasted_ = lines;
      const std::int32_t step = 20 * pasteCount_;
      added = makePaste(document_, lines.toStdString(), step, step);
    } else if (data->hasText()) {
      const RECT shown = visibleMapArea();
      const POINT at{shown.left + static_cast<std::int32_t>(kScrollMargin / zoom_),
                     shown.top + static_cast<std::int32_t>(kScrollMargin / zoom_)};
      added = makePasteOfText(document_, data->text().toStdString(), at);
    }
    if (!added) return;
    // What was pasted becomes the selection, ready to be moved.
    std::unordered_set<const Graphic*> before;
    for (Graphic* g : document_) before.insert(g);
    if (document_.submitCommand(std::move(added)) < 0) return;
    document_.setAllHighlighted(false);
    for (Graphic* g : document_)
      if (!before.contains(g)) g->setHighlighted(true);
    showSelection();
  });
}

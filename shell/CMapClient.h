// The map view: the widget that shows one map document and passes the mouse to its elements.
#pragma once

#include <QPointF>
#include <QTransform>
#include <QWidget>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "file/SafeSave.h"
#include "model/Arrange.h"
#include "model/MapView.h"
#include "model/RootMap.h"
#include "shell/CommandTarget.h"
#include "shell/MapPrint.h"

class QPainter;
class QScrollBar;

/// Shows one map document, turns the mouse into calls on its elements and knows its
/// file: whether the map changed since it was read or last saved.
class CMapClient : public QWidget, public MapView, public CommandTarget, public PrintableMap {
  Q_OBJECT
 public:
  /// A new, empty map titled "New Map".
  explicit CMapClient(QWidget* parent = nullptr);
  /// A map read from `fileName`, titled with it; isOk() tells whether it was read.
  CMapClient(QWidget* parent, const std::string& fileName);
  /// A map read from a stream, titled "QOR Brenlo", with no file.
  CMapClient(QWidget* parent, std::istream& in);
  ~CMapClient() override;

  /// The map this window shows, with its history.
  RootMap& document() { return document_; }
  const RootMap& document() const { return document_; }

  /// Reads the recovery copy `copyFile` as the map of the file `original` (empty for a
  /// map never saved): the map counts as changed, and Save writes to `original`. False
  /// (the map empty) when the copy could not be read.
  bool restore(const std::string& copyFile, const std::string& original);

  /// True unless reading the map at construction failed.
  bool isOk() const { return !loadFailed_; }
  /// The file the map is read from and saved to; empty for none yet.
  const std::string& fileName() const { return fileName_; }
  /// True when the map differs from the one read or last saved.
  bool isChanged() const { return document_.isChanged(); }
  /// The name a user knows this map by: its file, or "New View".
  QString documentName() const;

  /// With one node selected, makes a node beside it joined by a "Directed" maplet, asks
  /// for its label and selects it, as one undoable step; a beep otherwise.
  void linkNewConcept();
  /// Save: writes to the file, or asks for one first; false when nothing was written.
  bool save();
  /// Save As: asks for a file with the save dialog and writes there; false when cancelled or failed.
  bool saveAs();
  /// Writes the map to `fileName`, which becomes the map's file; false (reported) when it failed.
  /// When the map's own file was changed by another program since this window read or last
  /// wrote it, asks first whether to overwrite it, save it elsewhere or cancel.
  bool saveTo(const std::string& fileName);
  /// File > Export...: asks where to (PNG, SVG, PDF or GraphML), what and how large, and
  /// writes the picture; a failure is shown.
  void exportWithDialog();
  /// Writes the map, or its selection, as `options` say into `fileName`; false (shown and
  /// reported) when it failed.
  bool exportTo(const QString& fileName, bool selectionOnly, double scale = 1.0);
  /// Deletes the selected elements as one undoable step.
  void deleteSelection();

  /// Resize (103, nothing), Undo, Redo, Save, Save As, Delete, Find and Find Next.
  bool runCommand(int id) override;
  std::optional<bool> commandEnabled(int id) override;

  /// Print and Print Preview print this map.
  CMap& printedMap() override { return document_; }
  QWidget* printOwner() override { return window(); }

  /// Draws the elements that meet `area` (map coordinates) with `painter`.
  void paintArea(QPainter& painter, const RECT& area);

  /// Repaints an area of the map, given in map coordinates.
  void repaintArea(const RECT& r) override;

  // Zoom and scroll. Every conversion between the map and this widget's pixels goes
  // through viewTransform: painting, the mouse, rubber bands, popups and repaints.

  /// Map coordinates to widget pixels: scaled by the zoom, shifted by the scroll position.
  QTransform viewTransform() const;
  POINT mapToWindow(const POINT& p) const override;
  POINT windowToMap(const POINT& p) const override;
  /// The part of the map the widget shows, in map coordinates.
  RECT visibleMapArea() const;

  static constexpr double kMinZoom = 0.05;
  static constexpr double kMaxZoom = 8.0;
  /// Pixels per map unit: 1 at actual size.
  double zoom() const { return zoom_; }
  /// Sets the zoom (within 5% and 800%), keeping the map point under `anchor` (widget
  /// pixels) where it is; the centre of the widget when none is given.
  void setZoom(double zoom, std::optional<QPointF> anchor = std::nullopt);
  void zoomIn();
  void zoomOut();
  void actualSize();
  /// The zoom and scroll position that show every element, at most actual size.
  void fitMap();
  /// The map point shown at the widget's top-left corner.
  QPointF scrollPosition() const { return origin_; }
  void scrollTo(const QPointF& mapTopLeft);
  /// Scrolls by a distance in widget pixels.
  void scrollByPixels(const QPointF& pixels);
  /// Scrolls as little as needed for the map area to be in sight.
  void ensureVisible(const RECT& area);

  // The keyboard and the menus of the map window.

  /// Selects the next (or previous) element in stacking order, wrapping, alone.
  void selectNext(bool forward);
  /// Moves the selection by (dx, dy) map units as one undoable step.
  void nudgeSelection(int dx, int dy);
  /// Edits the label of the one selected element, as its popup's "Edit Label..." does.
  void editSelectedLabel();
  void selectAll();
  void clearSelection();
  /// Arranges the selection as one undoable step.
  void arrangeSelection(Arrangement how);
  /// Asks for a text and finds the first element after the selection whose label holds it.
  void findWithPrompt();
  /// Finds the next (or previous) element whose label holds `text`, ignoring case and
  /// accents, from the selection on and wrapping; selects it and scrolls to it. False,
  /// with a beep and a status message, when none does.
  bool find(const QString& text, bool forward = true);
  /// Repeats the last find forwards or backwards (asks for a text when there was none).
  void findAgain(bool forward);
  /// Copies the selection to the clipboard: its component lines, and its labels as text.
  void copySelection();
  /// Copies the selection, then deletes it as one undoable step.
  void cutSelection();
  /// Pastes elements copied from a map (offset from where they were, further each time the
  /// same copy is pasted again), or a node for every line of plain text; one undoable step.
  void paste();
  /// The clipboard format of copied elements.
  static constexpr const char* kMapMimeType = "application/x-CMap";

  /// The text of the last find.
  const QString& findText() const { return findText_; }
  /// This widget, as the window elements track and pop up their menus in.
  /// (The interaction services take it back as a QWidget.)
  NativeWindow nativeWindow() const override { return static_cast<QWidget*>(const_cast<CMapClient*>(this)); }

 signals:
  /// The history moved or the map was saved: captions and enablers may change.
  void historyChanged();
  /// The zoom changed (pixels per map unit).
  void zoomChanged(double zoom);
  /// A short message for the window's status bar.
  void statusMessage(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;
  /// Tab and Shift+Tab walk through the elements instead of the widgets.
  bool focusNextPrevChild(bool) override { return false; }

 private:
  void setUp();
  void load(std::istream& in, const std::string& name);
  bool writeTo(const std::string& fileName);
  template <class F>
  void guarded(F&& f);
  POINT mapPointOf(const QMouseEvent* event) const;
  /// Where the map's elements lie, in map coordinates; empty (right < left) for none.
  RECT mapExtent() const;
  void updateScrollBars();
  void scrollBarMoved();
  /// Escape: a drag in progress goes back to where it started; the selection is cleared.
  void cancelGesture();
  void showSelection();

  RootMap document_;
  std::string fileName_;
  FileStamp stamp_;  // the file as this window read or last wrote it
  bool loadFailed_ = false;
  bool setUpDone_ = false;

  double zoom_ = 1.0;
  QPointF origin_;  // the map point at the widget's top-left corner
  QScrollBar* horizontal_ = nullptr;
  QScrollBar* vertical_ = nullptr;
  bool settingBars_ = false;
  bool panning_ = false;  // a middle-button or Space drag moves the view
  QPoint panFrom_;
  QPointF panOrigin_;
  bool spaceHeld_ = false;
  QString findText_;
  QByteArray lastPasted_;  // the copy pasted last, and how often in a row
  int pasteCount_ = 0;
};

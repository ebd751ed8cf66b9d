// The map view: the widget that shows one map document and passes the mouse to its elements.
#pragma once

#include <QWidget>
#include <iosfwd>
#include <string>
#include <vector>

#include "file/SafeSave.h"
#include "model/MapView.h"
#include "model/RootMap.h"
#include "shell/CommandTarget.h"

class QPainter;

/// Shows one map document, turns the mouse into calls on its elements and knows its
/// file: whether the map changed since it was read or last saved.
class CMapClient : public QWidget, public MapView, public CommandTarget {
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
  /// Deletes the selected elements as one undoable step.
  void deleteSelection();

  /// Resize (103, nothing), Undo, Redo, Save, Save As and Delete.
  bool runCommand(int id) override;
  std::optional<bool> commandEnabled(int id) override;

  /// Draws the elements that meet `area` (map coordinates) with `painter`.
  void paintArea(QPainter& painter, const RECT& area);

  /// Repaints an area of the map (map and widget coordinates are the same).
  void repaintArea(const RECT& r) override;
  /// This widget, as the window elements track and pop up their menus in.
  /// (The interaction services take it back as a QWidget.)
  NativeWindow nativeWindow() const override { return static_cast<QWidget*>(const_cast<CMapClient*>(this)); }

 signals:
  /// The history moved or the map was saved: captions and enablers may change.
  void historyChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void setUp();
  void load(std::istream& in, const std::string& name);
  bool writeTo(const std::string& fileName);
  template <class F>
  void guarded(F&& f);

  RootMap document_;
  std::string fileName_;
  FileStamp stamp_;  // the file as this window read or last wrote it
  bool loadFailed_ = false;
  bool setUpDone_ = false;
};

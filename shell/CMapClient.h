// The map view: one widget that is at once the map, its view and its command history.
#pragma once

#include <QWidget>
#include <iosfwd>
#include <string>
#include <vector>

#include "commands/Command.h"
#include "file/SafeSave.h"
#include "model/RootMap.h"
#include "shell/CommandTarget.h"

class QPainter;

/// Shows one map, turns the mouse into calls on its elements, keeps its history
/// and knows its file: whether the map changed since it was read or last saved.
class CMapClient : public QWidget, public RootMap, public CommandTarget {
  Q_OBJECT
 public:

  /// A new, empty map titled "New Map".
  explicit CMapClient(QWidget* parent = nullptr);
  /// A map read from `fileName`, titled with it; isOk() tells whether it was read.
  CMapClient(QWidget* parent, const std::string& fileName);
  /// A map read from a stream, titled "QOR Brenlo", with no file.
  CMapClient(QWidget* parent, std::istream& in);
  ~CMapClient() override;

  /// True unless reading the map at construction failed.
  bool isOk() const { return !loadFailed_; }
  /// The file the map is read from and saved to; empty for none yet.
  const std::string& fileName() const { return fileName_; }
  /// True when the history is elsewhere than where it was when the map was read or last saved.
  bool isChanged() const;
  /// The name a user knows this map by: its file, or "New View".
  QString documentName() const;

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

  /// A view cannot be copied: reports the refusal and answers null.
  Graphic* clone() const override;
  /// This widget, as the window elements track and pop up their menus in.
  NativeWindow window() const override;

  /// Commands of the elements arrive here and go into the history.
  int submitCommand(std::unique_ptr<Command> cmd) override { return execute(std::move(cmd)); }
  /// Records the command when it succeeds; a saved state among the undone commands it drops is gone.
  int execute(std::unique_ptr<Command> cmd) override;
  int undo() override;
  int redo() override;
  using CMap::execute;
  using CMap::undo;

  /// Resize (103, nothing), Undo, Redo, Save, Save As and Delete.
  bool runCommand(int id) override;
  std::optional<bool> commandEnabled(int id) override;

  /// Draws the elements that meet `area` (map coordinates) with `painter`.
  void paintArea(QPainter& painter, const RECT& area);

  /// Bringing an element to the front changes the painting order, and with it what Save
  /// writes: the map counts as changed until it is saved again (undo does not restore it).
  int popToFront(Graphic* g) override;

 signals:
  /// The history moved or the map was saved: captions and enablers may change.
  void historyChanged();

 protected:
  void repaint(const RECT& r) override;
  using QWidget::repaint;
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void setUp();
  void load(std::istream& in, const std::string& name);
  void historyMoved();
  bool writeTo(const std::string& fileName);
  template <class F>
  void guarded(F&& f);


  std::string fileName_;
  FileStamp stamp_;  // the file as this window read or last wrote it
  bool loadFailed_ = false;
  bool setUpDone_ = false;
  long savedAt_ = 0;  // undoCount() when last read or saved; -1 when that state is gone
};

// The window of one open map: its caption, menus and the question before a changed map is closed.
#pragma once

#include <QMainWindow>
#include <QString>

class Autosave;
class CMapClient;
class CommandMenus;

/// A frame with menu 100 whose client is one map view, at least 400 x 300 and large enough
/// for its map up to most of the screen. It owns the view.
class CMapFrame : public QMainWindow {
  Q_OBJECT
 public:
  /// A frame on `view`, or on a new empty map when null; captioned "New Map".
  explicit CMapFrame(QWidget* parent, CMapClient* view = nullptr);
  /// A frame on `view`, or on a map read from `fileName` when null; captioned with the file name.
  CMapFrame(QWidget* parent, const QString& fileName, CMapClient* view = nullptr);

  /// The map view in this frame.
  CMapClient* view() const { return view_; }
  /// The menus and accelerators of this frame.
  CommandMenus* menus() const { return menus_; }

  /// Asks "Save changes to '%s'?" when the map is changed and saves on Save; true when
  /// the window may close (unchanged, Discard, or saved). Closes nothing.
  bool mayClose();
  /// Closes the window without asking again (its close was agreed with mayClose).
  void closeAgreed();
  /// Shows the recovery copy `copyFile` as the changed map of `original` (empty for a map
  /// never saved), keeping it as the store's `slot`; false when the copy could not be read.
  bool restore(const QString& copyFile, const QString& original, unsigned slot);
  /// The keeper of this map's recovery copy, null when the editor keeps none.
  Autosave* autosave() const { return autosave_; }

 protected:
  /// A changed map asks "Save changes to '%s'?": Save, Discard or Cancel.
  void closeEvent(QCloseEvent* event) override;
  /// Keeps the whole window on the screen.
  void showEvent(QShowEvent* event) override;

 private:
  void build(CMapClient* view, const QString& caption);
  void historyChanged();
  /// The map window's own menus: View, Find Previous, and arranging in the Object menu.
  void addViewCommands();

  CMapClient* view_ = nullptr;
  CommandMenus* menus_ = nullptr;
  Autosave* autosave_ = nullptr;
  bool agreed_ = false;
};

// The command ids, texts, hints and accelerators of menu 100, shared by every frame.
#pragma once

#include <span>

namespace cm {

inline constexpr int NewView = 101;
inline constexpr int ReportObjects = 102;
inline constexpr int ObjectResize = 103;
inline constexpr int ObjectDelete = 104;
inline constexpr int ObjectMove = 105;
inline constexpr int HelpContents = 2001;
inline constexpr int HelpUsing = 2002;
inline constexpr int HelpAbout = 2009;
inline constexpr int Exit = 24310;
inline constexpr int EditUndo = 24321;
inline constexpr int EditCut = 24322;
inline constexpr int EditCopy = 24323;
inline constexpr int EditPaste = 24324;
inline constexpr int EditDelete = 24325;
inline constexpr int EditClear = 24326;
inline constexpr int EditRedo = 24329;
inline constexpr int FileNew = 24331;
inline constexpr int FileOpen = 24332;
inline constexpr int FileSave = 24333;
inline constexpr int FileSaveAs = 24334;
inline constexpr int FilePrint = 24337;
inline constexpr int FilePrintSetup = 24338;
inline constexpr int FilePrintPreview = 24340;
inline constexpr int EditFind = 24351;
inline constexpr int EditReplace = 24352;
inline constexpr int EditFindNext = 24353;

// Popup ids, used for their hints only.
inline constexpr int PopupFile = 65535;
inline constexpr int PopupEdit = 24320;
inline constexpr int PopupSearch = 24350;
inline constexpr int PopupHelp = 2000;

}  // namespace cm

/// One row of menu 100: a popup title (with id 0) or an item of the popup above it.
struct MenuItemInfo {
  int id;            // 0 for a popup title row
  const char* text;  // with '&' mnemonics
  const char* hint;  // status-bar hint, "" for none
  const char* keys;  // accelerators, first one shown in the menu; ';' separates several
  int popupId;       // hint id of a popup title row (-1 when it has none)
};

/// The rows of menu 100 in menu order.
std::span<const MenuItemInfo> menu100();

/// The menu-100 row of command `id`, or null.
const MenuItemInfo* menuItemFor(int id);

/// The command ids of the control bar in order; 0 stands for a separator.
std::span<const int> controlBarLayout();

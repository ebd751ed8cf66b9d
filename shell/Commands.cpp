// The rows of menu 100 and the control-bar order.
#include "shell/Commands.h"

#include <array>

namespace {

// Original accelerators first; the standard shortcuts follow them.
constexpr MenuItemInfo kMenu[] = {
    {0, "&File", "File/document operations", "", cm::PopupFile},
    {cm::NewView, "New &View", "Create a new view window", "Ctrl+N", -1},
    {cm::FileNew, "&New", "Creates a new document", "", -1},
    {cm::FileOpen, "&Open...", "Opens an existing document", "Ctrl+O", -1},
    {cm::FileSave, "&Save", "Saves this document", "Ctrl+S", -1},
    {cm::FileSaveAs, "Save &As...", "Saves this document with a new name", "", -1},
    {cm::FilePrintPreview, "Print Pre&view...", "Display full pages as read-only", "", -1},
    {cm::FilePrint, "&Print...", "Print this document", "", -1},
    {cm::FilePrintSetup, "P&rint Setup...", "Setup this document print characteristics", "", -1},
    {cm::ReportObjects, "Report on objects", "Give a debug report on objects in memory", "", -1},
    {cm::Exit, "E&xit", "Quits brenloApp and prompts to save the documents", "Alt+F4", -1},
    {0, "&Edit", "Edit operations", "", cm::PopupEdit},
    {cm::EditUndo, "&Undo", "Reverses the last operation", "Alt+Backspace;Ctrl+Z", -1},
    {cm::EditRedo, "&Redo", "Redo the last undone command", "Alt+Return;Alt+Enter;Ctrl+Shift+Z;Ctrl+Y", -1},
    {cm::EditCut, "Cu&t", "Cuts the selection and puts it on the Clipboard", "Shift+Del", -1},
    {cm::EditCopy, "&Copy", "Copies the selection and puts it on the Clipboard", "Ctrl+Ins", -1},
    {cm::EditPaste, "&Paste", "Inserts the clipboard contents at the insertion point", "Shift+Ins", -1},
    {cm::EditClear, "Clear &All", "Clear the document", "Ctrl+Del", -1},
    {cm::EditDelete, "&Delete", "Deletes the selection", "Del", -1},
    {0, "&Search", "Search/replace operations", "", cm::PopupSearch},
    {cm::EditFind, "&Find...", "Finds the specified text", "", -1},
    {cm::EditReplace, "&Replace...", "Finds the specified text and changes it", "", -1},
    {cm::EditFindNext, "&Next", "Finds the next match", "F3", -1},
    {0, "&Object", "", "", -1},
    {cm::ObjectResize, "Resize", "", "", -1},
    {cm::ObjectDelete, "Delete", "", "", -1},
    {cm::ObjectMove, "Move", "", "", -1},
    {0, "&Help", "Access online help", "", cm::PopupHelp},
    {cm::HelpContents, "&Contents", "Help table of contents", "", -1},
    {cm::HelpUsing, "&Using help", "Help on using online Help", "", -1},
    {cm::HelpAbout, "&About...", "About the brenlo application", "", -1},
};

constexpr int kBar[] = {cm::FileNew,   cm::FileOpen,     cm::FileSave,  0, cm::EditCut,
                        cm::EditCopy,  cm::EditPaste,    0,             cm::EditUndo,
                        0,             cm::EditFind,     cm::EditFindNext, 0,
                        cm::FilePrint, cm::FilePrintPreview, 0,         cm::HelpContents};

}  // namespace

std::span<const MenuItemInfo> menu100() { return kMenu; }

const MenuItemInfo* menuItemFor(int id) {
  if (id == 0) return nullptr;
  for (const auto& row : kMenu)
    if (row.id == id) return &row;
  return nullptr;
}

std::span<const int> controlBarLayout() { return kBar; }

// Command type codes (also the ids of the popup items that make them) and result codes.
#pragma once

#include <cstdint>

enum CommandType : unsigned {
  kCmdDelete = 100,
  kCmdResize = 101,
  kCmdChangeLabel = 103,
  kCmdChangeShape = 104,
  kCmdNewNode = 105,
  kCmdNewArc = 106,
  kCmdNewContext = 107,  // a menu item that makes a NEW NODE
  kCmdMoveTo = 108,
  kCmdSetConnection = 109,
  kCmdAutoResize = 110,
  kCmdSetFlags = 111,
  kCmdClearFlags = 112,
  kCmdFloatHandle = 113,  // a menu item that makes a SET FLAGS
  kCmdSetFillColor = 114,
  kCmdSetBorderColor = 115,
  kCmdSetTextColor = 116,
  kCmdFirstSubmenuItem = 500,  // shape and connection-type submenu items
};

enum CommandResult : int {
  kResultDone = 0,
  kResultNotHandled = -1,
  kResultNotOwnCommand = -2,  // an element's own commands are done: its base class's turn
  kResultUndoImpossible = -98,
  kResultDropped = -245,  // too small a move, or no command at all: nothing is recorded
  kResultNotFound = -300,  // the element the command names is not in the map
  kResultNothingToDo = -589,
};

/// The name of a command type in reports ("MOVE TO", "SET COLOR"...).
inline const char* commandName(unsigned type) {
  switch (type) {
    case kCmdDelete: return "DELETE";
    case kCmdResize: return "RESIZE";
    case kCmdChangeLabel: return "CHANGE LABEL";
    case kCmdChangeShape: return "CHANGE SHAPE";
    case kCmdNewNode: return "NEW NODE";
    case kCmdNewArc: return "NEW ARC";
    case kCmdMoveTo: return "MOVE TO";
    case kCmdSetConnection: return "SET CONNECTION";
    case kCmdAutoResize: return "AUTO RESIZE";
    case kCmdSetFlags: return "SET FLAGS";
    case kCmdClearFlags: return "CLEAR FLAGS";
    case kCmdSetFillColor:
    case kCmdSetBorderColor:
    case kCmdSetTextColor: return "SET COLOR";
    default: return "UNKNOWN";
  }
}

/// Flags after SET FLAGS or CLEAR FLAGS of `bits` (forward), or with `bits` given back
/// their values from `old` (undo).
inline std::uint32_t flagsAfter(unsigned type, std::uint32_t flags, std::uint32_t bits, std::uint32_t old, bool forward) {
  if (!forward) return (flags & ~bits) | (old & bits);
  return type == kCmdSetFlags ? (flags | bits) : (flags & ~bits);
}

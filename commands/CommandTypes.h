// Command type codes (also the ids of the popup items that make them) and result codes.
#pragma once

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
  kResultUndoImpossible = -98,
  kResultDropped = -245,
  kResultNotFound = -300,
  kResultNothingToDo = -589,
};

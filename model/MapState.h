// What one map keeps for the gesture and the reading going on in it.
#pragma once

#include "support/Geometry.h"

class InteractionBackend;
class SensitiveGraphic;

/// The drag in progress in a map (one element of a map is dragged at a time).
struct DragState {
  SensitiveGraphic* draggedGraphic = nullptr;
  POINT dragOffset;  // pointer minus dragOrigin
  POINT dragOrigin;  // the element's origin at the press
};

/// The state of one map that its elements share: the drag, whether repaints are paused
/// while the map is read, and who answers the elements' questions to the user.
struct MapState {
  DragState drag;
  int repaintPauses = 0;
  /// The map's own interaction backend (not owned); null for the installed one.
  InteractionBackend* interaction = nullptr;
};

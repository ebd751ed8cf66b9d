// Lining up, spacing and sizing a selection of elements, and nudging it by a step.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "support/Geometry.h"

class Command;
class Graphic;

/// The ways a selection can be arranged.
enum class Arrangement {
  AlignLeft,
  AlignCentre,
  AlignRight,
  AlignTop,
  AlignMiddle,
  AlignBottom,
  DistributeHorizontally,
  DistributeVertically,
  SameWidth,
  SameHeight,
};

/// Where each rectangle goes, in the same order. Alignments line the edges or centres up
/// with the outermost (or middle) of the group's bounds; distributions keep the first and
/// last in place and make the gaps between neighbours equal (three or more are needed);
/// the sizes become those of the widest or highest, keeping the top-left corner.
std::vector<RECT> arrangeRects(Arrangement how, std::span<const RECT> rects);

/// One undoable step that arranges the elements: a MOVE TO for each that moves and, for
/// the sizes, a resize of each node that changes. Elements whose place follows their
/// terminals take no part; neither do others than nodes in a change of size. Null when
/// nothing would change.
std::unique_ptr<Command> makeArrangement(Arrangement how, const std::vector<Graphic*>& elements);

/// One undoable step that moves every element by (dx, dy); maplets that follow their
/// terminals move with them instead. Null when none moves.
std::unique_ptr<Command> makeNudge(const std::vector<Graphic*>& elements, std::int32_t dx, std::int32_t dy);

// Copies of elements as text: the component lines of a map file, and pasting them back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/Geometry.h"

class Command;
class Graphic;
class RootMap;

/// The elements as the component part of a map file: a header, one component line per
/// element (in the order given), ";". Maplets keep their connections among the copied
/// elements; an end hooked to an element left out floats where it is.
std::string copyAsComponentLines(const std::vector<Graphic*>& elements);

/// The labels of the copied nodes, one a line.
std::string labelsAsText(const std::vector<Graphic*>& elements);

/// One undoable step that adds the elements of `lines` (as copyAsComponentLines writes
/// them) to `map` with ids of their own, moved by (dx, dy) and connected among themselves
/// as they were. Null when the text holds no element.
std::unique_ptr<Command> makePaste(RootMap& map, const std::string& lines, std::int32_t dx, std::int32_t dy);

/// One undoable step that adds a node for every line of `text` that is not blank,
/// labelled with it, one below the other from `at`. Null when there is none.
std::unique_ptr<Command> makePasteOfText(RootMap& map, const std::string& text, const POINT& at);

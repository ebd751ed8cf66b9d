// Maps as GraphML: writing the map (or some of its elements) for other graph tools, and reading GraphML back.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

class CMap;
class Graphic;

/// Writes the whole map as GraphML: a node per node, context and maplet that is no plain
/// arc, an edge per arc joining two elements and per hooked leg of the other maplets; a
/// context holds what it carries along in a graph of its own. brenlo's own data keys
/// carry everything the map needs to come back the same; the yEd graphics let other
/// editors show it. False, with `error` set, when the stream failed.
bool writeGraphML(const CMap& map, std::ostream& out, std::string& error);

/// The same for those of `elements` that are members of `map` (a selection, say): the
/// other elements are left out, and a maplet's end hooked to one of them floats.
bool writeGraphML(const CMap& map, const std::vector<Graphic*>& elements, std::ostream& out,
                  std::string& error);

/// Empties `map` and fills it from GraphML `text`; `fileName` names the file in reports.
/// Nodes, contexts and maplets written by writeGraphML come back as they were; GraphML
/// of other tools gives a node per node (placed by its graphics, else on a grid) and a
/// maplet per edge. Anything that cannot be read is reported; the map's readIncompletely()
/// tells when elements were lost. False, with `error` set, when the text is no GraphML
/// at all (malformed XML, no graphml element, too large).
bool readGraphML(CMap& map, std::string_view text, const std::string& fileName, std::string& error);

/// True when the text starts (after a byte-order mark and white space) with "<?xml" or
/// "<graphml": a file to read as GraphML rather than as a .CM map.
bool looksLikeGraphML(std::string_view start);

/// True when the file name ends in ".graphml" (in any letter case).
bool isGraphMLFileName(const std::string& fileName);

/// Saves the map as GraphML to `fileName` the way a map file is saved (see save in
/// file/MapFile.h). False, after a report naming the file, when it could not be saved;
/// `why`, when given, then receives the reported text.
bool saveGraphML(const CMap& map, const std::string& fileName, std::string* why = nullptr);

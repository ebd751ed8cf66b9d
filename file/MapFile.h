// The .CM map file: writing it safely, reading it in the MIME syntax or the older one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <iosfwd>
#include <string>
#include <string_view>

#include "support/Version.h"

class CMap;

/// Writes the whole file text of the map (CR LF line ends), with `when` on the "Time: " line.
void writeMapFile(const CMap& map, std::ostream& out, std::time_t when);

/// Saves the map to `fileName` (see replaceFileContent: the old file survives any
/// failure, and links, owner, group and mode stay as they were). False (after a report
/// naming the file: "Can't open file '%s'" when it may not be written, "Can't save file
/// '%s': <reason>" otherwise) when it could not be saved; `why`, when given, then
/// receives the reported text.
bool save(const CMap& map, const std::string& fileName, std::string* why = nullptr);

/// The largest map file ever read: a larger one is refused with a report, since its
/// elements would take more memory than a desktop has.
inline constexpr std::uint64_t kMaxMapFileSize = std::uint64_t(1) << 30;

/// The largest map file this machine reads: kMaxMapFileSize, or less where the memory
/// would not hold the elements of a file that large (reading takes up to about 30
/// bytes of memory per byte of file).
std::uint64_t mapFileSizeLimit();

/// Reads a map from the stream into `map` (emptied first): GraphML when the text starts
/// as GraphML does (see looksLikeGraphML in file/GraphML.h), a .CM map otherwise.
/// `fileName` names the file in messages (empty for a stream). True when a map was read; the map's
/// readIncompletely() then tells whether the file held more than was read. At most
/// `sizeLimit` bytes are read: a longer stream is refused and leaves the map empty.
/// The reports of one read are kept within a ReportBatch.
bool init(CMap& map, std::istream& in, const std::string& fileName, std::uint64_t sizeLimit = mapFileSizeLimit());

/// Opens `fileName` and reads it with init, so either kind of file.
bool openMapFile(CMap& map, const std::string& fileName);

/// Parses a version text such as "0.1" or "0.1 (X Windows)" into `version`;
/// answers the number of characters taken (0 when no major number).
std::size_t parseVersion(std::string_view text, Version& version);

// The field syntax shared by every text form of graphics, commands and map files.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "support/Geometry.h"

/// The separator between fields.
inline constexpr char kFieldSeparator = ',';

/// Outcome of reading one field.
enum FieldResult : int {
  kFieldRead = 0,    ///< the field was read
  kFieldEmpty = 1,   ///< nothing before the separator (or a string cut by the end)
  kFieldFailed = -1  ///< malformed; the target is unchanged
};

/// Writers: lower-case hexadecimal without prefix, signed decimal, quoted string.
void writeHex(std::ostream& out, std::uint64_t value);
void writeDecimal(std::ostream& out, std::int64_t value);
void writeQuoted(std::ostream& out, const std::string& text);
void writePoint(std::ostream& out, const POINT& p);
void writeRect(std::ostream& out, const RECT& r);
/// The same hexadecimal and quoted fields appended to a string.
void appendHex(std::string& out, std::uint64_t value);
void appendQuoted(std::string& out, const std::string& text);

/// Readers: optional white space, then the field. Values that do not fit the
/// target fail and leave it unchanged.
int readHex(std::istream& in, std::uint32_t& value);
int readHex(std::istream& in, unsigned long& value);
int readHex(std::istream& in, std::uint16_t& value);
int readHex(std::istream& in, std::uint8_t& value);
int readDecimal(std::istream& in, std::int32_t& value);
int readDecimal(std::istream& in, std::uint8_t& value);
int readDecimal(std::istream& in, std::uint16_t& value);
int readQuoted(std::istream& in, std::string& text);
int readPoint(std::istream& in, POINT& p);
int readRect(std::istream& in, RECT& r);

/// Skips white space and takes `c` if it comes next (0); otherwise leaves it (-1).
int expectChar(std::istream& in, char c);
/// Takes characters up to and including `c` (0) or to the end (-1); a quoted
/// string on the way is skipped whole.
int skipTo(std::istream& in, char c);

// The text form of a syntax version.
#include "model/Version.h"

#include <cstdio>

std::string Version::text() const {
  char buf[64];
  int n = std::snprintf(buf, sizeof buf, "%u.%u", major(), minor());
  std::string out(buf, static_cast<std::size_t>(n));
  if (release() != 0) {
    n = std::snprintf(buf, sizeof buf, ".%u", release());
    out.append(buf, static_cast<std::size_t>(n));
  }
  if (platform() != 0) {
    static const char* const kNames[] = {"Mac OS", "X Windows", "Motif", "MS Windows 32 bit",
                                         "MS Windows 16 bit"};
    const char* name = platform() <= 5 ? kNames[platform() - 1] : "Unrecognized";
    out += " (";
    out += name;
    out += ")";
  }
  return out;
}

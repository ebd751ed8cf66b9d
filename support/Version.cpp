// The text form of a syntax version.
#include "support/Version.h"

#include <cstdio>

namespace {
const char* const kPlatformNames[] = {"Mac OS", "X Windows", "Motif", "MS Windows 32 bit", "MS Windows 16 bit"};
}

const char* Version::platformName(unsigned code) {
  return code >= 1 && code <= 5 ? kPlatformNames[code - 1] : nullptr;
}

unsigned Version::platformCode(std::string_view name) {
  for (unsigned code = 1; code <= 5; ++code)
    if (name == kPlatformNames[code - 1]) return code;
  return 0;
}

std::string Version::text() const {
  char buf[64];
  int n = std::snprintf(buf, sizeof buf, "%u.%u", major(), minor());
  std::string out(buf, static_cast<std::size_t>(n));
  if (release() != 0) {
    n = std::snprintf(buf, sizeof buf, ".%u", release());
    out.append(buf, static_cast<std::size_t>(n));
  }
  if (platform() != 0) {
    const char* name = platformName(platform());
    if (!name) name = "Unrecognized";
    out += " (";
    out += name;
    out += ")";
  }
  return out;
}

// The text of a small map file for GUI suites: the MIME wrapping around some component lines.
#pragma once

#include <string>

/// A whole .CM file holding `count` elements given as component lines (each ending in CR LF).
inline std::string mapFileText(int count, const std::string& lines) {
  return "MIME-Version: 1.0\r\n"
         "Content-Type: multipart/mixed; boundary=****QORDeLiMiTER****\r\n\r\n"
         "--****QORDeLiMiTER****\r\n"
         "Content-Type: application/x-CMap; version=0.1\r\n\r\n" +
         std::to_string(count) + "\r\n;\r\n" + lines + ";\r\n\r\n--****QORDeLiMiTER****--\r\n";
}

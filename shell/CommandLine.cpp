// Reads brenlo's arguments; the options are answered before any window exists.
#include "shell/CommandLine.h"

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  bool optionsEnd = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnd && arg == "--") {
      optionsEnd = true;
    } else if (!optionsEnd && (arg == "--help" || arg == "-h")) {
      line.mode = CommandLine::Mode::Help;
      return line;
    } else if (!optionsEnd && (arg == "--version" || arg == "-v")) {
      line.mode = CommandLine::Mode::Version;
      return line;
    } else if (!optionsEnd && arg == "--export") {
      // Exactly a picture and a map, and nothing else on the line.
      if (i + 3 != args.size() || !line.file.empty()) {
        line.mode = CommandLine::Mode::Error;
        line.error = "--export takes a picture file and a map file, and nothing else";
        return line;
      }
      line.mode = CommandLine::Mode::Export;
      line.output = args[i + 1];
      line.file = args[i + 2];
      return line;
    } else if (!optionsEnd && arg.size() > 1 && arg[0] == '-') {
      line.mode = CommandLine::Mode::Error;
      line.error = "unknown option '" + arg + "'";
      return line;
    } else if (line.file.empty()) {
      line.file = arg;
    } else {
      line.mode = CommandLine::Mode::Error;
      line.error = "only one file can be opened at start-up";
      return line;
    }
  }
  return line;
}

std::string usageText() {
  return "Usage: brenlo [FILE]\n"
         "       brenlo --export OUT IN.CM\n"
         "       brenlo --help | --version\n"
         "\n"
         "Opens the concept-map editor; FILE, a map file (.CM), opens in its own window.\n"
         "\n"
         "  --export OUT IN.CM  draw the map IN.CM into the picture OUT (.png, .svg or .pdf)\n"
         "                      and exit; needs no display\n"
         "  --help      show this text and exit\n"
         "  --version   show the version and exit\n";
}

std::string versionText() { return "brenlo Version 0.0 (map syntax 0.1)\n"; }

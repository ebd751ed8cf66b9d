// Reads brenlo's arguments; the options are answered before any window exists.
#include "shell/CommandLine.h"

namespace {

// A headless tool and the number of files it takes.
struct Tool {
  const char* option;
  CommandLine::Mode mode;
  std::size_t files;
};
const Tool kTools[] = {{"--check", CommandLine::Mode::Check, 1}, {"--convert", CommandLine::Mode::Convert, 2},
                       {"--export", CommandLine::Mode::Export, 2}};

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  if (!args.empty()) {
    for (const Tool& tool : kTools) {
      if (args[0] != tool.option) continue;
      if (args.size() != tool.files + 1) {
        line.mode = CommandLine::Mode::Error;
        line.error = std::string(tool.option) + (tool.files == 1 ? " takes one file" : " takes two files");
        return line;
      }
      line.mode = tool.mode;
      line.operands.assign(args.begin() + 1, args.end());
      return line;
    }
  }
  bool optionsEnd = false;
  for (const std::string& arg : args) {
    if (!optionsEnd && arg == "--") {
      optionsEnd = true;
    } else if (!optionsEnd && (arg == "--help" || arg == "-h")) {
      line.mode = CommandLine::Mode::Help;
      return line;
    } else if (!optionsEnd && (arg == "--version" || arg == "-v")) {
      line.mode = CommandLine::Mode::Version;
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
         "       brenlo --check FILE\n"
         "       brenlo --convert IN OUT\n"
         "       brenlo --export OUT IN.CM\n"
         "       brenlo --help | --version\n"
         "\n"
         "Opens the concept-map editor; FILE, a map file (.CM or GraphML), opens in its own window.\n"
         "\n"
         "  --check     read FILE, print every report and a summary; exit 0 when it was read\n"
         "  --convert   read IN (.CM or GraphML, by its content) and write it again as OUT\n"
         "              (GraphML when OUT ends in .graphml, else .CM)\n"
         "  --export    draw the map IN.CM into the picture OUT (.png, .svg or .pdf by its suffix),\n"
         "              or write it as GraphML when OUT ends in .graphml\n"
         "  --help      show this text and exit\n"
         "  --version   show the version and exit\n";
}

std::string versionText() { return "brenlo Version 0.0 (map syntax 0.1)\n"; }

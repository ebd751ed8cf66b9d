// The command line of brenlo: an optional map file, --export, --help and --version.
#pragma once

#include <string>
#include <vector>

/// What the command line asks for.
struct CommandLine {
  enum class Mode { Run, Help, Version, Export, Error };
  Mode mode = Mode::Run;
  std::string file;   // the start-up file for Run, the map to picture for Export
  std::string output; // the picture Export writes
  std::string error;  // the complaint for Error
};

/// Reads the arguments after the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args);
/// The text --help prints.
std::string usageText();
/// The text --version prints.
std::string versionText();

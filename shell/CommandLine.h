// The command line of brenlo: an optional map file, --help and --version.
#pragma once

#include <string>
#include <vector>

/// What the command line asks for.
struct CommandLine {
  enum class Mode { Run, Help, Version, Check, Convert, Error };
  Mode mode = Mode::Run;
  std::string file;   // the start-up file for Run, empty for none
  std::string error;  // the complaint for Error
  std::vector<std::string> operands;  // the files of --check (one) and --convert (in, out)
};

/// Reads the arguments after the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args);
/// The text --help prints.
std::string usageText();
/// The text --version prints.
std::string versionText();

// brenlo: the editor's entry point.
#include <QApplication>
#include <cstdio>

#include <iostream>

#include "file/MapTools.h"
#include "shell/BrenloApp.h"
#include "shell/CommandLine.h"

int main(int argc, char** argv) {
  // The options need no display, so they are answered before Qt starts.
  CommandLine line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (line.mode) {
    case CommandLine::Mode::Help:
      std::fputs(usageText().c_str(), stdout);
      return 0;
    case CommandLine::Mode::Version:
      std::fputs(versionText().c_str(), stdout);
      return 0;
    case CommandLine::Mode::Check:
      // Every report goes to standard error; a fatal one is printed and answered No.
      return checkMapFile(line.operands[0], std::cout);
    case CommandLine::Mode::Convert:
      return convertMapFile(line.operands[0], line.operands[1]);
    case CommandLine::Mode::Error:
      std::fprintf(stderr, "brenlo: %s\n\n%s", line.error.c_str(), usageText().c_str());
      return 2;
    case CommandLine::Mode::Run:
      break;
  }
  QApplication qt(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Brenlo"));
  brenloApp app(QString::fromLocal8Bit(line.file.c_str()));
  app.start();
  return QApplication::exec();
}

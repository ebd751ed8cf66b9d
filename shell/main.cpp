// brenlo: the editor's entry point.
#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <iostream>

#include "file/GraphML.h"
#include "file/MapTools.h"
#include "shell/BrenloApp.h"
#include "shell/CommandLine.h"
#include "shell/MapExport.h"
#include "shell/QtMapWindowFactory.h"
#include "shell/StartupTiming.h"

namespace {

// Draws a map into a picture with no display: Qt runs on its offscreen platform.
int exportPicture(int argc, char** argv, const std::string& picture, const std::string& mapFile) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication qt(argc, argv);
  registerPrototypesOnce();
  std::string error;
  if (!exportMapFile(mapFile, picture, error)) {
    std::fprintf(stderr, "brenlo: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

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
      return checkMapFile(line.operands[0], std::cout, ToolEnd::ExitProcess);
    case CommandLine::Mode::Convert:
      return convertMapFile(line.operands[0], line.operands[1], ToolEnd::ExitProcess);
    case CommandLine::Mode::Export:
      // GraphML is written by the core: Qt is not started for it.
      if (isGraphMLFileName(line.operands[0]))
        return convertMapFile(line.operands[1], line.operands[0], ToolEnd::ExitProcess);
      return exportPicture(argc, argv, line.operands[0], line.operands[1]);
    case CommandLine::Mode::Error:
      std::fprintf(stderr, "brenlo: %s\n\n%s", line.error.c_str(), usageText().c_str());
      return 2;
    case CommandLine::Mode::Run:
      break;
  }
  QApplication qt(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Brenlo"));
  watchStartupTiming(qt);
  int result;
  {
    brenloApp::setMapWindowFactory(std::make_unique<QtMapWindowFactory>());
    brenloApp app(QString::fromLocal8Bit(line.file.c_str()));
    app.start();
    result = QApplication::exec();
  }
  // The map windows' services go before Qt does.
  brenloApp::setMapWindowFactory(nullptr);
  return result;
}

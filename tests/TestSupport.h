// Test doubles shared by the suites: a recording report platform and simple graphics.
#pragma once

#include <ctime>
#include <sstream>
#include <string>
#include <vector>

#include "commands/Command.h"
#include "commands/CommandHandler.h"
#include "model/Graphic.h"
#include "model/SensitiveGraphic.h"
#include "support/ErrorReporter.h"

/// Records every report shown, instead of opening boxes; installed for its lifetime.
class RecordingReports : public ReportPlatform, public ErrorHandler {
 public:
  struct Shown {
    int severity;
    std::string text;
  };
  RecordingReports() { setReportPlatform(this); }
  ~RecordingReports() override { setReportPlatform(nullptr); }

  ErrorHandler* findHandler() override { return withHandler ? this : nullptr; }
  int showReport(int severity, const char* text) override {
    shown.push_back({severity, text});
    return handlerAnswer;
  }
  void messageBox(NativeWindow, const std::string& text, const std::string&, ReportIcon icon) override {
    boxes.push_back(text);
    boxIcons.push_back(icon);
  }
  bool askYesNo(NativeWindow, const std::string& text, const std::string&) override {
    questions.push_back(text);
    return answerYes;
  }
  void beep(ReportIcon icon) override { beeps.push_back(icon); }
  void debugBreak(const std::string& text) override { breaks.push_back(text); }
  bool boxesAreModal() const override { return modalBoxes; }
  void logTrouble(const std::string& text) override { logTroubles.push_back(text); }

  /// Every text that reached the user, by handler or by box.
  std::vector<std::string> texts() const;
  /// True when some shown text contains `part`.
  bool saw(const std::string& part) const;

  bool withHandler = true;
  int handlerAnswer = 0;
  bool answerYes = false;
  bool modalBoxes = true;
  std::vector<Shown> shown;
  std::vector<std::string> boxes;
  std::vector<ReportIcon> boxIcons;
  std::vector<std::string> questions;
  std::vector<ReportIcon> beeps;
  std::vector<std::string> breaks;
  std::vector<std::string> logTroubles;
};

/// A rectangle primitive with no drawing of its own.
class TestVisual : public VisualGraphic {
 public:
  explicit TestVisual(RECT r = {}) : VisualGraphic(), rect(r) {}
  TestVisual(const TestVisual& o) : VisualGraphic(o), rect(o.rect) {}
  Graphic* clone() const override { return new TestVisual(*this); }
  const char* className() const override { return "TestVisual"; }
  void draw(DrawingContext&) override {}
  RECT getRect() const override { return rect; }
  void setRect(const RECT& r) override { rect = r; }
  POINT attachPoint(unsigned) const override { return {rect.left, rect.top}; }
  RECT rect;
};

/// An element whose visual is a TestVisual; applies MOVE TO and RESIZE, and
/// deletes itself on DELETE as map elements do.
class TestElement : public SensitiveGraphic {
 public:
  explicit TestElement(RECT r = {0, 0, 10, 10});
  TestElement(const TestElement& o);
  Graphic* clone() const override { return new TestElement(*this); }
  const char* className() const override { return "TestElement"; }
  VisualGraphic* getVisual() override { return visualPart(); }
  int changeShape(const char*) override { return -1; }
  int execute(Command* cmd) override { return apply(cmd, true); }
  int undo(Command* cmd) override { return apply(cmd, false); }
  int apply(Command* cmd, bool forward);
};

/// The top of a chain: records repaint requests and acts as the root.
class TestRoot : public GraphicContainer {
 public:
  ~TestRoot() override { clear(); }
  void invalidateRect(const RECT& r) override { invalidated.push_back(r); }
  NativeWindow window() const override { return nullptr; }
  POINT fromWindow(const POINT& p) const override { return {p.x - 100, p.y - 100}; }
  POINT toWindow(const POINT& p) const override { return {p.x + 100, p.y + 100}; }
  RECT fromWindow(const RECT& r) const override { return r; }
  RECT toWindow(const RECT& r) const override { return r; }
  std::vector<RECT> invalidated;
};

/// A root that keeps a history, as the map view does.
class TestHistoryRoot : public TestRoot, public CommandHandler {
 public:
  int submitCommand(std::unique_ptr<Command> cmd) override { return execute(std::move(cmd)); }
};

/// The text form of anything with printOn (graphics, commands, locators).
template <class T>
std::string printed(const T& thing) {
  std::ostringstream out;
  thing.printOn(out);
  return out.str();
}

/// The front-most sensitive member under the point, found by walking every member (a check of
/// the area index).
inline SensitiveGraphic* frontMostAt(const GraphicContainer& c, const POINT& p) {
  for (auto it = c.end(); it != c.begin();) {
    Graphic* g = *--it;
    if (auto* s = dynamic_cast<SensitiveGraphic*>(g); s && g->hitTest(p) != 0) return s;
  }
  return nullptr;
}

/// Shows a graphic as a view does: laid out, then drawn.
inline void layOutAndDraw(Graphic& g, DrawingContext& dc) {
  g.layOut(dc);
  g.draw(dc);
}

/// The local time of a calendar date and clock time (month 1-12).
inline std::time_t localTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

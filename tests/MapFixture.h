// A map with a history, a scripted user and recorded reports, for element and gesture tests.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "commands/GraphicsFactory.h"
#include "drawing/Connector.h"
#include "drawing/Shape.h"
#include "model/GraphicObjectLocator.h"
#include "model/Maplet.h"
#include "model/Node.h"
#include "model/RootMap.h"
#include "tests/RecordingDC.h"
#include "tests/ScriptedInteraction.h"
#include "tests/TestSupport.h"

class MapFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    registerStandardPrototypes();
    registerComponentPrototypes();
  }

  Node* node(RECT r, const char* label = nullptr, const char* shape = "Rectangle") {
    return addTo(map, std::make_unique<Node>(shape, label, &r));
  }
  ContextBox* context(RECT r) { return addTo(map, std::make_unique<ContextBox>("frame", nullptr, &r)); }
  /// A maplet of the given type with its ends hooked to `a` and `b` (null floats).
  SMaplet* arc(RelationableGraphic* a, RelationableGraphic* b, const char* type = "Undirected") {
    auto* m = addTo(map, std::make_unique<SMaplet>(type, POINT{0, 0}));
    if (a) m->setConnection(0, a);
    if (b) m->setConnection(1, b);
    return m;
  }

  void click(POINT p, unsigned keys = 0) {
    map.leftButtonDown(keys, p);
    map.leftButtonUp(keys, p);
  }
  void drag(POINT from, POINT to, unsigned keys = 0) {
    map.leftButtonDown(keys, from);
    map.mouseMove(keys, {(from.x + to.x) / 2, (from.y + to.y) / 2});
    map.mouseMove(keys, to);
    map.leftButtonUp(keys, to);
  }
  /// The items of the popup at `p`, which is dismissed.
  std::vector<std::string> popupAt(POINT p) {
    user.dismissMenu();
    map.rightButtonDown(0, p);
    return user.menusShown.back();
  }
  /// Where end `i` of `m` is.
  static POINT end(SMaplet* m, std::uint16_t i) { return m->getConnector()->terminalPoint(i); }
  /// Opens the popup at `p` and chooses the item with this text.
  void choose(POINT p, const std::string& item) {
    user.chooseItem(item);
    map.rightButtonDown(0, p);
  }

  std::vector<std::uint32_t> ids() const {
    std::vector<std::uint32_t> out;
    for (Graphic* g : map) out.push_back(g->id());
    return out;
  }
  static std::string text(const Graphic& g) { return printed(g); }
  /// Reads `g`'s fields from a component text.
  static void readInto(Graphic& g, const std::string& text, const Version* version = &kMapSyntaxVersion) {
    std::istringstream in(text);
    g.readFrom(in, version);
  }
  static std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  RecordingReports reports;
  ScriptedInteraction user;
  RootMap map;
};

// Generated maps and random edits through the real commands.
#include "tests/MapGenerator.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <sstream>

#include "commands/Command.h"
#include "commands/CommandTypes.h"
#include "commands/GraphicsFactory.h"
#include "file/MapFile.h"
#include "model/Maplet.h"
#include "model/Node.h"
#include "model/RootMap.h"

namespace {

constexpr std::int32_t kCellWidth = 160;
constexpr std::int32_t kCellHeight = 80;

const char* const kWords[] = {"water", "energy", "plant", "sun", "cell", "growth", "light", "leaf",
                              "root", "carbon", "oxygen", "soil", "rain", "animal", "food", "heat"};
const char* const kShapes[] = {"Rectangle", "Ellipse", "RoundRect", "Rectangle-Blue", "Ellipse-Green"};
const char* const kArcTypes[] = {"Undirected", "Directed", "BiDirect", "AGNT", "IsA"};


std::string labelFrom(std::mt19937& rng) {
  std::string label;
  for (std::uint32_t n = 1 + rng() % 4; n > 0; --n) {
    if (!label.empty()) label += ' ';
    label += kWords[rng() % std::size(kWords)];
  }
  return label;
}

std::int32_t columnsFor(std::size_t nodes) {
  return std::max<std::int32_t>(1, static_cast<std::int32_t>(std::ceil(std::sqrt(2.0 * static_cast<double>(nodes)))));
}

}  // namespace

POINT generatedMapExtent(std::size_t elements) {
  std::size_t nodes = std::max<std::size_t>(1, elements / 2);
  std::int32_t columns = columnsFor(nodes);
  std::int32_t rows = static_cast<std::int32_t>((nodes + columns - 1) / columns);
  return {columns * kCellWidth, rows * kCellHeight};
}

void generateMap(CMap& map, std::size_t elements, std::uint32_t seed) {
  std::mt19937 rng(seed);
  GraphicsFactory& factory = GraphicsFactory::instance();
  const std::size_t nodeCount = std::max<std::size_t>(1, elements / 2);
  const std::size_t contextCount = std::min<std::size_t>(elements - nodeCount, 2 + elements / 1000);
  const std::size_t mapletCount = elements - nodeCount - contextCount;
  const std::int32_t columns = columnsFor(nodeCount);
  const std::int32_t rows = static_cast<std::int32_t>((nodeCount + columns - 1) / columns);

  // Contexts first, so that they lie behind what they frame.
  for (std::size_t i = 0; i < contextCount; ++i) {
    std::int32_t c = static_cast<std::int32_t>(rng() % columns), r = static_cast<std::int32_t>(rng() % rows);
    RECT frame{c * kCellWidth - 10, r * kCellHeight - 10, (c + 3) * kCellWidth - 20, (r + 3) * kCellHeight - 30};
    std::string label = "context " + std::to_string(i + 1);
    addTo(map, factory.makeContextBox("frame", label.c_str(), &frame));
  }
  std::vector<Node*> nodes;
  nodes.reserve(nodeCount);
  for (std::size_t i = 0; i < nodeCount; ++i) {
    std::int32_t c = static_cast<std::int32_t>(i % columns), r = static_cast<std::int32_t>(i / columns);
    std::int32_t x = c * kCellWidth + static_cast<std::int32_t>(rng() % 40);
    std::int32_t y = r * kCellHeight + static_cast<std::int32_t>(rng() % 30);
    RECT box{x, y, x + 60 + static_cast<std::int32_t>(rng() % 50), y + 30};
    std::string label = labelFrom(rng);
    nodes.push_back(addTo(map, factory.makeNode(kShapes[rng() % std::size(kShapes)], label.c_str(), &box)));
  }
  for (std::size_t i = 0; i < mapletCount; ++i) {
    std::int32_t a = static_cast<std::int32_t>(rng() % nodeCount);
    std::int32_t c = a % columns + static_cast<std::int32_t>(rng() % 7) - 3;
    std::int32_t r = a / columns + static_cast<std::int32_t>(rng() % 7) - 3;
    c = std::clamp(c, 0, columns - 1);
    r = std::clamp(r, 0, rows - 1);
    std::int32_t b = std::min<std::int32_t>(r * columns + c, static_cast<std::int32_t>(nodeCount) - 1);
    SMaplet* m = addTo(map, factory.makeMaplet(kArcTypes[rng() % std::size(kArcTypes)], {0, 0}));
    m->setConnection(0, nodes[a]);
    m->setConnection(1, nodes[b]);
  }
}

std::string savedText(const CMap& map) {
  std::ostringstream out;
  writeMapFile(map, out, 0);
  return out.str();
}

RandomEditor::RandomEditor(RootMap& map, std::uint32_t seed) : map_(map), rng_(seed) { refresh(); }

void RandomEditor::refresh() {
  members_.assign(map_.begin(), map_.end());
  sinceRefresh_ = 0;
}

Graphic* RandomEditor::pick(int kind) {
  // Deleted elements are skipped below; a rare refresh drops them from the list.
  if (++sinceRefresh_ > 4096) refresh();
  for (int tries = 0; tries < 16 && !members_.empty(); ++tries) {
    Graphic* g = members_[below(static_cast<std::uint32_t>(members_.size()))];
    if (!map_.contains(g)) continue;
    bool isContext = dynamic_cast<ContextBox*>(g) != nullptr;
    bool isNode = !isContext && dynamic_cast<Node*>(g) != nullptr;
    bool isMaplet = dynamic_cast<SMaplet*>(g) != nullptr;
    if (kind == 0 || (kind == 1 && isNode) || (kind == 2 && isContext) || (kind == 3 && isMaplet)) return g;
  }
  return nullptr;
}

POINT RandomEditor::somewhere() {
  POINT extent = generatedMapExtent(std::max<std::size_t>(map_.memberCount(), 2));
  return {static_cast<std::int32_t>(below(extent.x)), static_cast<std::int32_t>(below(extent.y))};
}

bool RandomEditor::step() {
  GraphicsFactory& factory = GraphicsFactory::instance();
  const std::uint32_t roll = below(100);
  std::unique_ptr<Command> cmd;
  if (roll < 25) {  // a drag of a node or a maplet ends
    auto* s = dynamic_cast<SensitiveGraphic*>(pick(below(2) ? 1 : 3));
    if (s) {
      POINT o = s->origin();
      map_.mapState().drag.dragOrigin = o;
      cmd = s->generateMoveTo({o.x + static_cast<std::int32_t>(below(81)) - 40,
                               o.y + static_cast<std::int32_t>(below(81)) - 40});
    }
  } else if (roll < 33) {  // a context dragged with what lies inside it
    if (auto* box = dynamic_cast<ContextBox*>(pick(2))) {
      POINT o = box->origin();
      map_.mapState().drag.dragOrigin = o;
      cmd = box->generateMoveTo({o.x + static_cast<std::int32_t>(below(41)) - 20,
                                 o.y + static_cast<std::int32_t>(below(41)) - 20});
    }
  } else if (roll < 41) {
    if (auto* n = dynamic_cast<Node*>(pick(1))) {
      RECT r = n->getRect();
      RECT wanted{r.left, r.top, r.left + 20 + static_cast<std::int32_t>(below(120)),
                  r.top + 15 + static_cast<std::int32_t>(below(40))};
      cmd = n->generateResize(&wanted);
    }
  } else if (roll < 54) {
    if (auto* n = dynamic_cast<Node*>(pick(1))) cmd = n->generateChangeLabel(labelFrom(rng_).c_str());
  } else if (roll < 63) {
    if (auto* n = dynamic_cast<Node*>(pick(1))) {
      user_.pickColor(rng_() & 0xFFFFFFu);
      cmd = n->doGenerateCommand(static_cast<std::uint16_t>(kCmdSetFillColor + below(3)), nullptr, nullptr);
    }
  } else if (roll < 66) {
    if (auto* n = dynamic_cast<Node*>(pick(1))) cmd = n->generateChangeShape(kShapes[below(std::size(kShapes))]);
  } else if (roll < 73) {
    POINT p = somewhere();
    RECT box{p.x, p.y, p.x + 80, p.y + 30};
    std::string label = labelFrom(rng_);
    cmd = map_.generateNewNode(factory.makeNode(kShapes[below(std::size(kShapes))], label.c_str(), &box));
  } else if (roll < 79) {
    cmd = map_.generateNewArc(factory.makeMaplet(kArcTypes[below(std::size(kArcTypes))], somewhere()));
  } else if (roll < 91) {  // a terminal hooked to another node, or floated
    auto* m = dynamic_cast<SMaplet*>(pick(3));
    Graphic* target = pick(1);
    if (m && target)
      cmd = m->generateSetConnection(static_cast<std::uint16_t>(below(m->terminalCount())),
                                     below(8) == 0 ? 0 : target->id());
  } else {
    if (auto* s = dynamic_cast<SensitiveGraphic*>(pick(0))) cmd = s->generateDelete();
  }
  if (!cmd) return false;
  int result = map_.submitCommand(std::move(cmd));
  if (roll >= 66 && roll < 79 && result == 0 && map_.front())
    members_.push_back(map_.front());  // the new element may be picked from now on
  if (result == 0) {
    ++accepted_;
    return true;
  }
  ++refused_;
  return false;
}

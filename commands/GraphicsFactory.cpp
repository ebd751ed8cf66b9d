// The drawing prototype registry and the editor's standard prototypes.
#include "commands/GraphicsFactory.h"

#include "drawing/Connector.h"
#include "drawing/FrameShape.h"
#include "drawing/LabeledConnector.h"
#include "drawing/Line.h"
#include "drawing/Shape.h"

namespace {

const std::string kDefault = "default";

}  // namespace

template <class X>
bool GraphicsLibrary<X>::add(const std::string& name, const X& prototype) {
  if (entries_.count(name)) return false;
  entries_.emplace(name, Ref2<X>(std::unique_ptr<X>(prototype.clone())));
  return true;
}

template <class X>
const X* GraphicsLibrary<X>::find(const std::string& name) const {
  auto it = entries_.find(name);
  return it == entries_.end() ? nullptr : it->second.get();
}

template <class X>
const X* GraphicsLibrary<X>::prototypeFor(const std::string& name) const {
  const X* prototype = find(name);
  if (!prototype) prototype = find(kDefault);
  if (!prototype && !entries_.empty()) prototype = entries_.begin()->second.get();
  return prototype;
}

template <class X>
std::unique_ptr<X> GraphicsLibrary<X>::get(const std::string& name) const {
  const X* prototype = prototypeFor(name);
  return prototype ? std::unique_ptr<X>(prototype->clone()) : nullptr;
}

template <class X>
std::vector<std::string> GraphicsLibrary<X>::names() const {
  std::vector<std::string> out;
  out.reserve(entries_.size());
  for (const auto& entry : entries_) out.push_back(entry.first);
  return out;
}

template class GraphicsLibrary<Shape>;
template class GraphicsLibrary<Line>;
template class GraphicsLibrary<Connector>;

GraphicsFactory& GraphicsFactory::instance() {
  static GraphicsFactory factory;
  return factory;
}

GraphicsFactory::GraphicsFactory() {
  // Registered first, these stay the defaults whatever is registered later.
  shapes_.add(kDefault, RectangleShape({}, kWhite, kBlack, kBlack));
  lines_.add(kDefault, Line());
  connectors_.add(kDefault, Connector(2, *lines_.find(kDefault)));
}

GraphicsFactory::~GraphicsFactory() = default;

bool GraphicsFactory::addShape(const std::string& name, const Shape& shape) { return shapes_.add(name, shape); }

std::unique_ptr<Shape> GraphicsFactory::getShape(const std::string& name) const { return shapes_.get(name); }

bool GraphicsFactory::addLine(const std::string& name, const Line& line) { return lines_.add(name, line); }

std::unique_ptr<Line> GraphicsFactory::getLine(const std::string& name) const { return lines_.get(name); }

bool GraphicsFactory::addConnector(const std::string& name, const Connector& connector) {
  return connectors_.add(name, connector);
}

std::unique_ptr<Connector> GraphicsFactory::getConnector(const std::string& name) const {
  return connectors_.get(name);
}

namespace {

constexpr Color kRed = 0x000000FF;
constexpr Color kGreen = 0x0000FF00;
constexpr Color kBlue = 0x00FF0000;
constexpr Color kYellow = 0x0000FFFF;
// Red 0, green 240, blue 15: the border of "Rectangle-Red/Blue/Yellow" is this
// green, not blue, and maps saved with it expect it so.
constexpr Color kRedBlueYellowBorder = 0x000FF000;

template <class S>
void addShapeOf(GraphicsFactory& factory, const std::string& name, Color fill, Color border = kBlack,
                Color text = kBlack) {
  factory.addShape(name, S(RECT{}, fill, border, text));
}

// Where the arrowheads of one connector type go, by leg.
struct Heads {
  std::shared_ptr<const ArrowHead> atTerminal;  // at the leg's terminal end, pointing at the terminal
  std::shared_ptr<const ArrowHead> atCentre;    // at the leg's centre end, pointing at the centre
};

void fitHeads(Connector& c, const std::vector<Heads>& heads) {
  for (std::uint16_t i = 0; i < heads.size() && i < c.legCount(); ++i) {
    c.leg(i)->setEndArrow(heads[i].atTerminal);
    c.leg(i)->setStartArrow(heads[i].atCentre);
  }
}

void addConnectorOf(GraphicsFactory& factory, const std::string& name, std::uint16_t legs,
                    const std::vector<Heads>& heads, bool floating, std::unique_ptr<Shape> label = nullptr) {
  const Line& leg = *factory.lines().find(kDefault);
  std::unique_ptr<Connector> c = label ? std::make_unique<LabeledConnector>(legs, std::move(label), leg)
                                       : std::make_unique<Connector>(legs, leg);
  fitHeads(*c, heads);
  if (floating) c->setConnectorFlags(c->connectorFlags() & ~Connector::kAnchored);
  factory.addConnector(name, *c);
}

template <class S>
std::unique_ptr<Shape> labelOf(const char* text) {
  auto shape = std::make_unique<S>(RECT{}, kWhite, kBlack, kBlack);
  shape->setLabel(text);
  return shape;
}

}  // namespace

void registerStandardPrototypes() {
  GraphicsFactory& f = GraphicsFactory::instance();

  addShapeOf<RectangleShape>(f, "Rectangle", kWhite);
  addShapeOf<RectangleShape>(f, "Rectangle-Red", kRed);
  addShapeOf<RectangleShape>(f, "Rectangle-Green", kGreen);
  addShapeOf<RectangleShape>(f, "Rectangle-Blue", kBlue);
  addShapeOf<RectangleShape>(f, "Rectangle-Red/Blue/Yellow", kRed, kRedBlueYellowBorder, kYellow);
  addShapeOf<EllipseShape>(f, "Ellipse", kWhite);
  addShapeOf<EllipseShape>(f, "Ellipse-Red", kRed);
  addShapeOf<EllipseShape>(f, "Ellipse-Green", kGreen);
  addShapeOf<EllipseShape>(f, "Ellipse-Blue", kBlue);
  addShapeOf<RoundRectShape>(f, "RoundRect", kWhite);
  addShapeOf<RoundRectShape>(f, "RoundRect-Red", kRed);
  addShapeOf<RoundRectShape>(f, "RoundRect-Green", kGreen);
  addShapeOf<RoundRectShape>(f, "RoundRect-Blue", kBlue);
  addShapeOf<FrameShape>(f, "frame", kWhite);

  f.addLine("Plain", Line());

  // Two arrowheads serve every connector type; each line showing one keeps it alive.
  const auto black = std::make_shared<const ArrowHead>(kBlack, kBlack);
  const auto red = std::make_shared<const ArrowHead>(kRed, kRed);
  const Heads none{};
  const Heads toTerminal{black, nullptr};

  addConnectorOf(f, "Undirected", 2, {}, false);
  addConnectorOf(f, "Directed", 2, {none, toTerminal}, false);
  addConnectorOf(f, "Double Directed", 2, {{nullptr, black}, toTerminal}, false);
  addConnectorOf(f, "BiDirect", 2, {toTerminal, toTerminal}, false);
  addConnectorOf(f, "BiDirect, floating", 2, {toTerminal, toTerminal}, true);
  addConnectorOf(f, "DoubleBiDirect", 2, {{black, black}, {black, black}}, false);
  addConnectorOf(f, "Trinary Undirected", 3, {}, false);
  addConnectorOf(f, "Trinary Directed black/red", 3, {none, toTerminal, {red, nullptr}}, false);
  addConnectorOf(f, "Trinary Directed black/red, floating", 3, {none, toTerminal, {red, nullptr}}, true);
  addConnectorOf(f, "Quad Undirected", 4, {}, false);
  addConnectorOf(f, "IsA", 2, {none, toTerminal}, true, labelOf<NullShape>("IsA"));
  addConnectorOf(f, "AGNT", 2, {{nullptr, black}, toTerminal}, true, labelOf<EllipseShape>("AGNT"));
  addConnectorOf(f, "BTWN", 3, {none, toTerminal, {red, nullptr}}, true, labelOf<EllipseShape>("BTWN"));
}

// Writing maps as GraphML, with brenlo's own data keys and yEd graphics; colours and XML text.
#include "file/GraphML.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <sstream>
#include <typeinfo>
#include <unordered_map>
#include <unordered_set>

#include "commands/GraphicsFactory.h"
#include "drawing/Connector.h"
#include "drawing/FrameShape.h"
#include "drawing/LabeledConnector.h"
#include "drawing/Line.h"
#include "drawing/Shape.h"
#include "file/GraphMLFormat.h"
#include "file/SafeSave.h"
#include "model/CMap.h"
#include "model/Maplet.h"
#include "model/Node.h"
#include "model/SensitiveGraphic.h"
#include "support/ErrorReporter.h"
#include "support/Fields.h"

namespace graphml {

std::string colourText(std::uint32_t colour, bool withTopByte) {
  static const char kDigits[] = "0123456789abcdef";
  const unsigned bytes[4] = {colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF, colour >> 24};
  const int count = withTopByte && bytes[3] ? 4 : 3;
  std::string text(static_cast<std::size_t>(1 + 2 * count), '#');
  for (int k = 0; k < count; ++k) {
    text[static_cast<std::size_t>(1 + 2 * k)] = kDigits[bytes[k] >> 4];
    text[static_cast<std::size_t>(2 + 2 * k)] = kDigits[bytes[k] & 0xF];
  }
  return text;
}

std::optional<std::uint32_t> parseColour(std::string_view text, bool topByte) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\n' || text.front() == '\r'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\n' || text.back() == '\r'))
    text.remove_suffix(1);
  if ((text.size() != 7 && text.size() != 9) || text[0] != '#') return std::nullopt;
  std::uint32_t digits = 0;
  for (char c : text.substr(1)) {
    int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (v < 0) return std::nullopt;
    digits = digits << 4 | static_cast<std::uint32_t>(v);
  }
  std::uint32_t top = 0;
  if (text.size() == 9) {
    top = topByte ? digits & 0xFF : 0;
    digits >>= 8;
  }
  const std::uint32_t r = digits >> 16, g = (digits >> 8) & 0xFF, b = digits & 0xFF;
  return top << 24 | b << 16 | g << 8 | r;
}

namespace {

// The length of the UTF-8 character XML allows at the start of `s`, or 0.
std::size_t xmlCharLength(std::string_view s) {
  const auto c = static_cast<unsigned char>(s[0]);
  if (c < 0x80) return (c >= 0x20 || c == '\t' || c == '\n' || c == '\r') ? 1 : 0;
  std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
  if (n == 0 || c > 0xF4 || s.size() < n) return 0;
  std::uint32_t code = c & (0x7F >> n);
  for (std::size_t i = 1; i < n; ++i) {
    const auto d = static_cast<unsigned char>(s[i]);
    if ((d & 0xC0) != 0x80) return 0;
    code = code << 6 | (d & 0x3F);
  }
  const bool shortest = (n == 2 && code >= 0x80) || (n == 3 && code >= 0x800) || (n == 4 && code >= 0x10000);
  const bool allowed = (code < 0xD800 || (code >= 0xE000 && code <= 0xFFFD)) || (code >= 0x10000 && code <= 0x10FFFF);
  return shortest && allowed ? n : 0;
}

}  // namespace

bool isXmlText(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x80) {
      ++i;
      continue;
    }
    const std::size_t n = xmlCharLength(text.substr(i));
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string xmlSafeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = xmlCharLength(text.substr(i));
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(text.substr(i, n));
      i += n;
    }
  }
  return out;
}

}  // namespace graphml

using namespace graphml;

namespace {

// Key ids: node keys start with 'n', edge keys with 'e'; readers go by attr.name.
struct KeyDecl {
  const char* id;
  const char* owner;
  const char* name;
  const char* type;
  const char* fallback = nullptr;  // the default: the value most elements have, then not written
};
const KeyDecl kKeys[] = {
    {"nl", "node", key::kLabel, "string"},    {"nx", "node", key::kX, "int"},
    {"ny", "node", key::kY, "int"},           {"nw", "node", key::kWidth, "int"},
    {"nh", "node", key::kHeight, "int"},      {"ns", "node", key::kShape, "string", "rectangle"},
    {"nf", "node", key::kFill, "string", "#ffffff"}, {"nb", "node", key::kBorder, "string", "#000000"},
    {"nt", "node", key::kText, "string", "#000000"}, {"nk", "node", key::kKind, "string", "node"},
    {"np", "node", key::kType, "string"},     {"nF", "node", key::kFlags, "long", "0"},
    {"no", "node", key::kOrder, "int"},       {"nc", "node", key::kCentre, "string"},
    {"nL", "node", key::kLegs, "string"},
    {"nrl", "node", key::kRawLabel, "string"}, {"nrt", "node", key::kRawType, "string"},
    {"el", "edge", key::kLabel, "string"},    {"ek", "edge", key::kKind, "string", "maplet"},
    {"ep", "edge", key::kType, "string"},     {"eF", "edge", key::kFlags, "long", "3"},
    {"eo", "edge", key::kOrder, "int"},       {"ec", "edge", key::kCentre, "string"},
    {"eL", "edge", key::kLegs, "string"},
    {"e1", "edge", key::kFirst, "string", "source"}, {"ea", "edge", key::kArrows, "string", "target"},
    {"ei", "edge", key::kLeg, "int"},         {"erl", "edge", key::kRawLabel, "string"},
    {"ert", "edge", key::kRawType, "string"},
};

// Contexts hold their contents in nested graphs down to this depth; what lies deeper is
// written into the deepest graph, so that XML readers with a depth limit still read the file.
constexpr int kMaxNesting = 100;

void appendEscaped(std::string& out, std::string_view text, bool attribute) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': attribute ? out += "&quot;" : out += c; break;
      case '\r': out += "&#13;"; break;
      case '\n': attribute ? out += "&#10;" : out += c; break;
      case '\t': attribute ? out += "&#9;" : out += c; break;
      default: out += c;
    }
  }
}

void appendInt(std::string& out, std::int64_t v) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

std::string pointText(const POINT& p) {
  std::string text;
  appendInt(text, p.x);
  text += ' ';
  appendInt(text, p.y);
  return text;
}

// One element of the map as it is written.
struct Item {
  Graphic* g = nullptr;
  Node* node = nullptr;  // nodes and contexts
  bool context = false;
  SMaplet* maplet = nullptr;
  bool edgeForm = false;     // a maplet written as one edge
  bool hookedByMaplet = false;
  std::vector<int> ends;     // per leg: the item it is hooked to, or -1
  int parent = -1;           // the context item whose graph holds it
  int depth = 0;             // contexts only: how many contexts hold it
  std::string xmlId;
  RECT rect{};
};

// Finds the item of a graphic: by its id where the ids are dense enough for a table, else by address.
class ItemIndex {
 public:
  void build(const std::vector<Item>& items) {
    items_ = &items;
    byId_.clear();
    byAddress_.clear();
    std::uint32_t top = 0;
    for (const Item& it : items) top = std::max(top, it.g->id());
    if (top <= 4 * items.size() + 1024) byId_.assign(std::size_t{top} + 1, -1);
    for (std::size_t i = 0; i < items.size(); ++i) {
      const std::uint32_t id = items[i].g->id();
      if (!byId_.empty() && byId_[id] < 0) byId_[id] = static_cast<int>(i);
      else byAddress_.emplace(items[i].g, static_cast<int>(i));
    }
  }
  /// The item of `g`, or -1.
  int find(const Graphic* g) const {
    const std::uint32_t id = g->id();
    if (id < byId_.size() && byId_[id] >= 0 && (*items_)[static_cast<std::size_t>(byId_[id])].g == g) return byId_[id];
    auto found = byAddress_.find(g);
    return found == byAddress_.end() ? -1 : found->second;
  }

 private:
  const std::vector<Item>* items_ = nullptr;
  std::vector<int> byId_;
  std::unordered_map<const Graphic*, int> byAddress_;
};

class Writer {
 public:
  Writer(const CMap& map, const std::vector<Graphic*>* only);
  void write(std::string& out);

 private:
  void collect(const CMap& map, const std::vector<Graphic*>* only);
  void nest(const CMap& map);
  void writeGraph(std::string& out, int owner, const std::string& id);
  /// True when the graph of `owner` and the graphs within it list the elements from `next` on in stacking order.
  bool inStackingOrder(int owner, int& next) const;
  void writeItem(std::string& out, int i);
  void writeNode(std::string& out, const Item& it, int i);
  void writeMapletNode(std::string& out, const Item& it, int i);
  void writeMapletEdge(std::string& out, const Item& it, int i);

  void data(std::string& out, const char* key, std::string_view value) {
    out += "<data key=\"";
    out += key;
    out += "\">";
    appendEscaped(out, value, false);
    out += "</data>";
  }
  void data(std::string& out, const char* key, std::int64_t value) {
    out += "<data key=\"";
    out += key;
    out += "\">";
    appendInt(out, value);
    out += "</data>";
  }
  // A label or type name: as plain text, and in the map's quoted form when XML cannot hold it.
  void textData(std::string& out, const char* key, const char* rawKey, std::string_view value) {
    if (isXmlText(value)) {
      data(out, key, value);
      return;
    }
    data(out, key, xmlSafeText(value));
    std::string quoted;
    appendQuoted(quoted, std::string(value));
    data(out, rawKey, quoted);
  }
  void attribute(std::string& out, const char* name, std::string_view value) {
    out += ' ';
    out += name;
    out += "=\"";
    appendEscaped(out, value, true);
    out += '"';
  }
  void attribute(std::string& out, const char* name, std::int64_t value) {
    out += ' ';
    out += name;
    out += "=\"";
    appendInt(out, value);
    out += '"';
  }
  void geometry(std::string& out, const RECT& r) {
    out += "<y:Geometry";
    attribute(out, "x", r.left);
    attribute(out, "y", r.top);
    attribute(out, "width", std::int64_t{r.right} - r.left);
    attribute(out, "height", std::int64_t{r.bottom} - r.top);
    out += "/>";
  }
  std::string legsText(const Item& it, const std::vector<std::string>& styles) const;

  std::vector<Item> items_;
  ItemIndex index_;
  std::uint32_t nextId_ = 1;
  bool writeOrder_ = false;
  std::vector<std::vector<int>> children_;  // by owner + 1; 0 is the top graph
};

Writer::Writer(const CMap& map, const std::vector<Graphic*>* only) {
  collect(map, only);
  nest(map);
}

// The label a maplet shows because of its type, if any.
const char* ownLabelOfType(const std::string& type) {
  auto* c = dynamic_cast<const LabeledConnector*>(GraphicsFactory::instance().connectors().prototypeFor(type));
  return c ? c->getLabel() : nullptr;
}

// The fields of each terminal spec after the leg colour, as the maplet writes them ("" for none).
std::vector<std::string> legStyles(const Maplet& m, std::uint16_t legs) {
  std::vector<std::string> styles(legs);
  // One stream serves every maplet: making a stream costs more than printing a maplet.
  static std::ostringstream printed;
  printed.str(std::string());
  printed.clear();
  m.printOn(printed);
  const std::string_view text = printed.view();
  std::size_t i = 0;
  for (std::uint16_t leg = 0; leg < legs; ++leg) {
    i = text.find('(', i);
    if (i == std::string::npos) break;
    // The spec runs to the ')' that stands outside quoted strings.
    std::size_t commas = 0, stylesAt = std::string::npos;
    bool quoted = false;
    for (++i; i < text.size(); ++i) {
      const char c = text[i];
      if (quoted) {
        if (c == '\\') ++i;
        else if (c == '"') quoted = false;
      } else if (c == '"') {
        quoted = true;
      } else if (c == ',') {
        if (++commas == 2) stylesAt = i;
      } else if (c == ')') {
        break;
      }
    }
    if (stylesAt != std::string::npos && i <= text.size()) styles[leg] = std::string(text.substr(stylesAt, i - stylesAt));
    ++i;
  }
  return styles;
}

void Writer::collect(const CMap& map, const std::vector<Graphic*>* only) {
  nextId_ = map.nextId();
  std::unordered_set<const Graphic*> wanted;
  if (only)
    for (Graphic* g : *only) wanted.insert(g);
  items_.reserve(only ? only->size() : map.memberCount());
  for (Graphic* g : map) {
    if (only && !wanted.count(g)) continue;
    Item it;
    it.g = g;
    if (auto* m = dynamic_cast<SMaplet*>(g)) {
      it.maplet = m;
    } else if (auto* n = dynamic_cast<Node*>(g)) {
      it.node = n;
      it.context = dynamic_cast<ContextBox*>(g) != nullptr;
    } else {
      continue;  // nothing else stands in a map
    }
    items_.push_back(std::move(it));
  }
  index_.build(items_);
  const ItemIndex& index = index_;
  // Ends hooked to elements left out float; a maplet left with fewer than two hooked
  // ends goes too, as it would if those elements were deleted.
  std::vector<bool> dropped(items_.size(), false);
  for (bool changed = true; changed;) {
    changed = false;
    for (std::size_t i = 0; i < items_.size(); ++i) {
      Item& it = items_[i];
      if (!it.maplet || dropped[i]) continue;
      const Maplet& m = *it.maplet;
      const std::uint16_t n = m.terminalCount();
      it.ends.assign(n, -1);
      bool lost = false;
      int staying = 0;
      for (std::uint16_t k = 0; k < n; ++k) {
        RelationableGraphic* t = m[k];
        if (!t) continue;
        const int found = index.find(t);
        if (found < 0 || dropped[static_cast<std::size_t>(found)]) {
          lost = true;
        } else {
          it.ends[k] = found;
          ++staying;
        }
      }
      if (lost && staying < 2) {
        dropped[i] = changed = true;
      }
    }
  }
  if (std::find(dropped.begin(), dropped.end(), true) != dropped.end()) {
    std::vector<int> renumber(items_.size(), -1);
    std::vector<Item> kept;
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (dropped[i]) continue;
      renumber[i] = static_cast<int>(kept.size());
      kept.push_back(std::move(items_[i]));
    }
    for (Item& it : kept)
      for (int& e : it.ends)
        if (e >= 0) e = renumber[static_cast<std::size_t>(e)];
    items_ = std::move(kept);
  }
  for (const Item& it : items_)
    for (int e : it.ends)
      if (e >= 0 && items_[static_cast<std::size_t>(e)].maplet) items_[static_cast<std::size_t>(e)].hookedByMaplet = true;

  std::unordered_set<std::uint32_t> usedIds;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    Item& it = items_[i];
    it.rect = it.g->getRect();
    if (it.maplet) {
      const Maplet& m = *it.maplet;
      const char* label = m.label();
      const char* own = label && *label ? ownLabelOfType(m.prototypeName()) : nullptr;
      const bool ownLabel = label && *label && !(own && std::strcmp(own, label) == 0);
      it.edgeForm = it.ends.size() == 2 && it.ends[0] >= 0 && it.ends[1] >= 0 && !ownLabel && !it.hookedByMaplet;
    }
    // The element's id, so that the map reads back with the same ids.
    const std::uint32_t id = it.g->id();
    const char prefix = it.edgeForm ? 'e' : 'n';
    if (id != 0 && usedIds.insert(id).second) it.xmlId = prefix + std::to_string(id);
    else it.xmlId = std::string(1, prefix) + "x" + std::to_string(i);
  }
}

void Writer::nest(const CMap& map) {
  // What a context carries along when it moves lies wholly inside it, and does not keep
  // its centre between its ends. Each element goes into the graph of the smallest such
  // context; between contexts of one size the one in front holds the other, so that no
  // context ends up inside itself.
  index_.build(items_);
  auto area = [this](int i) {
    const RECT& r = items_[static_cast<std::size_t>(i)].rect;
    return std::max(0.0, double(r.right) - r.left) * std::max(0.0, double(r.bottom) - r.top);
  };
  // True when context a is a smaller holder than context b.
  auto smaller = [&](int a, int b) { return area(a) < area(b) || (area(a) == area(b) && a > b); };
  std::vector<int> contexts;
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].context) contexts.push_back(static_cast<int>(i));
  for (int c : contexts) {
    const RECT outer = items_[static_cast<std::size_t>(c)].rect;
    for (Graphic* g : map.membersNear(outer)) {
      const int e = index_.find(g);
      if (e < 0 || e == c) continue;
      Item& it = items_[static_cast<std::size_t>(e)];
      if (!rectInside(it.rect, outer) || followsItsTerminals(g)) continue;
      if (it.context && !smaller(e, c)) continue;
      if (it.parent < 0 || smaller(c, it.parent)) it.parent = c;
    }
  }
  // Holders before what they hold: by size, largest first.
  std::sort(contexts.begin(), contexts.end(), [&](int a, int b) { return smaller(b, a); });
  for (int c : contexts) {
    Item& it = items_[static_cast<std::size_t>(c)];
    if (it.parent < 0) continue;
    const Item* holder = &items_[static_cast<std::size_t>(it.parent)];
    if (holder->depth + 1 >= kMaxNesting) {
      it.parent = holder->parent;
      holder = it.parent < 0 ? nullptr : &items_[static_cast<std::size_t>(it.parent)];
    }
    it.depth = holder ? holder->depth + 1 : 0;
  }
  children_.assign(items_.size() + 1, {});
  for (std::size_t i = 0; i < items_.size(); ++i) children_[static_cast<std::size_t>(items_[i].parent + 1)].push_back(static_cast<int>(i));
  // The stacking order is written only where the nesting puts the elements in another order.
  int next = 0;
  writeOrder_ = !inStackingOrder(-1, next);
}

bool Writer::inStackingOrder(int owner, int& next) const {
  for (int i : children_[static_cast<std::size_t>(owner + 1)]) {
    if (i != next++) return false;
    if (items_[static_cast<std::size_t>(i)].context && !inStackingOrder(i, next)) return false;
  }
  return true;
}

void Writer::write(std::string& out) {
  out.reserve(4096 + items_.size() * 400);
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<graphml xmlns=\"";
  out += kNamespace;
  out += "\" xmlns:y=\"";
  out += kGraphicsNamespace;
  out += "\">\n";
  for (const KeyDecl& k : kKeys) {
    out += "<key";
    attribute(out, "id", k.id);
    attribute(out, "for", k.owner);
    attribute(out, "attr.name", k.name);
    attribute(out, "attr.type", k.type);
    if (k.fallback) {
      out += "><default>";
      out += k.fallback;
      out += "</default></key>\n";
    } else {
      out += "/>\n";
    }
  }
  out += "<key id=\"gn\" for=\"graph\" attr.name=\"nextId\" attr.type=\"long\"/>\n";
  out += "<key id=\"ng\" for=\"node\" yfiles.type=\"nodegraphics\"/>\n";
  out += "<key id=\"eg\" for=\"edge\" yfiles.type=\"edgegraphics\"/>\n";
  writeGraph(out, -1, "G");
  out += "</graphml>\n";
}

void Writer::writeGraph(std::string& out, int owner, const std::string& id) {
  out += "<graph";
  attribute(out, "id", id);
  out += " edgedefault=\"directed\">\n";
  if (owner < 0) {
    data(out, "gn", nextId_);
    out += '\n';
  }
  for (int i : children_[static_cast<std::size_t>(owner + 1)]) writeItem(out, i);
  out += "</graph>";
}

void Writer::writeItem(std::string& out, int i) {
  const Item& it = items_[static_cast<std::size_t>(i)];
  if (it.node) writeNode(out, it, i);
  else if (it.edgeForm) writeMapletEdge(out, it, i);
  else writeMapletNode(out, it, i);
}

const char* shapeKindOf(const Shape* s) {
  if (!s || typeid(*s) == typeid(RectangleShape)) return "rectangle";
  if (dynamic_cast<const FrameShape*>(s)) return "frame";
  if (dynamic_cast<const EllipseShape*>(s)) return "ellipse";
  if (dynamic_cast<const RoundRectShape*>(s)) return "roundrectangle";
  if (dynamic_cast<const NullShape*>(s)) return "none";
  return "rectangle";
}

void Writer::writeNode(std::string& out, const Item& it, int i) {
  const Shape* s = it.node->looks();
  const RECT r = s ? s->getRect() : RECT{};
  const char* label = s ? s->getLabel() : nullptr;
  const std::string text = label ? label : "";
  const std::uint32_t fill = s ? s->fillColor() : 0xFFFFFFu, border = s ? s->borderColor() : 0,
                      ink = s ? s->textColor() : 0;
  const std::string shape = shapeKindOf(s);
  out += "<node";
  attribute(out, "id", it.xmlId);
  if (it.context) out += " yfiles.foldertype=\"group\"";
  out += '>';
  // What most elements have is the keys' default and is not written.
  if (it.context) data(out, "nk", kKindContext);
  textData(out, "np", "nrt", it.node->prototypeName());
  textData(out, "nl", "nrl", text);
  data(out, "nx", r.left);
  data(out, "ny", r.top);
  data(out, "nw", std::int64_t{r.right} - r.left);
  data(out, "nh", std::int64_t{r.bottom} - r.top);
  if (shape != "rectangle") data(out, "ns", shape);
  if (fill != kWhite) data(out, "nf", colourText(fill, true));
  if (border != kBlack) data(out, "nb", colourText(border, true));
  if (ink != kBlack) data(out, "nt", colourText(ink, true));
  if (const std::uint32_t flags = s ? s->shapeFlags() : 0) data(out, "nF", flags);
  if (writeOrder_) data(out, "no", i);

  // The yEd look, leaving out what yEd takes by default (a black border and text, a rectangle).
  out += "<data key=\"ng\">";
  out += it.context ? "<y:ProxyAutoBoundsNode><y:Realizers active=\"0\"><y:GroupNode>" : "<y:ShapeNode>";
  geometry(out, r);
  out += "<y:Fill";
  attribute(out, "color", colourText(fill, false));
  out += "/>";
  if (shape == "none") {
    out += "<y:BorderStyle hasColor=\"false\"/>";
  } else if (border != kBlack) {
    out += "<y:BorderStyle";
    attribute(out, "color", colourText(border, false));
    out += "/>";
  }
  out += "<y:NodeLabel";
  if (it.context) out += " modelName=\"internal\" modelPosition=\"t\"";
  if (ink != kBlack) attribute(out, "textColor", colourText(ink, false));
  out += '>';
  appendEscaped(out, xmlSafeText(text), false);
  out += "</y:NodeLabel>";
  if (shape == "ellipse" || shape == "roundrectangle") {
    out += "<y:Shape type=\"";
    out += shape;
    out += "\"/>";
  }
  out += it.context ? "<y:State closed=\"false\"/></y:GroupNode></y:Realizers></y:ProxyAutoBoundsNode>" : "</y:ShapeNode>";
  out += "</data>";
  if (it.context) {
    out += '\n';
    writeGraph(out, i, it.xmlId + ":");
  }
  out += "</node>\n";
}

std::string Writer::legsText(const Item& it, const std::vector<std::string>& styles) const {
  const Maplet& m = *it.maplet;
  const Connector* c = m.getConnector();
  const std::uint16_t n = static_cast<std::uint16_t>(it.ends.size());
  std::string text;
  for (std::uint16_t k = 0; k < n; ++k) {
    const Line* leg = c ? c->leg(k) : nullptr;
    if (k) text += '\n';
    text += colourText(leg ? leg->lineColor() : 0, true);
    if (it.ends[k] >= 0) {
      text += " hooked";
    } else {
      const POINT e = c ? c->terminalPoint(k) : POINT{};
      text += " floats ";
      appendInt(text, e.x);
      text += ' ';
      appendInt(text, e.y);
    }
    if (!styles[k].empty()) {
      text += ' ';
      text += styles[k];
    }
  }
  return text;
}

// The arrowhead at the end of leg k, pointing at its terminal.
bool headAtEnd(const Connector* c, std::uint16_t k) {
  const Line* leg = c ? c->leg(k) : nullptr;
  return leg && leg->endArrow();
}

// The yEd look of an edge: its line, the arrowheads at its ends, its label.
void edgeGraphics(std::string& out, std::uint32_t colour, bool atSource, bool atTarget, const char* label) {
  out += "<data key=\"eg\"><y:PolyLineEdge>";
  if (colour != kBlack) {
    out += "<y:LineStyle color=\"";
    out += colourText(colour, false);
    out += "\"/>";
  }
  out += "<y:Arrows source=\"";
  out += atSource ? "standard" : "none";
  out += "\" target=\"";
  out += atTarget ? "standard" : "none";
  out += "\"/>";
  if (label && *label) {
    out += "<y:EdgeLabel>";
    appendEscaped(out, xmlSafeText(label), false);
    out += "</y:EdgeLabel>";
  }
  out += "</y:PolyLineEdge></data>";
}

// True when the legs are as the maplet's type makes them: their colours, no kept styles.
bool plainLegs(const Maplet& m, const std::vector<std::string>& styles) {
  const Connector* c = m.getConnector();
  const Connector* type = GraphicsFactory::instance().connectors().prototypeFor(m.prototypeName());
  for (std::uint16_t k = 0; k < styles.size(); ++k) {
    const Line* leg = c ? c->leg(k) : nullptr;
    const Line* given = type ? type->leg(k) : nullptr;
    if (!styles[k].empty() || !leg || !given || leg->lineColor() != given->lineColor()) return false;
  }
  return true;
}

void Writer::writeMapletEdge(std::string& out, const Item& it, int i) {
  const Maplet& m = *it.maplet;
  const Connector* c = m.getConnector();
  const bool first = headAtEnd(c, 0), second = headAtEnd(c, 1);
  // The arrowhead says which way the arc runs; without one, or with two, the order stays.
  const bool reversed = first && !second;
  const int from = it.ends[reversed ? 1 : 0], to = it.ends[reversed ? 0 : 1];
  out += "<edge";
  attribute(out, "id", it.xmlId);
  attribute(out, "source", items_[static_cast<std::size_t>(from)].xmlId);
  attribute(out, "target", items_[static_cast<std::size_t>(to)].xmlId);
  out += '>';
  textData(out, "ep", "ert", m.prototypeName());
  if (const char* label = m.label()) textData(out, "el", "erl", label);
  const POINT ctr = m.centre();
  data(out, "ec", pointText(ctr));
  if (const std::uint32_t flags = c ? c->connectorFlags() : 0; flags != (Connector::kAnchored | Connector::kAutoCentre))
    data(out, "eF", flags);
  if (reversed) data(out, "e1", "target");
  if (first == second) data(out, "ea", first ? "both" : "none");
  const std::vector<std::string> styles = legStyles(m, 2);
  if (!plainLegs(m, styles)) data(out, "eL", legsText(it, styles));
  if (writeOrder_) data(out, "eo", i);
  const Line* leg = c ? c->leg(0) : nullptr;
  edgeGraphics(out, leg ? leg->lineColor() : 0, first && second, first || second, m.label());
  out += "</edge>\n";
}

void Writer::writeMapletNode(std::string& out, const Item& it, int i) {
  const Maplet& m = *it.maplet;
  const Connector* c = m.getConnector();
  const char* label = m.label();
  const POINT ctr = m.centre();
  // Shown in other editors as a small box at the centre, as wide as its label.
  const std::string shown = label ? xmlSafeText(label) : std::string();
  const std::int32_t w = shown.empty() ? 10 : static_cast<std::int32_t>(std::min<std::size_t>(shown.size(), 60) * 7 + 10);
  const std::int32_t h = shown.empty() ? 10 : 20;
  const RECT box{ctr.x - w / 2, ctr.y - h / 2, ctr.x - w / 2 + w, ctr.y - h / 2 + h};
  out += "<node";
  attribute(out, "id", it.xmlId);
  out += '>';
  data(out, "nk", kKindMaplet);
  textData(out, "np", "nrt", m.prototypeName());
  if (label) textData(out, "nl", "nrl", label);
  data(out, "nc", pointText(ctr));
  data(out, "nF", c ? c->connectorFlags() : 0);
  data(out, "nL", legsText(it, legStyles(m, static_cast<std::uint16_t>(it.ends.size()))));
  data(out, "nx", box.left);
  data(out, "ny", box.top);
  data(out, "nw", w);
  data(out, "nh", h);
  if (writeOrder_) data(out, "no", i);
  const Line* leg0 = c ? c->leg(0) : nullptr;
  out += "<data key=\"ng\"><y:ShapeNode>";
  geometry(out, box);
  out += "<y:Fill color=\"#ffffff\"/>";
  if (const std::uint32_t line = leg0 ? leg0->lineColor() : 0; line != kBlack) {
    out += "<y:BorderStyle";
    attribute(out, "color", colourText(line, false));
    out += "/>";
  }
  out += "<y:NodeLabel>";
  appendEscaped(out, shown, false);
  out += "</y:NodeLabel><y:Shape type=\"";
  out += shown.empty() ? "ellipse" : "roundrectangle";
  out += "\"/></y:ShapeNode></data></node>\n";
  // One edge per hooked leg, from the maplet to what the leg is hooked to.
  for (std::size_t k = 0; k < it.ends.size(); ++k) {
    if (it.ends[k] < 0) continue;
    const Line* leg = c ? c->leg(static_cast<std::uint16_t>(k)) : nullptr;
    out += "<edge";
    attribute(out, "id", it.xmlId + "." + std::to_string(k));
    attribute(out, "source", it.xmlId);
    attribute(out, "target", items_[static_cast<std::size_t>(it.ends[k])].xmlId);
    out += '>';
    data(out, "ek", kKindLeg);
    data(out, "ei", static_cast<std::int64_t>(k));
    edgeGraphics(out, leg ? leg->lineColor() : 0, leg && leg->startArrow(), leg && leg->endArrow(), nullptr);
    out += "</edge>\n";
  }
}

bool writeText(std::ostream& out, const std::string& text, std::string& error) {
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.flush();
  if (out) return true;
  error = "the GraphML could not be written";
  return false;
}

}  // namespace

bool writeGraphML(const CMap& map, std::ostream& out, std::string& error) {
  std::string text;
  Writer(map, nullptr).write(text);
  return writeText(out, text, error);
}

bool writeGraphML(const CMap& map, const std::vector<Graphic*>& elements, std::ostream& out, std::string& error) {
  std::string text;
  Writer(map, &elements).write(text);
  return writeText(out, text, error);
}

bool saveGraphML(const CMap& map, const std::string& fileName, std::string* why) {
  std::string text;
  Writer(map, nullptr).write(text);
  SaveFailure failure;
  if (replaceFileContent(fileName, text, failure)) return true;
  char message[1024];
  if (failure.cannotOpen) std::snprintf(message, sizeof message, "Can't open file '%s'", fileName.c_str());
  else std::snprintf(message, sizeof message, "Can't save file '%s': %s", fileName.c_str(), failure.reason.c_str());
  reportError(nullptr, 'E', "%s", message);
  if (why) *why = message;
  return false;
}

bool looksLikeGraphML(std::string_view start) {
  if (start.substr(0, 3) == "\xEF\xBB\xBF") start.remove_prefix(3);
  while (!start.empty() && (start.front() == ' ' || start.front() == '\t' || start.front() == '\r' || start.front() == '\n'))
    start.remove_prefix(1);
  return start.substr(0, 5) == "<?xml" || start.substr(0, 8) == "<graphml";
}

bool isGraphMLFileName(const std::string& fileName) {
  constexpr std::string_view suffix = ".graphml";
  if (fileName.size() < suffix.size()) return false;
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    char c = fileName[fileName.size() - suffix.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != suffix[i]) return false;
  }
  return true;
}

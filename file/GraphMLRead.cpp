// Reading GraphML into a map: brenlo's own files exactly, other tools' files from their graphics or as plain graphs.
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "file/GraphML.h"
#include "file/GraphMLFormat.h"
#include "file/MapFile.h"
#include "model/CMap.h"
#include "support/ErrorReporter.h"
#include "support/Fields.h"

using namespace graphml;

namespace {

// What an element of the file says: its data, by the attr.name of their keys, and what its
// yEd graphics show.
enum Slot : int {
  kLabel, kName, kX, kY, kWidth, kHeight, kShape, kFill, kBorder, kTextColor, kKind, kType, kFlags, kOrder,
  kCentre, kLegs, kFirst, kLeg, kRawLabel, kRawType, kNextId,
  kDataCount,
  kLookX = kDataCount, kLookY, kLookWidth, kLookHeight, kLookFill, kLookBorder, kLookLabel, kLookTextColor,
  kLookShape, kLookArrowSource, kLookArrowTarget, kLookLine,
  kSlotCount,
  kGraphics = kSlotCount, kOther
};

Slot slotNamed(std::string_view name) {
  static const std::pair<const char*, Slot> kNames[] = {
      {key::kLabel, kLabel},       {"name", kName},           {key::kX, kX},
      {key::kY, kY},               {key::kWidth, kWidth},     {key::kHeight, kHeight},
      {key::kShape, kShape},       {key::kFill, kFill},       {key::kBorder, kBorder},
      {key::kText, kTextColor},    {key::kKind, kKind},       {key::kType, kType},
      {key::kFlags, kFlags},       {key::kOrder, kOrder},     {key::kCentre, kCentre},
      {key::kLegs, kLegs},       {key::kFirst, kFirst},
      {key::kLeg, kLeg},           {key::kRawLabel, kRawLabel}, {key::kRawType, kRawType},
      {key::kNextId, kNextId}};
  for (const auto& [text, slot] : kNames)
    if (name == text) return slot;
  return kOther;
}

// A piece of the reader's text store.
struct Span {
  std::uint32_t at = 0, size = 0;
};

struct KeyInfo {
  Slot slot = kOther;
  bool forNodes = true, forEdges = true;
  bool hasDefault = false;
  Span fallback;  // the key's default value
};

// One <node> or <edge> of the file, in document order.
struct Entry {
  bool edge = false;
  bool dropped = false;      // a node without an id, or with one given before
  bool holdsGraph = false;
  bool group = false;        // marked as a group node, or shown as one
  bool directed = true;      // edges: directed="..." or the graph's default
  int holder = -1;           // the node entry whose graph holds this one
  std::uint64_t has = 0;     // which slots are given
  std::array<Span, kSlotCount> slots{};
  Span id, source, target;
};

// What an entry becomes.
enum class Made { Nothing, Node, Context, Maplet, Arc, Leg };

struct Leg {
  int maplet = -1;
  int target = -1;
  std::uint16_t index = 0;
};

// One leg as the legs data describes it.
struct LegLine {
  std::optional<std::uint32_t> colour;
  std::string styles;
};

// Where the parse stands: one record per open element.
enum class Role {
  Ignore, GraphML, Key, KeyDefault, Graph, Node, Edge, Data, GraphData, Graphics, Proxy, Realizers, Realizer, LookLabel
};
struct Open {
  Role role;
  int entry = -1;       // the node or edge this belongs to
  Slot slot = kOther;   // Data, GraphData, KeyDefault, LookLabel: where the text goes
  std::uint32_t textAt = 0;
  int children = 0;     // element children met so far
  int active = 0;       // Realizers: the realizer shown
  bool directed = true; // Graph: its edge default
};

// Key ids looked up by the text the parser hands over, without copying it.
struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};

bool isNamed(const xmlChar* localname, const char* name) { return std::strcmp(reinterpret_cast<const char*>(localname), name) == 0; }

class Reader {
 public:
  Reader(CMap& map, const std::string& fileName) : map_(map), file_(fileName) {}
  bool read(std::string_view text, std::string& error);

  // The parser's calls.
  void start(const xmlChar* localname, const xmlChar* uri, int attributeCount, const xmlChar** attributes);
  void end();
  void characters(const xmlChar* text, int length);

 private:
  Span store(std::string_view text) {
    Span s{static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(text.size())};
    text_.append(text);
    return s;
  }
  std::string_view spanText(Span s) const { return std::string_view(text_).substr(s.at, s.size); }
  // The value of an attribute without a namespace, empty when there is none.
  static std::string_view attribute(int count, const xmlChar** attributes, const char* name);
  void setSlot(int entry, Slot slot, Span value) {
    Entry& e = entries_[static_cast<std::size_t>(entry)];
    e.slots[slot] = value;
    e.has |= std::uint64_t{1} << slot;
  }
  void startLook(Open& top, const xmlChar* localname, int count, const xmlChar** attributes);
  void finishEntry(int entry);
  void settleIds();

  void build();
  void resolveEdges();
  void assignIds();
  void placeUnplaced();
  RECT placeChildren(int holder, std::int32_t x, std::int32_t y);
  void nodeLine(int i, std::string& line);
  void mapletLine(int i, std::string& line);
  bool headShown(int i, Slot end) const;  // the graphics show an arrowhead at that end

  bool brenlo(int i) const { return has(i, kKind); }
  std::string_view value(int i, Slot s) const { return spanText(entries_[static_cast<std::size_t>(i)].slots[s]); }
  bool has(int i, Slot s) const { return (entries_[static_cast<std::size_t>(i)].has >> s) & 1; }
  std::optional<std::int64_t> number(int i, Slot s, std::int64_t lo, std::int64_t hi) const;
  std::optional<std::int64_t> numberIn(int i, std::string_view text, std::int64_t lo, std::int64_t hi) const;
  std::optional<std::uint32_t> colour(int i, Slot given, Slot shown) const;
  std::string text(int i, Slot plain, Slot raw) const;
  const char* what(int i) const { return entries_[static_cast<std::size_t>(i)].edge ? "edge" : "node"; }
  std::string idText(int i) const { return std::string(spanText(entries_[static_cast<std::size_t>(i)].id).substr(0, 80)); }
  void lose() { ++lost_; }

  CMap& map_;
  const std::string& file_;
  std::string text_;  // every value the reader keeps, one after the other
  std::vector<Open> open_;
  bool sawRoot_ = false, sawGraph_ = false;
  std::unordered_map<std::string, KeyInfo, TextHash, std::equal_to<>> keys_;
  // The keys' defaults, by slot, for nodes and for edges.
  std::array<Span, kDataCount> nodeDefaults_{}, edgeDefaults_{};
  std::uint64_t nodeDefaulted_ = 0, edgeDefaulted_ = 0;
  std::string pendingKey_;  // the id of the key being read
  KeyInfo pendingInfo_;
  std::unordered_map<std::string, bool> unknownKeys_;
  std::vector<Entry> entries_;
  std::unordered_map<std::string_view, int> nodeIds_;
  std::uint32_t nextId_ = 0;  // the id counter the file gives, 0 for none

  std::vector<Made> made_;
  std::vector<std::optional<RECT>> rects_;
  std::vector<std::vector<int>> kids_;  // the node entries each graph holds, by holder + 1
  std::vector<bool> autoSize_;
  std::vector<std::uint32_t> ids_;
  std::vector<int> ends0_, ends1_;  // arcs: the entries their first and second terminals are hooked to
  std::vector<Leg> legs_;
  std::size_t lost_ = 0;
};

std::string_view Reader::attribute(int count, const xmlChar** attributes, const char* name) {
  for (int a = 0; a < count; ++a) {
    const xmlChar** at = attributes + 5 * a;
    if (at[2] == nullptr && isNamed(at[0], name))
      return std::string_view(reinterpret_cast<const char*>(at[3]), static_cast<std::size_t>(at[4] - at[3]));
  }
  return {};
}

void Reader::start(const xmlChar* localname, const xmlChar* uri, int count, const xmlChar** attributes) {
  const bool ours = !uri || isNamed(uri, kNamespace);
  Role parent = open_.empty() ? Role::Ignore : open_.back().role;
  Open next{Role::Ignore};
  if (open_.empty()) {
    sawRoot_ = ours && isNamed(localname, "graphml");
    next.role = sawRoot_ ? Role::GraphML : Role::Ignore;
    open_.push_back(next);
    return;
  }
  Open& top = open_.back();
  ++top.children;
  switch (parent) {
    case Role::GraphML:
      if (ours && isNamed(localname, "key")) {
        next.role = Role::Key;
        pendingKey_ = attribute(count, attributes, "id");
        pendingInfo_ = KeyInfo();
        std::string_view yfiles = attribute(count, attributes, "yfiles.type");
        pendingInfo_.slot = yfiles == "nodegraphics" || yfiles == "edgegraphics"
                                ? kGraphics
                                : slotNamed(attribute(count, attributes, "attr.name"));
        std::string_view owner = attribute(count, attributes, "for");
        pendingInfo_.forNodes = owner.empty() || owner == "all" || owner == "node";
        pendingInfo_.forEdges = owner.empty() || owner == "all" || owner == "edge";
      } else if (ours && isNamed(localname, "graph") && !sawGraph_) {
        sawGraph_ = true;
        next.role = Role::Graph;
        next.directed = attribute(count, attributes, "edgedefault") != "undirected";
      }
      break;
    case Role::Key:
      if (ours && isNamed(localname, "default") && pendingInfo_.slot < kDataCount) {
        next.role = Role::KeyDefault;
        next.textAt = static_cast<std::uint32_t>(text_.size());
      }
      break;
    case Role::Graph:
      if (ours && (isNamed(localname, "node") || isNamed(localname, "edge"))) {
        Entry e;
        e.edge = isNamed(localname, "edge");
        e.holder = top.entry;
        e.id = store(attribute(count, attributes, "id"));
        if (e.edge) {
          e.source = store(attribute(count, attributes, "source"));
          e.target = store(attribute(count, attributes, "target"));
          std::string_view directed = attribute(count, attributes, "directed");
          e.directed = directed.empty() ? top.directed : directed != "false" && directed != "0";
        } else {
          e.group = attribute(count, attributes, "yfiles.foldertype") == "group";
        }
        next.role = e.edge ? Role::Edge : Role::Node;
        next.entry = static_cast<int>(entries_.size());
        entries_.push_back(e);
      } else if (ours && isNamed(localname, "hyperedge")) {
        reportError(nullptr, 'E', "GraphML: '%s' has a hyperedge; maps have none, and it is left out", file_.c_str());
        lose();
      } else if (ours && isNamed(localname, "data") && top.entry < 0) {
        // The map's own data: its id counter.
        auto k = keys_.find(attribute(count, attributes, "key"));
        if (k != keys_.end() && k->second.slot == kNextId) {
          next.role = Role::GraphData;
          next.textAt = static_cast<std::uint32_t>(text_.size());
        }
      }
      break;
    case Role::Node:
    case Role::Edge:
      if (ours && isNamed(localname, "data")) {
        std::string_view keyId = attribute(count, attributes, "key");
        auto k = keys_.find(keyId);
        if (k == keys_.end()) {
          if (unknownKeys_.emplace(std::string(keyId), true).second)
            reportError(nullptr, 'W', "GraphML: '%s' has data of key '%.80s', which it does not declare; it is left out",
                        file_.c_str(), std::string(keyId).c_str());
        } else if (k->second.slot == kGraphics) {
          next.role = Role::Graphics;
          next.entry = top.entry;
        } else if (k->second.slot < kDataCount) {
          next.role = Role::Data;
          next.entry = top.entry;
          next.slot = k->second.slot;
          next.textAt = static_cast<std::uint32_t>(text_.size());
        }
      } else if (ours && parent == Role::Node && isNamed(localname, "graph") &&
                 !entries_[static_cast<std::size_t>(top.entry)].holdsGraph) {
        entries_[static_cast<std::size_t>(top.entry)].holdsGraph = true;
        next.role = Role::Graph;
        next.entry = top.entry;
        next.directed = attribute(count, attributes, "edgedefault") != "undirected";
      }
      break;
    case Role::Graphics:
      // The first element is the look: a shape, an edge, or a group's set of looks.
      if (top.children == 1) {
        next.entry = top.entry;
        next.role = isNamed(localname, "ProxyAutoBoundsNode") ? Role::Proxy : Role::Realizer;
        if (isNamed(localname, "GroupNode")) entries_[static_cast<std::size_t>(top.entry)].group = true;
      }
      break;
    case Role::Proxy:
      if (isNamed(localname, "Realizers")) {
        next.role = Role::Realizers;
        next.entry = top.entry;
        std::string_view active = attribute(count, attributes, "active");
        std::from_chars(active.data(), active.data() + active.size(), next.active);
      }
      break;
    case Role::Realizers:
      if (top.children - 1 == top.active) {
        next.role = Role::Realizer;
        next.entry = top.entry;
        if (isNamed(localname, "GroupNode")) entries_[static_cast<std::size_t>(top.entry)].group = true;
      }
      break;
    case Role::Realizer:
      startLook(next, localname, count, attributes);
      next.entry = top.entry;
      break;
    default:
      break;
  }
  open_.push_back(next);
}

void Reader::startLook(Open& next, const xmlChar* localname, int count, const xmlChar** attributes) {
  const int entry = open_.back().entry;
  const Entry& e = entries_[static_cast<std::size_t>(entry)];
  auto take = [&](Slot slot, const char* name) {
    if (!((e.has >> slot) & 1)) setSlot(entry, slot, store(attribute(count, attributes, name)));
  };
  if (isNamed(localname, "Geometry")) {
    take(kLookX, "x");
    take(kLookY, "y");
    take(kLookWidth, "width");
    take(kLookHeight, "height");
  } else if (isNamed(localname, "Fill")) {
    take(kLookFill, "color");
  } else if (isNamed(localname, "BorderStyle")) {
    take(kLookBorder, "color");
  } else if (isNamed(localname, "LineStyle")) {
    take(kLookLine, "color");
  } else if (isNamed(localname, "Shape")) {
    take(kLookShape, "type");
  } else if (isNamed(localname, "Arrows")) {
    take(kLookArrowSource, "source");
    take(kLookArrowTarget, "target");
  } else if ((isNamed(localname, "NodeLabel") || isNamed(localname, "EdgeLabel")) && !((e.has >> kLookLabel) & 1)) {
    take(kLookTextColor, "textColor");
    next.role = Role::LookLabel;
    next.slot = kLookLabel;
    next.textAt = static_cast<std::uint32_t>(text_.size());
  }
}

void Reader::characters(const xmlChar* text, int length) {
  const Role role = open_.empty() ? Role::Ignore : open_.back().role;
  if (role == Role::Data || role == Role::GraphData || role == Role::KeyDefault || role == Role::LookLabel)
    text_.append(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
}

void Reader::end() {
  const Open done = open_.back();
  open_.pop_back();
  const Span captured{done.textAt, static_cast<std::uint32_t>(text_.size() - done.textAt)};
  switch (done.role) {
    case Role::Data:
    case Role::LookLabel:
      setSlot(done.entry, done.slot, captured);
      break;
    case Role::KeyDefault:
      pendingInfo_.hasDefault = true;
      pendingInfo_.fallback = captured;
      break;
    case Role::Key:
      if (!pendingKey_.empty()) {
        keys_[pendingKey_] = pendingInfo_;
        if (pendingInfo_.hasDefault && pendingInfo_.slot < kDataCount) {
          const std::uint64_t bit = std::uint64_t{1} << pendingInfo_.slot;
          if (pendingInfo_.forNodes) {
            nodeDefaults_[pendingInfo_.slot] = pendingInfo_.fallback;
            nodeDefaulted_ |= bit;
          }
          if (pendingInfo_.forEdges) {
            edgeDefaults_[pendingInfo_.slot] = pendingInfo_.fallback;
            edgeDefaulted_ |= bit;
          }
        }
      }
      break;
    case Role::GraphData: {
      std::string_view t = spanText(captured);
      std::uint32_t counter = 0;
      auto r = std::from_chars(t.data(), t.data() + t.size(), counter);
      if (r.ec == std::errc() && r.ptr == t.data() + t.size()) nextId_ = counter;
      break;
    }
    case Role::Node:
    case Role::Edge:
      finishEntry(done.entry);
      break;
    default:
      break;
  }
}

// The defaults of the keys go to the data an element does not give.
void Reader::finishEntry(int entry) {
  Entry& e = entries_[static_cast<std::size_t>(entry)];
  const std::uint64_t missing = (e.edge ? edgeDefaulted_ : nodeDefaulted_) & ~e.has;
  if (!missing) return;
  const auto& defaults = e.edge ? edgeDefaults_ : nodeDefaults_;
  for (int slot = 0; slot < kDataCount; ++slot)
    if ((missing >> slot) & 1) e.slots[static_cast<std::size_t>(slot)] = defaults[static_cast<std::size_t>(slot)];
  e.has |= missing;
}

void Reader::settleIds() {
  // Node ids are looked up by edges; a node without one, or with one given before, is left
  // out, and what it holds goes to its holder.
  nodeIds_.reserve(entries_.size());
  for (std::size_t n = 0; n < entries_.size(); ++n) {
    Entry& e = entries_[n];
    while (e.holder >= 0 && entries_[static_cast<std::size_t>(e.holder)].dropped)
      e.holder = entries_[static_cast<std::size_t>(e.holder)].holder;
    if (e.edge) continue;
    const std::string_view id = spanText(e.id);
    if (!id.empty() && nodeIds_.emplace(id, static_cast<int>(n)).second) continue;
    e.dropped = true;
    reportError(nullptr, 'E', id.empty() ? "GraphML: '%s' has a node without an id%.0s; it is left out"
                                         : "GraphML: '%s' has two nodes with the id '%.80s'; the second is left out",
                file_.c_str(), std::string(id).c_str());
    lose();
  }
}

// A whole number in [lo, hi]; a fraction is rounded. Reported, and nothing, when there is none.
std::optional<std::int64_t> Reader::number(int i, Slot s, std::int64_t lo, std::int64_t hi) const {
  return numberIn(i, value(i, s), lo, hi);
}

std::optional<std::int64_t> Reader::numberIn(int i, std::string_view t, std::int64_t lo, std::int64_t hi) const {
  const std::string_view given = t;
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t' || t.front() == '\n' || t.front() == '\r')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\n' || t.back() == '\r')) t.remove_suffix(1);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  std::int64_t whole = 0;
  auto r = std::from_chars(t.data(), t.data() + t.size(), whole);
  if (!t.empty() && r.ec == std::errc() && r.ptr == t.data() + t.size() && whole >= lo && whole <= hi) return whole;
  double real = 0;
  auto d = std::from_chars(t.data(), t.data() + t.size(), real);
  if (!t.empty() && d.ec == std::errc() && d.ptr == t.data() + t.size() && std::isfinite(real) &&
      std::round(real) >= double(lo) && std::round(real) <= double(hi))
    return static_cast<std::int64_t>(std::llround(real));
  reportError(nullptr, 'W', "GraphML: %s '%s' of '%s': '%.40s' is no number the map can take; it is left out", what(i),
              idText(i).c_str(), file_.c_str(), std::string(given).c_str());
  return std::nullopt;
}

std::optional<std::uint32_t> Reader::colour(int i, Slot given, Slot shown) const {
  if (has(i, given)) {
    if (auto c = parseColour(value(i, given), true)) return c;
    reportError(nullptr, 'W', "GraphML: %s '%s' of '%s': '%.40s' is no colour; it is left out", what(i), idText(i).c_str(),
                file_.c_str(), std::string(value(i, given)).c_str());
  }
  return has(i, shown) ? parseColour(value(i, shown), false) : std::nullopt;
}

// A label or type name: the quoted form when the file has it, else the plain text.
std::string Reader::text(int i, Slot plain, Slot raw) const {
  if (has(i, raw)) {
    std::istringstream in{std::string(value(i, raw))};
    std::string t;
    if (readQuoted(in, t) == kFieldRead) return t;
  }
  return std::string(value(i, plain));
}

extern "C" {
static void onStart(void* reader, const xmlChar* localname, const xmlChar*, const xmlChar* uri, int, const xmlChar**,
                    int attributeCount, int, const xmlChar** attributes) {
  static_cast<Reader*>(reader)->start(localname, uri, attributeCount, attributes);
}
static void onEnd(void* reader, const xmlChar*, const xmlChar*, const xmlChar*) { static_cast<Reader*>(reader)->end(); }
static void onCharacters(void* reader, const xmlChar* text, int length) {
  static_cast<Reader*>(reader)->characters(text, length);
}
static void onError(void*, xmlErrorPtr) {}
}

bool Reader::read(std::string_view text, std::string& error) {
  const std::uint64_t limit = std::min<std::uint64_t>(mapFileSizeLimit(), INT_MAX);
  if (text.size() > limit) {
    error = "it is larger than " + std::to_string(limit) + " bytes";
    reportError(nullptr, 'E', "File '%s' is larger than %llu bytes; it is not read", file_.c_str(),
                static_cast<unsigned long long>(limit));
    return false;
  }
  if (text.empty()) {
    error = "it is empty";
    reportError(nullptr, 'E', "GraphML: '%s': %s", file_.c_str(), error.c_str());
    return false;
  }
  xmlInitParser();
  std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxtPtr)> ctxt(
      xmlCreateMemoryParserCtxt(text.data(), static_cast<int>(text.size())), xmlFreeParserCtxt);
  if (!ctxt) {
    error = "no memory for the XML parser";
    reportError(nullptr, 'E', "GraphML: %s", error.c_str());
    return false;
  }
  // No network, no DTD loaded; entities declared in the file are not known, so none is
  // substituted (a file that uses them is refused); nothing printed by the parser.
  xmlCtxtUseOptions(ctxt.get(), XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA | XML_PARSE_NODICT);
  xmlSAXHandler sax{};
  sax.initialized = XML_SAX2_MAGIC;
  sax.startElementNs = onStart;
  sax.endElementNs = onEnd;
  sax.characters = onCharacters;
  sax.cdataBlock = onCharacters;
  sax.serror = onError;
  *ctxt->sax = sax;
  ctxt->userData = this;
  text_.reserve(text.size() / 3);
  entries_.reserve(text.size() / 256);
  xmlParseDocument(ctxt.get());
  if (!ctxt->wellFormed) {
    const xmlError* e = xmlCtxtGetLastError(ctxt.get());
    std::string why = e && e->message ? e->message : "unreadable";
    while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
    if (e && e->code == XML_ERR_UNDECLARED_ENTITY) why += " (entities a file declares itself are not read)";
    error = "not well-formed XML at line " + std::to_string(e ? e->line : 0) + ": " + why;
    reportError(nullptr, 'E', "GraphML: '%s' is %s", file_.c_str(), error.c_str());
    return false;
  }
  if (!sawRoot_) {
    error = "it holds no graphml element";
    reportError(nullptr, 'E', "GraphML: '%s': %s", file_.c_str(), error.c_str());
    return false;
  }
  settleIds();
  build();
  return true;
}

// The shape type name of a shape kind, as the key or the yEd graphics give it.
std::string shapeTypeNamed(std::string_view kind, bool context) {
  if (context) return "frame";
  if (kind == "ellipse") return "Ellipse";
  if (kind == "roundrectangle") return "RoundRect";
  if (kind == "frame") return "frame";
  if (kind.empty()) return "default";
  return "Rectangle";
}

void appendRect(std::string& line, const RECT& r) {
  char buf[48];
  char* at = buf;
  for (std::int32_t v : {r.left, r.top, r.right, r.bottom}) {
    if (at != buf) *at++ = ' ';
    at = std::to_chars(at, buf + sizeof buf, v).ptr;
  }
  line.append(buf, at);
}

bool printable(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

bool Reader::headShown(int i, Slot end) const {
  std::string_view v = value(i, end);
  return has(i, end) && !v.empty() && v != "none";
}

void Reader::build() {
  const std::size_t n = entries_.size();
  made_.assign(n, Made::Nothing);
  for (std::size_t e = 0; e < n; ++e) {
    const int i = static_cast<int>(e);
    const Entry& entry = entries_[e];
    if (entry.dropped) continue;
    if (entry.edge) {
      made_[e] = has(i, kKind) && value(i, kKind) == kKindLeg ? Made::Leg : Made::Arc;
      continue;
    }
    std::string_view kind = value(i, kKind);
    if (kind == kKindNode) made_[e] = Made::Node;
    else if (kind == kKindContext) made_[e] = Made::Context;
    else if (kind == kKindMaplet) made_[e] = Made::Maplet;
    else {
      if (has(i, kKind))
        reportError(nullptr, 'W', "GraphML: node '%s' of '%s' is of the kind '%.40s', which maps do not have; it is read as a node",
                    idText(i).c_str(), file_.c_str(), std::string(kind).c_str());
      made_[e] = entry.holdsGraph || entry.group ? Made::Context : Made::Node;
    }
  }
  resolveEdges();
  assignIds();
  placeUnplaced();

  std::vector<int> order;
  std::vector<std::int64_t> position(n, 0);
  bool ordered = true;
  for (std::size_t e = 0; e < n; ++e) {
    if (made_[e] == Made::Nothing || made_[e] == Made::Leg) continue;
    const int i = static_cast<int>(e);
    order.push_back(i);
    std::optional<std::int64_t> at;
    if (ordered && brenlo(i) && has(i, kOrder)) at = number(i, kOrder, INT64_MIN, INT64_MAX);
    if (at) position[e] = *at;
    else ordered = false;
  }
  // Elements keep the stacking order they were written in; a file without it is stacked as it reads.
  if (ordered)
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return position[static_cast<std::size_t>(a)] < position[static_cast<std::size_t>(b)]; });

  std::uint32_t top = 0;
  for (int i : order) top = std::max(top, ids_[static_cast<std::size_t>(i)]);
  std::string text;
  // The counter the file gives, unless an id has reached it.
  const std::uint32_t counter = top == UINT32_MAX ? 1 : top + 1;
  appendHex(text, nextId_ && nextId_ > top ? nextId_ : counter);
  text += "\n;\n";
  for (int i : order) {
    const Made m = made_[static_cast<std::size_t>(i)];
    if (m == Made::Node || m == Made::Context) nodeLine(i, text);
    else mapletLine(i, text);
    text += '\n';
  }
  text += ";\n";
  // What the file said is not needed any more: the map's elements take its room.
  std::vector<Entry>().swap(entries_);
  decltype(nodeIds_)().swap(nodeIds_);
  std::string().swap(text_);
  std::istringstream in(std::move(text));
  map_.readComponentsFrom(in, &kMapSyntaxVersion);
  map_.setReadIncompletely(lost_ > 0 || map_.lastRead().lost > 0);
}

void Reader::resolveEdges() {
  const std::size_t n = entries_.size();
  ends0_.assign(n, -1);
  ends1_.assign(n, -1);
  for (std::size_t e = 0; e < n; ++e) {
    if (made_[e] != Made::Arc && made_[e] != Made::Leg) continue;
    const int i = static_cast<int>(e);
    const Entry& entry = entries_[e];
    auto s = nodeIds_.find(spanText(entry.source)), t = nodeIds_.find(spanText(entry.target));
    if (s == nodeIds_.end() || t == nodeIds_.end()) {
      std::string missing(spanText(s == nodeIds_.end() ? entry.source : entry.target).substr(0, 80));
      reportError(nullptr, 'E', "GraphML: edge '%s' of '%s' joins the node '%s', which the file does not hold; it is left out",
                  idText(i).c_str(), file_.c_str(), missing.c_str());
      made_[e] = Made::Nothing;
      lose();
      continue;
    }
    if (made_[e] == Made::Leg) {
      if (made_[static_cast<std::size_t>(s->second)] != Made::Maplet) {
        reportError(nullptr, 'W', "GraphML: edge '%s' of '%s' is a leg of no maplet; it is read as an arc", idText(i).c_str(),
                    file_.c_str());
        made_[e] = Made::Arc;
      } else if (auto index = has(i, kLeg) ? number(i, kLeg, 0, 0xFFFF) : std::nullopt) {
        legs_.push_back({s->second, t->second, static_cast<std::uint16_t>(*index)});
        continue;
      } else {
        reportError(nullptr, 'E', "GraphML: edge '%s' of '%s' is a leg without its number; it is left out",
                    idText(i).c_str(), file_.c_str());
        made_[e] = Made::Nothing;
        lose();
        continue;
      }
    }
    bool reversed = false;
    if (brenlo(i)) {
      reversed = value(i, kFirst) == "target";
    } else {
      reversed = headShown(i, kLookArrowSource) && !headShown(i, kLookArrowTarget);
    }
    ends0_[e] = reversed ? t->second : s->second;
    ends1_[e] = reversed ? s->second : t->second;
  }
  std::stable_sort(legs_.begin(), legs_.end(), [](const Leg& a, const Leg& b) { return a.maplet < b.maplet; });
}

void Reader::assignIds() {
  ids_.assign(entries_.size(), 0);
  std::unordered_map<std::uint32_t, bool> used;
  // Elements brenlo wrote keep their ids ("n" or "e" and the id), unless one repeats.
  for (std::size_t e = 0; e < entries_.size(); ++e) {
    if (made_[e] == Made::Nothing || made_[e] == Made::Leg || !brenlo(static_cast<int>(e))) continue;
    std::string_view id = spanText(entries_[e].id);
    std::uint32_t wanted = 0;
    if (id.size() < 2 || (id[0] != 'n' && id[0] != 'e')) continue;
    auto r = std::from_chars(id.data() + 1, id.data() + id.size(), wanted);
    if (r.ec != std::errc() || r.ptr != id.data() + id.size() || wanted == 0 || id[1] == '0' || used.count(wanted)) continue;
    used.emplace(wanted, true);
    ids_[e] = wanted;
  }
  std::uint32_t next = 1;
  for (const auto& [id, yes] : used) next = std::max(next, id == UINT32_MAX ? 1 : id + 1);
  for (std::size_t e = 0; e < entries_.size(); ++e) {
    if (made_[e] == Made::Nothing || made_[e] == Made::Leg || ids_[e] != 0) continue;
    while (next == 0 || used.count(next)) ++next;
    ids_[e] = next;
    used.emplace(next++, true);
  }
}

void Reader::placeUnplaced() {
  const std::size_t n = entries_.size();
  rects_.assign(n, std::nullopt);
  autoSize_.assign(n, false);
  constexpr std::int64_t lo = INT32_MIN, hi = INT32_MAX;
  std::optional<RECT> all;
  for (std::size_t e = 0; e < n; ++e) {
    if (made_[e] != Made::Node && made_[e] != Made::Context) continue;
    const int i = static_cast<int>(e);
    std::optional<std::int64_t> x, y, w, h;
    if (has(i, kX) && has(i, kY) && (!brenlo(i) || (has(i, kWidth) && has(i, kHeight)))) {
      x = number(i, kX, lo, hi);
      y = number(i, kY, lo, hi);
      w = has(i, kWidth) ? number(i, kWidth, lo, hi) : std::optional<std::int64_t>(100);
      h = has(i, kHeight) ? number(i, kHeight, lo, hi) : std::optional<std::int64_t>(30);
    }
    if (!(x && y && w && h) && has(i, kLookX) && has(i, kLookY) && has(i, kLookWidth) && has(i, kLookHeight)) {
      // The graphics hold fractions, rounded like the numbers of the data keys.
      x = number(i, kLookX, lo, hi);
      y = number(i, kLookY, lo, hi);
      w = number(i, kLookWidth, lo, hi);
      h = number(i, kLookHeight, lo, hi);
    }
    if (!(x && y && w && h) || *x + *w < lo || *x + *w > hi || *y + *h < lo || *y + *h > hi) continue;
    const RECT r{static_cast<std::int32_t>(*x), static_cast<std::int32_t>(*y), static_cast<std::int32_t>(*x + *w),
                 static_cast<std::int32_t>(*y + *h)};
    rects_[e] = r;
    all = all ? RECT{std::min(all->left, r.left), std::min(all->top, r.top), std::max(all->right, r.right),
                     std::max(all->bottom, r.bottom)}
              : r;
  }
  // What has no place goes on a grid below what has one; a context around what it holds.
  kids_.assign(n + 1, {});
  for (std::size_t e = 0; e < n; ++e)
    if (made_[e] == Made::Node || made_[e] == Made::Context) kids_[static_cast<std::size_t>(entries_[e].holder + 1)].push_back(static_cast<int>(e));
  const std::int32_t x0 = all && all->left > -(1 << 29) && all->left < (1 << 29) ? all->left : 20;
  const std::int32_t y0 = all && all->bottom < (1 << 29) ? std::max(all->bottom + 60, 20) : 20;
  placeChildren(-1, x0, y0);
}

RECT Reader::placeChildren(int holder, std::int32_t x0, std::int32_t y0) {
  auto clamp = [](std::int64_t v) { return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN / 2, INT32_MAX / 2)); };
  std::vector<int> unplaced;
  for (int i : kids_[static_cast<std::size_t>(holder + 1)]) {
    const std::size_t e = static_cast<std::size_t>(i);
    if (!rects_[e]) unplaced.push_back(i);
    else if (made_[e] == Made::Context)
      placeChildren(i, clamp(std::int64_t{rects_[e]->left} + 10), clamp(std::int64_t{rects_[e]->top} + 30));
  }
  const int columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(double(unplaced.size())))));
  std::int32_t x = clamp(x0), y = clamp(y0), rowHeight = 0;
  int column = 0;
  RECT box{x, y, x, y};
  for (int i : unplaced) {
    const std::size_t e = static_cast<std::size_t>(i);
    RECT r{x, y, x + 100, y + 30};
    if (made_[e] == Made::Context) {
      const RECT inner = placeChildren(i, x + 10, y + 30);
      r = {x, y, std::max(inner.right + 10, x + 100), std::max(inner.bottom + 10, y + 75)};
    } else {
      autoSize_[e] = true;
    }
    rects_[e] = r;
    box = {std::min(box.left, r.left), std::min(box.top, r.top), std::max(box.right, r.right), std::max(box.bottom, r.bottom)};
    x = clamp(std::int64_t{r.right} + 40);
    rowHeight = std::max(rowHeight, r.bottom - y);
    if (++column == columns) {
      column = 0;
      x = clamp(x0);
      y = clamp(std::int64_t{y} + rowHeight + 30);
      rowHeight = 0;
    }
  }
  return box;
}

void Reader::nodeLine(int i, std::string& line) {
  const std::size_t e = static_cast<std::size_t>(i);
  const bool ours = brenlo(i), context = made_[e] == Made::Context;
  line += context ? "5,\"ContextBox\"," : "1,\"Node\",";
  appendHex(line, ids_[e]);
  line += ',';
  std::string type;
  if (ours && (has(i, kType) || has(i, kRawType))) type = text(i, kType, kRawType);
  else if (ours && has(i, kShape)) type = shapeTypeNamed(value(i, kShape), context && value(i, kShape) == "frame");
  else if (has(i, kLookShape)) type = shapeTypeNamed(value(i, kLookShape), context);
  else type = shapeTypeNamed({}, context);
  appendQuoted(line, type);
  line += ',';
  if (rects_[e]) appendRect(line, *rects_[e]);
  line += ',';
  std::string label;
  if (ours) label = text(i, kLabel, kRawLabel);
  else if (has(i, kLabel)) label = value(i, kLabel);
  else if (has(i, kName)) label = value(i, kName);
  else if (has(i, kLookLabel)) label = value(i, kLookLabel);
  else label = spanText(entries_[e].id);
  appendQuoted(line, label);
  for (auto [given, shown] : {std::pair{kFill, kLookFill}, {kBorder, kLookBorder}}) {
    line += ',';
    if (auto c = colour(i, given, shown)) appendHex(line, *c);
  }
  line += ",,,";
  if (auto c = colour(i, kTextColor, kLookTextColor)) appendHex(line, *c);
  line += ',';
  if (ours && has(i, kFlags)) {
    if (auto flags = number(i, kFlags, 0, UINT32_MAX)) appendHex(line, static_cast<std::uint64_t>(*flags));
  } else if (autoSize_[e]) {
    appendHex(line, 0x80000001u);  // sized to its label at the first drawing
  }

}

void Reader::mapletLine(int i, std::string& line) {
  const std::size_t e = static_cast<std::size_t>(i);
  const bool ours = brenlo(i), arc = made_[e] == Made::Arc;
  line += "2,\"SMaplet\",";
  appendHex(line, ids_[e]);
  line += ',';
  // The type: brenlo's own, else what the arrowheads of the graphics or the edge's direction say.
  std::string type = "default";
  if (ours && (has(i, kType) || has(i, kRawType))) {
    type = text(i, kType, kRawType);
  } else if (arc && !ours) {
    type = entries_[e].directed ? "Directed" : "Undirected";
    if (has(i, kLookArrowSource) || has(i, kLookArrowTarget)) {
      const bool source = headShown(i, kLookArrowSource), target = headShown(i, kLookArrowTarget);
      type = source && target ? "BiDirect" : source || target ? "Directed" : "Undirected";
    }
  }
  appendQuoted(line, type);
  line += ',';
  if (ours && has(i, kCentre)) {
    const std::string_view both = value(i, kCentre);
    const std::size_t gap = std::min(both.find(' '), both.size());
    auto x = numberIn(i, both.substr(0, gap), INT32_MIN, INT32_MAX);
    auto y = x ? numberIn(i, both.substr(std::min(gap + 1, both.size())), INT32_MIN, INT32_MAX) : std::nullopt;
    if (x && y) appendRect(line, {static_cast<std::int32_t>(*x), static_cast<std::int32_t>(*y), static_cast<std::int32_t>(*x),
                                  static_cast<std::int32_t>(*y)});
  }
  // The legs as the legs data describes them: colour, then the kept style fields.
  std::vector<LegLine> described;
  if (ours && has(i, kLegs)) {
    std::string_view all = value(i, kLegs);
    while (!all.empty() && described.size() < 0x10000) {
      const std::size_t end = std::min(all.find('\n'), all.size());
      std::string_view row = all.substr(0, end);
      all.remove_prefix(std::min(end + 1, all.size()));
      if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
      LegLine leg;
      const std::size_t space = std::min(row.find(' '), row.size());
      leg.colour = parseColour(row.substr(0, space), true);
      if (const std::size_t styles = row.find(" ,"); styles != std::string_view::npos && printable(row.substr(styles + 1)))
        leg.styles = row.substr(styles + 1);
      described.push_back(std::move(leg));
    }
  }
  std::vector<int> hooked;
  if (arc) {
    hooked = {ends0_[e], ends1_[e]};
  } else {
    // The legs of this maplet stand together in legs_, sorted by maplet.
    auto first = std::lower_bound(legs_.begin(), legs_.end(), i, [](const Leg& l, int m) { return l.maplet < m; });
    auto last = std::upper_bound(first, legs_.end(), i, [](int m, const Leg& l) { return m < l.maplet; });
    std::size_t count = std::max<std::size_t>(described.size(), 2);
    for (auto leg = first; leg != last; ++leg) count = std::max<std::size_t>(count, leg->index + std::size_t{1});
    hooked.assign(count, -1);
    for (auto it = first; it != last; ++it) {
      const Leg& leg = *it;
      if (hooked[leg.index] >= 0) {
        reportError(nullptr, 'E', "GraphML: maplet '%s' of '%s' has leg %u twice; the second is left out", idText(i).c_str(),
                    file_.c_str(), unsigned{leg.index});
        lose();
      } else {
        hooked[leg.index] = leg.target;
      }
    }
  }
  described.resize(std::max(described.size(), hooked.size()));
  if (arc && !ours && has(i, kLookLine)) described[0].colour = described[1].colour = parseColour(value(i, kLookLine), false);
  line += ',';
  line += std::to_string(hooked.size());
  for (std::size_t k = 0; k < hooked.size(); ++k) {
    line += ",(";
    appendHex(line, hooked[k] >= 0 ? ids_[static_cast<std::size_t>(hooked[k])] : 0);
    const LegLine& leg = described[k];
    if (leg.colour || !leg.styles.empty()) {
      line += ',';
      appendHex(line, leg.colour.value_or(0));
      line += leg.styles;
    }
    line += ')';
  }
  line += ',';
  if (ours ? has(i, kLabel) || has(i, kRawLabel) : has(i, kLabel) || has(i, kName)) {
    appendQuoted(line, ours || has(i, kLabel) ? text(i, kLabel, kRawLabel) : std::string(value(i, kName)));
  } else if (!ours && has(i, kLookLabel)) {
    appendQuoted(line, std::string(value(i, kLookLabel)));
  }
  line += ",,,,";
  if (ours && has(i, kFlags))
    if (auto flags = number(i, kFlags, 0, UINT32_MAX)) appendHex(line, static_cast<std::uint64_t>(*flags));

}

}  // namespace

bool readGraphML(CMap& map, std::string_view text, const std::string& fileName, std::string& error) {
  map.clear();
  map.setReadIncompletely(false);
  return Reader(map, fileName).read(text, error);
}

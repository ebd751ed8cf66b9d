// The text form of a container's members: component lines in the 0.1 and the older syntax.
#include <algorithm>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string>
#include <typeinfo>
#include <unordered_set>
#include <vector>

#include "commands/GraphicsFactory.h"
#include "support/Fields.h"
#include "model/GraphicContainer.h"
#include "model/Maplet.h"
#include "model/Node.h"
#include "support/Version.h"

namespace {

constexpr unsigned kSpecNode = 1, kSpecMaplet = 2, kSpecContext = 4;

// How reading one component line ended.
enum class LineEnd { Read, End, TooLong };

// Reads one line ending in LF, CR LF or a lone CR; End at the end of input or on a
// last line without a line end. A line beyond the room is not kept (TooLong).
LineEnd readLine(std::istream& in, std::string& line) {
  line.clear();
  std::istream::sentry ok(in, true);
  if (!ok) return LineEnd::End;
  std::streambuf* buf = in.rdbuf();
  for (;;) {
    const int c = buf->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit | std::ios::failbit);
      return LineEnd::End;
    }
    if (c == '\n') return LineEnd::Read;
    if (c == '\r') {
      if (buf->sgetc() == '\n') buf->sbumpc();
      return LineEnd::Read;
    }
    if (line.size() >= GraphicContainer::kMaxComponentLineLength) {
      in.setstate(std::ios::failbit);
      return LineEnd::TooLong;
    }
    line.push_back(static_cast<char>(c));
  }
}

// Lets a stream read a span of characters held elsewhere, so that one stream serves
// every line.
class TextSpan : public std::streambuf {
 public:
  void show(const char* begin, const char* end) {
    char* b = const_cast<char*>(begin);
    setg(b, b, const_cast<char*>(end));
  }
  /// How many characters of the span have been read.
  std::size_t taken() const { return static_cast<std::size_t>(gptr() - eback()); }
};

void skipBlanks(std::istream& in) {
  while (true) {
    int c = in.peek();
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\v' && c != '\f') return;
    in.get();
  }
}

// Takes the rest of the line and its end: LF, CR LF or a lone CR.
void skipRestOfLine(std::istream& in) {
  std::streambuf* buf = in.rdbuf();
  for (;;) {
    const int c = buf->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit);
      return;
    }
    if (c == '\n') return;
    if (c == '\r') {
      if (buf->sgetc() == '\n') buf->sbumpc();
      return;
    }
  }
}

}  // namespace

void GraphicContainer::printHeaderOn(std::ostream& out) const {
  writeHex(out, nextId_);
  out << "\n;\n";
}

void GraphicContainer::printComponentsOn(std::ostream& out) const {
  printHeaderOn(out);
  // The kind of component follows from the class alone: the classes met so far are
  // remembered with theirs, so that each member costs one type comparison or two.
  struct Known {
    const std::type_info* type;
    unsigned spec;
  };
  std::vector<Known> known;
  for (const Member& m : members_) {
    Graphic* g = m.graphic.get();
    const std::type_info& type = typeid(*g);
    auto seen = std::find_if(known.begin(), known.end(), [&](const Known& k) { return *k.type == type; });
    unsigned spec = 0;
    if (seen != known.end()) {
      spec = seen->spec;
    } else {
      if (dynamic_cast<ContextBox*>(g)) spec = kSpecContext | kSpecNode;
      else if (dynamic_cast<Node*>(g)) spec = kSpecNode;
      else if (dynamic_cast<SMaplet*>(g)) spec = kSpecMaplet;
      known.push_back({&type, spec});
    }
    if (spec == 0) reportError(nullptr, 'E', "GraphicContainer::printOn: unknown component type encountered");
    writeHex(out, spec);
    out.put(kFieldSeparator);
    writeQuoted(out, g->className());
    out.put(kFieldSeparator);
    g->printOn(out);
    out.put('\n');
  }
  out << ";\n";
}

void GraphicContainer::readHeaderFrom(std::istream& in) {
  readHex(in, nextId_);
  std::string rest;
  readLine(in, rest);
  if (expectChar(in, ';') != kFieldRead)
    reportError(nullptr, 'E', "GraphicContainter::readHeaderFrom: expected ';' to terminate header");
  readLine(in, rest);
}

void GraphicContainer::readComponentsFrom(std::istream& in, const Version* version) {
  clear();
  extras().lastRead = ReadTally{};
  flags_ |= kReading;
  RepaintPause quiet(*this);  // members read now are measured for the area index when first searched
  if (!version || *version < Version(0, 1)) {
    readOlderComponents(in);
  } else if (*version == Version(0, 1)) {
    readComponentLines(in, *version);
  } else {
    reportError(nullptr, 'E', "Version %s not understood, only understand versions <= 0.1", version->text().c_str());
  }
  flags_ &= ~kReading;
}

void GraphicContainer::readOlderComponents(std::istream& in) {
  ReadTally& tally = extras().lastRead;
  const GraphicsFactory& factory = GraphicsFactory::instance();
  readHex(in, nextId_);
  expectChar(in, kFieldSeparator);
  skipBlanks(in);
  auto section = [&](Graphic* (GraphicsFactory::*read)(std::istream&, GraphicContainer&) const) {
    while (in && in.peek() != ';' && in.peek() != std::char_traits<char>::eof()) {
      ++tally.lines;
      if (!(factory.*read)(in, *this)) ++tally.lost;
      in.clear(in.rdstate() & std::ios::eofbit);
      skipRestOfLine(in);
      skipBlanks(in);
    }
  };
  section(&GraphicsFactory::readNode);
  if (in.peek() == ';') {
    in.get();
    skipBlanks(in);
    section(&GraphicsFactory::readMaplet);
    fixupDeferredAttachment();
  }
  if (in.peek() == ';') in.get();
  if (extras_) extras_->attachments.clear();
  // A damaged file may give two elements one id, or none; each such element takes a
  // fresh id, so that the map saves and reads back whole (connections already made stay).
  std::unordered_set<std::uint32_t> seen;
  for (Graphic* g : *this) {
    if (g->id() != 0 && seen.insert(g->id()).second) continue;
    const std::uint32_t old = g->id();
    const std::uint32_t fresh = freshId();
    if (fresh == 0) break;  // no id left to give
    g->setId(fresh);
    seen.insert(g->id());
    reportError(nullptr, 'W', "GraphicContainer::readFrom: id %lu taken or missing, %s given id %lu",
                static_cast<unsigned long>(old), g->className(), static_cast<unsigned long>(g->id()));
  }
}

void GraphicContainer::readComponentLines(std::istream& in, const Version& version) {
  ReadTally& tally = extras().lastRead;
  const GraphicsFactory& factory = GraphicsFactory::instance();
  readHeaderFrom(in);
  reserveFor(nextId_);
  // Every element is made first and reads its fields afterwards: nodes, then maplets,
  // each in ascending order of ids, so that a maplet finds the nodes it joins. The
  // lines wait in one buffer, each element's from its id on.
  struct Pending {
    std::uint32_t id;
    bool maplet;
    Graphic* element;
    std::size_t begin, end;  // in `waiting`
  };
  std::vector<Pending> pending;
  std::string waiting;
  std::string line;
  std::string type;
  TextSpan span;
  std::istream fields(&span);
  for (;;) {
    const LineEnd got = readLine(in, line);
    if (got == LineEnd::TooLong) {
      reportError(nullptr, 'E', "Component line longer than %zu characters; it and the rest are not read",
                  kMaxComponentLineLength);
      ++tally.lines;
      ++tally.lost;
      break;
    }
    if (got != LineEnd::Read) {
      // The body was cut off: a last line without its end, or no ";" after the lines.
      if (!line.empty() && line != ";") {
        ++tally.lines;
        ++tally.lost;
      } else if (line.empty() && tally.lines > 0) {
        ++tally.lost;
      }
      break;
    }
    if (line == ";") break;
    ++tally.lines;
    ++tally.lost;  // until an element is made of it
    span.show(line.data(), line.data() + line.size());
    fields.clear();
    unsigned spec = 0;
    std::uint32_t id = 0;
    type.clear();
    readHex(fields, spec);
    expectChar(fields, kFieldSeparator);
    readQuoted(fields, type);
    expectChar(fields, kFieldSeparator);
    fields.clear(fields.rdstate() & std::ios::eofbit);
    const std::size_t start = span.taken();
    readHex(fields, id);
    if (((spec & kSpecNode) != 0) == ((spec & kSpecMaplet) != 0)) {
      reportError(nullptr, 'E', "Malformed CMap line encountered; bad component spec: %s", line.c_str());
      continue;
    }
    if (type.empty()) {
      reportError(nullptr, 'E', "Malformed CMap line encountered; bad type specifier string (second element): %s",
                  line.c_str());
      continue;
    }
    if (id == 0) {
      reportError(nullptr, 'E', "Malformed CMap line encountered; bad id (third element): %s", line.c_str());
      continue;
    }
    // Only the elements read so far are members, so a member with this id is an
    // earlier line's: the repeated line's element stays unread.
    const bool repeated = find(id) != nullptr;
    const bool maplet = (spec & kSpecNode) == 0;
    std::unique_ptr<Graphic> made;
    if (!maplet) {
      if (spec & kSpecContext) made = factory.makeContextBox("frame", nullptr, nullptr);
      else made = factory.makeNode("default", nullptr, nullptr);
    } else {
      made = factory.makeMaplet("default", {50, 50});
    }
    made->setId(id);
    Graphic* element = addTo(*this, std::move(made));
    if (repeated) continue;
    --tally.lost;
    const std::size_t begin = waiting.size();
    waiting.append(line, std::min(start, line.size()));
    pending.push_back({id, maplet, element, begin, waiting.size()});
  }
  auto byId = [](const Pending& a, const Pending& b) { return a.id < b.id; };
  if (!std::is_sorted(pending.begin(), pending.end(), byId)) std::sort(pending.begin(), pending.end(), byId);
  for (bool maplets : {false, true}) {
    for (const Pending& p : pending) {
      if (p.maplet != maplets) continue;
      span.show(waiting.data() + p.begin, waiting.data() + p.end);
      fields.clear();
      p.element->readFrom(fields, &version);
    }
  }
}

void GraphicContainer::fixupDeferredAttachment() {
  // Every entry is tried once, whatever happens to the others.
  std::vector<Attachment> pending;
  if (!extras_) return;
  pending.swap(extras_->attachments);
  for (const Attachment& a : pending) {
    Graphic* target = find(a.targetId);
    if (!target) {
      // A damaged file is reported and read on; it is no reason to end the program.
      reportError(nullptr, 'E', "GraphicContainer::fixupDeferredAttachment: can't find id %ld for object %ld",
                  static_cast<long>(static_cast<std::int32_t>(a.targetId)),
                  static_cast<long>(static_cast<std::int32_t>(a.graphic ? a.graphic->id() : 0)));
      continue;
    }
    auto* maplet = dynamic_cast<Maplet*>(a.graphic);
    auto* relationable = dynamic_cast<RelationableGraphic*>(target);
    if (maplet && relationable && target != a.graphic) maplet->setConnection(a.terminal, relationable);
  }
}

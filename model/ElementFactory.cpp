// Making and reading map elements by prototype name.
#include <istream>

#include "commands/GraphicsFactory.h"
#include "commands/ObjectLibrary.h"
#include "support/Fields.h"
#include "model/Maplet.h"
#include "model/Node.h"

Node* GraphicsFactory::makeNode(GraphicContainer* container, const std::string& shapeName, const char* label,
                                const RECT* bounds) const {
  return new Node(container, shapeName, label, bounds);
}

SMaplet* GraphicsFactory::makeMaplet(GraphicContainer* container, const std::string& connectorName,
                                     const POINT& p) const {
  return new SMaplet(container, connectorName, p);
}

ContextBox* GraphicsFactory::makeContextBox(GraphicContainer* container, const std::string& shapeName,
                                            const char* label, const RECT* bounds) const {
  return new ContextBox(container, shapeName, label, bounds);
}

namespace {

// The type word and its separator; empty when the word is not a complete quoted string.
std::string readTypeWord(std::istream& in) {
  std::string word;
  if (readQuoted(in, word) != kFieldRead) return {};
  expectChar(in, kFieldSeparator);
  return word;
}

}  // namespace

Graphic* GraphicsFactory::readNode(std::istream& in, GraphicContainer* container) const {
  std::string word = readTypeWord(in);
  Node* made = nullptr;
  if (word == "Node") made = new Node(container, "default");
  else if (word == "ContextBox") made = new ContextBox(container, "frame");
  if (made) made->readFrom(in, nullptr);
  return made;
}

Graphic* GraphicsFactory::readMaplet(std::istream& in, GraphicContainer* container) const {
  std::string word = readTypeWord(in);
  Maplet* made = nullptr;
  // A plain Maplet in a map could be neither touched nor saved (no component line
  // names it), so older files' maplets of either word are read as the map's maplets.
  if (word == "Maplet" || word == "SMaplet") made = new SMaplet(container, "default", {50, 50});
  if (made) made->readFrom(in, nullptr);
  return made;
}

void registerComponentPrototypes() {
  auto& library = componentPrototypes();
  library.insert("SMaplet", std::make_unique<SMaplet>(nullptr, "default", POINT{50, 50}));
  library.insert("Node", std::make_unique<Node>(nullptr, "default"));
  library.insert("ContextBox", std::make_unique<ContextBox>(nullptr, "frame"));
}

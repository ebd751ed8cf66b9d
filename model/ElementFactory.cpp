// Making and reading map elements by prototype name.
#include <istream>

#include "commands/GraphicsFactory.h"
#include "commands/ObjectLibrary.h"
#include "support/Fields.h"
#include "model/Maplet.h"
#include "model/Node.h"

std::unique_ptr<Node> GraphicsFactory::makeNode(const std::string& shapeName, const char* label,
                                                const RECT* bounds) const {
  return std::make_unique<Node>(shapeName, label, bounds);
}

std::unique_ptr<SMaplet> GraphicsFactory::makeMaplet(const std::string& connectorName, const POINT& p) const {
  return std::make_unique<SMaplet>(connectorName, p);
}

std::unique_ptr<ContextBox> GraphicsFactory::makeContextBox(const std::string& shapeName, const char* label,
                                                            const RECT* bounds) const {
  return std::make_unique<ContextBox>(shapeName, label, bounds);
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

// The element joins the container before it reads its fields, as its fields may
// name other members of the container.
Graphic* GraphicsFactory::readNode(std::istream& in, GraphicContainer& container) const {
  std::string word = readTypeWord(in);
  Node* made = nullptr;
  if (word == "Node") made = addTo(container, std::make_unique<Node>("default"));
  else if (word == "ContextBox") made = addTo(container, std::make_unique<ContextBox>("frame"));
  if (made) made->readFrom(in, nullptr);
  return made;
}

Graphic* GraphicsFactory::readMaplet(std::istream& in, GraphicContainer& container) const {
  std::string word = readTypeWord(in);
  Maplet* made = nullptr;
  // A plain Maplet in a map could be neither touched nor saved (no component line
  // names it), so older files' maplets of either word are read as the map's maplets.
  if (word == "Maplet" || word == "SMaplet")
    made = addTo(container, std::make_unique<SMaplet>("default", POINT{50, 50}));
  if (made) made->readFrom(in, nullptr);
  return made;
}

void registerComponentPrototypes() {
  auto& library = componentPrototypes();
  library.insert("SMaplet", std::make_unique<SMaplet>("default", POINT{50, 50}));
  library.insert("Node", std::make_unique<Node>("default"));
  library.insert("ContextBox", std::make_unique<ContextBox>("frame"));
}

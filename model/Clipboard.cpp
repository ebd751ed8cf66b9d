// Copying elements out of a map as component lines and pasting them back as new elements.
#include "model/Clipboard.h"

#include <map>
#include <sstream>

#include "commands/Command.h"
#include "commands/CommandTypes.h"
#include "commands/GraphicsFactory.h"
#include "model/GraphicObjectLocator.h"
#include "model/Maplet.h"
#include "model/Node.h"
#include "model/RootMap.h"
#include "support/Version.h"

namespace {

// The syntax the lines are written and read in.
constexpr Version kLinesVersion(0, 1);

// The ids the pasted elements take: after the counter, skipping those in use.
class FreshIds {
 public:
  explicit FreshIds(const RootMap& map) : map_(map), next_(map.nextId()) {}
  std::uint32_t next() {
    while (next_ == 0 || map_.find(next_)) ++next_;
    return next_++;
  }

 private:
  const RootMap& map_;
  std::uint32_t next_;
};

}  // namespace

std::string copyAsComponentLines(const std::vector<Graphic*>& elements) {
  RootMap copy;
  std::vector<Maplet*> maplets;
  for (Graphic* g : elements) {
    std::unique_ptr<Graphic> clone(g->clone());
    if (!clone) continue;
    if (auto* m = dynamic_cast<Maplet*>(clone.get())) maplets.push_back(m);
    copy.add(std::move(clone));  // keeping the original's id
  }
  // Hooked to the copies of their elements, not to the originals.
  for (Maplet* m : maplets) m->rehookCopy(&copy);
  std::ostringstream out;
  copy.printComponentsOn(out);
  return out.str();
}

std::string labelsAsText(const std::vector<Graphic*>& elements) {
  std::string out;
  for (Graphic* g : elements) {
    auto* node = dynamic_cast<Node*>(g);
    const char* label = node ? node->getLabel() : nullptr;
    if (!label || !*label) continue;
    out += label;
    out += '\n';
  }
  return out;
}

std::unique_ptr<Command> makePaste(RootMap& map, const std::string& lines, std::int32_t dx, std::int32_t dy) {
  RootMap read;
  std::istringstream in(lines);
  read.readComponentsFrom(in, &kLinesVersion);
  if (read.memberCount() == 0) return nullptr;

  // Every element gets its id now, so that the connections can name them.
  FreshIds ids(map);
  std::map<std::uint32_t, std::uint32_t> newId;
  for (Graphic* g : read) newId[g->id()] = ids.next();

  auto all = std::make_unique<CompositeCommand>(NullObjectLocator(), kCmdNewNode);
  std::vector<std::unique_ptr<Command>> hooks;
  // Nodes first, then maplets, each kind in the copied order; the connections last.
  for (int pass = 0; pass < 2; ++pass) {
    for (Graphic* g : read) {
      auto* maplet = dynamic_cast<SMaplet*>(g);
      if ((pass == 0) != (maplet == nullptr)) continue;
      std::unique_ptr<Graphic> made(g->clone());
      if (!made) continue;
      made->setId(newId[g->id()]);
      if (auto* m = dynamic_cast<SMaplet*>(made.get())) {
        // Added floating; the hooks follow as commands of their own, by id.
        for (std::uint16_t i = 0; i < m->terminalCount(); ++i) {
          if (RelationableGraphic* t = (*maplet)[i]) {
            auto hook = std::make_unique<Command2<unsigned int, unsigned long>>(
                GraphicObjectLocator(*m), kCmdSetConnection, i, i, newId[t->id()], 0);
            hook->setRoot(&map);
            hooks.push_back(std::move(hook));
          }
        }
        m->rehookCopy(nullptr);
        m->setCentre(offsetPoint(m->centre(), dx, dy));
        all->append(map.generateNewArc(std::move(made)));
      } else {
        made->moveTo(offsetPoint(made->origin(), dx, dy));
        all->append(map.generateNewNode(std::move(made)));
      }
    }
  }
  for (auto& hook : hooks) all->append(std::move(hook));
  return all;
}

std::unique_ptr<Command> makePasteOfText(RootMap& map, const std::string& text, const POINT& at) {
  auto all = std::make_unique<CompositeCommand>(NullObjectLocator(), kCmdNewNode);
  std::istringstream in(text);
  std::string line;
  POINT place = at;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    RECT r = rectAt(place, 30, 20);  // the size of a new node; the label sizes it when drawn
    std::unique_ptr<Graphic> node = GraphicsFactory::instance().makeNode("default", line.c_str(), &r);
    if (!node) continue;
    all->append(map.generateNewNode(std::move(node)));
    place = offsetPoint(place, 0, 40);
  }
  if (all->members().empty()) return nullptr;
  return all;
}

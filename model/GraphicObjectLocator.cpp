// Walking a path of ids down from the root container.
#include "model/GraphicObjectLocator.h"

#include <ostream>

#include "support/Fields.h"
#include "model/Graphic.h"
#include "model/SensitiveGraphic.h"

GraphicObjectLocator::GraphicObjectLocator(const Graphic& g) {
  path_.push_back(g.id());
  GraphicContainer* c = g.container();
  if (!c) {
    // A graphic without a container is its own root when it is one.
    root_ = dynamic_cast<GraphicContainer*>(const_cast<Graphic*>(&g));
    return;
  }
  for (;;) {
    auto* holder = dynamic_cast<Graphic*>(c);
    if (!holder || !holder->container()) break;
    path_.push_back(holder->id());
    c = holder->container();
  }
  root_ = c;
}

GraphicObjectLocator::GraphicObjectLocator(GraphicContainer* c) : path_{0}, root_(c) {}

Graphic* GraphicObjectLocator::walk() const {
  if (!root_ || path_.empty()) return nullptr;
  GraphicContainer* current = root_;
  Graphic* found = nullptr;
  try {
    for (auto i = path_.size(); i-- > 0;) {
      if (!current) return nullptr;
      found = (*current)[path_[i]];
      auto* s = dynamic_cast<SensitiveGraphic*>(found);
      if (!s) return nullptr;
      current = s;
    }
  } catch (const Graphic::Exception&) {
    return nullptr;
  }
  return found;
}

CommandReceiver* GraphicObjectLocator::locate() const {
  return dynamic_cast<SensitiveGraphic*>(walk());
}

CommandReceiverContainer* GraphicObjectLocator::locateContainer() const {
  if (auto* s = dynamic_cast<SensitiveGraphic*>(walk())) return static_cast<GraphicContainer*>(s);
  return root_;
}

void GraphicObjectLocator::printOn(std::ostream& out) const {
  out.put('(');
  for (std::size_t i = 0; i < path_.size(); ++i) {
    if (i) out.put(kFieldSeparator);
    writeHex(out, path_[i]);
  }
  out.put(')');
}

void GraphicObjectLocator::readFrom(std::istream& in) {
  if (expectChar(in, '(') != kFieldRead) {
    reportError(nullptr, 'E', "Bad locator path on read");
    skipTo(in, ')');
    return;
  }
  std::vector<std::uint32_t> path;
  do {
    std::uint32_t id = 0;
    if (readHex(in, id) != kFieldRead) break;
    path.push_back(id);
  } while (expectChar(in, kFieldSeparator) == kFieldRead);
  path_ = std::move(path);
  if (expectChar(in, ')') != kFieldRead) {
    reportError(nullptr, 'E', "Bad locator path on read");
    skipTo(in, ')');
  }
}

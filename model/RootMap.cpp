// The map document: lookups at the root of the chain, its view, its clean state and its end.
#include "model/RootMap.h"

#include "commands/Command.h"
#include "model/MapView.h"

Graphic* RootMap::clone() const {
  reportError(nullptr, 'E', "You must override Graphic::clone() in class %s", "CMapClient");
  return nullptr;
}

void RootMap::closeDown() {
  // Elements go without repainting, and the one who listened to the history is not told.
  view_ = nullptr;
  history_.setChangeCallback(nullptr);
  setContainerFlags(containerFlags() | kBeingDestroyed);
  history_.clear();
  GraphicContainer::clear();
}

Graphic* RootMap::operator[](std::uint32_t id) const {
  if (id == 0) return const_cast<RootMap*>(this);
  return CMap::operator[](id);
}

int RootMap::popToFront(Graphic* g) {
  const bool inFront = front() == g;
  const int r = CMap::popToFront(g);
  if (r == 0 && !inFront) history_.loseClean();
  return r;
}

void RootMap::invalidateRect(const RECT& r) {
  if (view_ && !isBeingDestroyed()) view_->repaintArea(r);
}

NativeWindow RootMap::window() const { return view_ ? view_->nativeWindow() : nullptr; }

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

POINT RootMap::fromWindow(const POINT& p) const { return view_ ? view_->windowToMap(p) : p; }
POINT RootMap::toWindow(const POINT& p) const { return view_ ? view_->mapToWindow(p) : p; }

// A rectangle converts corner by corner: the conversions keep the order of coordinates.
RECT RootMap::fromWindow(const RECT& r) const {
  if (!view_) return r;
  const POINT a = view_->windowToMap({r.left, r.top}), b = view_->windowToMap({r.right, r.bottom});
  return {a.x, a.y, b.x, b.y};
}

RECT RootMap::toWindow(const RECT& r) const {
  if (!view_) return r;
  const POINT a = view_->mapToWindow({r.left, r.top}), b = view_->mapToWindow({r.right, r.bottom});
  return {a.x, a.y, b.x, b.y};
}

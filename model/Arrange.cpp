// The geometry of aligning, distributing and sizing, and the compound commands that carry it out.
#include "model/Arrange.h"

#include <algorithm>
#include <numeric>

#include "commands/Command.h"
#include "commands/CommandTypes.h"
#include "model/GraphicObjectLocator.h"
#include "model/Node.h"
#include "model/SensitiveGraphic.h"

namespace {

std::int64_t width(const RECT& r) { return std::int64_t{r.right} - r.left; }
std::int64_t height(const RECT& r) { return std::int64_t{r.bottom} - r.top; }

RECT moved(const RECT& r, std::int64_t dx, std::int64_t dy) {
  return clampRect(RECT{static_cast<std::int32_t>(r.left + dx), static_cast<std::int32_t>(r.top + dy),
                        static_cast<std::int32_t>(r.right + dx), static_cast<std::int32_t>(r.bottom + dy)});
}

// Equal gaps along one axis: `lo` and `size` give a rectangle's start and extent on it.
template <class Lo, class Size, class Shift>
void distribute(std::vector<RECT>& out, Lo lo, Size size, Shift shift) {
  const std::size_t n = out.size();
  if (n < 3) return;
  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), std::size_t{0});
  // By centre, ties in the given order, so that the outermost two stay where they are.
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return 2 * lo(out[a]) + size(out[a]) < 2 * lo(out[b]) + size(out[b]);
  });
  const RECT& first = out[order.front()];
  const RECT& last = out[order.back()];
  const std::int64_t span = lo(last) + size(last) - lo(first);
  std::int64_t total = 0;
  for (const RECT& r : out) total += size(r);
  const std::int64_t gaps = span - total;  // may be negative when they overlap
  const std::int64_t steps = static_cast<std::int64_t>(n - 1);
  std::int64_t end = lo(first) + size(first);
  for (std::size_t i = 1; i + 1 < n; ++i) {
    RECT& r = out[order[i]];
    // Each gap is rounded from its share of the whole, so the rounding never piles up.
    const std::int64_t k = static_cast<std::int64_t>(i);
    const std::int64_t start = end + (gaps * k) / steps - (gaps * (k - 1)) / steps;
    shift(r, start - lo(r));
    end = start + size(r);
  }
}

}  // namespace

std::vector<RECT> arrangeRects(Arrangement how, std::span<const RECT> rects) {
  std::vector<RECT> out(rects.begin(), rects.end());
  if (out.size() < 2) return out;
  RECT bounds = out.front();
  std::int64_t widest = 0, highest = 0;
  for (const RECT& r : out) {
    bounds = {std::min(bounds.left, r.left), std::min(bounds.top, r.top), std::max(bounds.right, r.right),
              std::max(bounds.bottom, r.bottom)};
    widest = std::max(widest, width(r));
    highest = std::max(highest, height(r));
  }
  const std::int64_t centreX2 = std::int64_t{bounds.left} + bounds.right;
  const std::int64_t centreY2 = std::int64_t{bounds.top} + bounds.bottom;
  for (RECT& r : out) {
    switch (how) {
      case Arrangement::AlignLeft: r = moved(r, std::int64_t{bounds.left} - r.left, 0); break;
      case Arrangement::AlignRight: r = moved(r, std::int64_t{bounds.right} - r.right, 0); break;
      case Arrangement::AlignCentre: r = moved(r, (centreX2 - r.left - r.right) / 2, 0); break;
      case Arrangement::AlignTop: r = moved(r, 0, std::int64_t{bounds.top} - r.top); break;
      case Arrangement::AlignBottom: r = moved(r, 0, std::int64_t{bounds.bottom} - r.bottom); break;
      case Arrangement::AlignMiddle: r = moved(r, 0, (centreY2 - r.top - r.bottom) / 2); break;
      case Arrangement::SameWidth: r.right = clampCoordinate(r.left + widest); break;
      case Arrangement::SameHeight: r.bottom = clampCoordinate(r.top + highest); break;
      default: break;
    }
  }
  if (how == Arrangement::DistributeHorizontally)
    distribute(out, [](const RECT& r) { return std::int64_t{r.left}; }, width,
               [](RECT& r, std::int64_t d) { r = moved(r, d, 0); });
  if (how == Arrangement::DistributeVertically)
    distribute(out, [](const RECT& r) { return std::int64_t{r.top}; }, height,
               [](RECT& r, std::int64_t d) { r = moved(r, 0, d); });
  return out;
}

namespace {

std::unique_ptr<Command> moveBy(Graphic& g, std::int64_t dx, std::int64_t dy) {
  const POINT o = g.origin();
  return std::make_unique<Command1<tagPOINT>>(GraphicObjectLocator(g), kCmdMoveTo, offsetPoint(o, dx, dy), o);
}

bool resizes(Arrangement how) { return how == Arrangement::SameWidth || how == Arrangement::SameHeight; }

}  // namespace

std::unique_ptr<Command> makeArrangement(Arrangement how, const std::vector<Graphic*>& elements) {
  std::vector<Graphic*> taking;
  for (Graphic* g : elements) {
    if (followsItsTerminals(g)) continue;
    if (resizes(how) && !dynamic_cast<Node*>(g)) continue;
    taking.push_back(g);
  }
  std::vector<RECT> before;
  for (Graphic* g : taking) before.push_back(g->getRect());
  const std::vector<RECT> after = arrangeRects(how, before);
  auto all = std::make_unique<CompositeCommand>(NullObjectLocator(), resizes(how) ? kCmdResize : kCmdMoveTo);
  for (std::size_t i = 0; i < taking.size(); ++i) {
    if (after[i] == before[i]) continue;
    if (resizes(how)) {
      const RECT wanted = after[i];
      all->append(dynamic_cast<Node*>(taking[i])->generateResize(&wanted));
    } else {
      all->append(moveBy(*taking[i], std::int64_t{after[i].left} - before[i].left,
                         std::int64_t{after[i].top} - before[i].top));
    }
  }
  if (all->members().empty()) return nullptr;
  return all;
}

std::unique_ptr<Command> makeNudge(const std::vector<Graphic*>& elements, std::int32_t dx, std::int32_t dy) {
  if (dx == 0 && dy == 0) return nullptr;
  auto all = std::make_unique<CompositeCommand>(NullObjectLocator(), kCmdMoveTo);
  for (Graphic* g : elements)
    if (!followsItsTerminals(g)) all->append(moveBy(*g, dx, dy));
  if (all->members().empty()) return nullptr;
  return all;
}

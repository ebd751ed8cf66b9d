// The scale of the window at work: painting and pointing run on one thread, one window at a time.
#include "drawing/ViewScale.h"

#include <algorithm>
#include <cmath>

namespace {
double current = 1.0;
}

double viewPixelsPerUnit() { return current; }

ViewScaleScope::ViewScaleScope(double pixelsPerUnit) : previous_(current) {
  if (pixelsPerUnit > 0) current = pixelsPerUnit;
}

ViewScaleScope::~ViewScaleScope() { current = previous_; }

std::int32_t unitsForPixels(std::int32_t pixels) {
  const double units = std::round(pixels / current);
  return static_cast<std::int32_t>(std::clamp(units, 1.0, 1e6));
}

// How large one map unit is on the screen of the window being painted or pointed at.
#pragma once

#include <cstdint>

/// Pixels per map unit of the window that is painting or handling the pointer now
/// (1 when no window has said otherwise). Handles keep their size on the screen by it
/// and labels too small to read are left out.
double viewPixelsPerUnit();

/// Sets the scale for as long as it lives and puts the previous one back after.
class ViewScaleScope {
 public:
  explicit ViewScaleScope(double pixelsPerUnit);
  ~ViewScaleScope();
  ViewScaleScope(const ViewScaleScope&) = delete;
  ViewScaleScope& operator=(const ViewScaleScope&) = delete;

 private:
  double previous_;
};

/// The map units that `pixels` span on the screen at the current scale; at least 1.
std::int32_t unitsForPixels(std::int32_t pixels);

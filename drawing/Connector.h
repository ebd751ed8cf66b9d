// The drawing of a maplet: a centre point with one leg per terminal.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "drawing/Line.h"
#include "model/Graphic.h"

/// Hit codes of a connector: the grip bits; the handle number (0 for the
/// centre, i + 1 for the end of terminal i) sits in bits 8 to 15.
inline constexpr unsigned kHitConnectorHandle = 0x30;  ///< a handle of a selected connector
inline constexpr unsigned kHitTerminalHandle = 0x60;   ///< the end of a terminal of a selected connector

/// A centre point and one `Line` leg per terminal, each running from the
/// centre to its terminal's end point. It owns its legs.
class Connector : public VisualGraphic {
 public:
  /// Cleared in the connector types registered as floating.
  static constexpr std::uint32_t kAnchored = 0x1;
  /// The centre is kept between the attached terminals.
  static constexpr std::uint32_t kAutoCentre = 0x2;
  /// Where a new connector puts its centre.
  static constexpr POINT kDefaultCentre{50, 50};
  /// How near (strictly, on both axes) a point must be to the centre to hit it.
  static constexpr std::int32_t kCentreReach = 5;
  /// Half the side of the handles drawn at the centre and terminal ends.
  static constexpr std::int32_t kHandleHalf = 3;

  /// A connector whose legs are copies of `legPrototype`, all starting and
  /// ending at the centre until the terminals are placed.
  explicit Connector(std::uint16_t legCount = 2, const Line& legPrototype = Line());
  /// A copy with copies of the other's legs, in no container.
  Connector(const Connector& other);
  ~Connector() override;

  Connector* clone() const override { return new Connector(*this); }
  const char* className() const override { return "Connector"; }

  /// Draws the legs and, when selected, the terminal and centre handles.
  void draw(DrawingContext& dc) override;
  /// The union of the legs' repaint areas (the centre alone without legs).
  RECT getRect() const override;
  /// Shifts the whole connector so that its rectangle's top-left lands on the
  /// rectangle's; a connector's size follows its terminals, not a rectangle.
  void setRect(const RECT& r) override;
  /// The centre or a leg code, and records the terminal whose end was hit.
  unsigned hitTest(const POINT& p) const override;
  /// Takes the depth and, from another connector, its centre and the end
  /// points of the terminals both have; legs, arrowheads, colours and flags stay.
  void copyAttributes(const VisualGraphic& other) override;
  /// The centre, whatever the side: other maplets join a maplet there.
  POINT attachPoint(unsigned side) const override { return centre_; }

  std::uint16_t legCount() const { return static_cast<std::uint16_t>(legs_.size()); }
  /// Leg i, or null when there is no such leg; the connector keeps owning it.
  Line* leg(std::uint16_t i) { return i < legs_.size() ? legs_[i].get() : nullptr; }
  const Line* leg(std::uint16_t i) const { return i < legs_.size() ? legs_[i].get() : nullptr; }

  const POINT& centre() const { return centre_; }
  /// Repaints, moves the centre and routes every leg from it, repaints.
  void setCentre(const POINT& p);
  /// The end point of terminal i (the centre when there is no such terminal).
  POINT terminalPoint(std::uint16_t i) const;
  /// Moves the end point of terminal i, repainting; ignored without such a terminal.
  void setTerminalPoint(std::uint16_t i, const POINT& p);

  std::uint32_t connectorFlags() const { return connectorFlags_; }
  void setConnectorFlags(std::uint32_t flags) { connectorFlags_ = flags; }
  bool isAutoCentre() const { return (connectorFlags_ & kAutoCentre) != 0; }

  /// The terminal whose end handle (shown while selected) is at `p`, or -1.
  int terminalAt(const POINT& p) const;

 protected:
  /// Stores the centre and routes the legs from it, without repainting.
  virtual void placeCentre(const POINT& p);

 private:
  std::vector<std::unique_ptr<Line>> legs_;
  POINT centre_ = kDefaultCentre;
  std::uint32_t connectorFlags_ = kAnchored | kAutoCentre;
};

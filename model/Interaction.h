// The five services through which elements ask the user something in the middle of a gesture.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "support/Geometry.h"
#include "model/Menu.h"
#include "support/ErrorReporter.h"

/// Edge bits of trackRect: which edges follow the pointer.
enum TrackEdge : unsigned { kEdgeLeft = 1, kEdgeRight = 2, kEdgeTop = 4, kEdgeBottom = 8 };

/// The number of custom colours the colour chooser keeps between calls.
inline constexpr std::size_t kCustomColorCount = 16;
using CustomColors = std::array<std::uint32_t, kCustomColorCount>;

/// What the window system does for the services; the shell installs one,
/// tests install a scripted one. Rectangles and points are in window coordinates.
class InteractionBackend {
 public:
  virtual ~InteractionBackend() = default;
  /// Lets the user drag the masked edges of `r` until a press and release; the raw result.
  virtual RECT trackRect(const RECT& r, unsigned edgeMask, NativeWindow window) = 0;
  /// Lets the user drag the moving end of a line; the final moving point.
  virtual POINT trackLine(const POINT& fixed, const POINT& moving, NativeWindow window) = 0;
  /// Shows the menu at `at`; the chosen item id, or 0 when dismissed.
  virtual unsigned trackPopupMenu(const Menu& menu, const POINT& at, NativeWindow window) = 0;
  /// Shows a modal text prompt; the text is edited in place. True when ended with OK.
  virtual bool askText(const std::string& title, const std::string& prompt, std::string& text) = 0;
  /// Shows the colour chooser; the chosen colour, or nothing when cancelled.
  virtual std::optional<std::uint32_t> chooseColor(std::uint32_t initial, CustomColors& custom) = 0;
};

/// Installs the backend (not owned); null removes it. Without one, every
/// service answers as if the user had cancelled at once.
void setInteractionBackend(InteractionBackend* backend);
InteractionBackend* interactionBackend();

// Each service asks `backend`, or the installed backend in the forms without one; with
// no backend at all it answers as if the user had cancelled at once.

/// Tracks a rectangle; the answer is normalised and at least 4 wide and 4 high.
RECT trackRect(InteractionBackend* backend, const RECT& r, unsigned edgeMask, NativeWindow window = nullptr);
RECT trackRect(const RECT& r, unsigned edgeMask, NativeWindow window = nullptr);
/// Tracks a line from `fixed`; the answer is where the moving end was released.
POINT trackLine(InteractionBackend* backend, const POINT& fixed, const POINT& moving, NativeWindow window = nullptr);
POINT trackLine(const POINT& fixed, const POINT& moving, NativeWindow window = nullptr);
/// Shows a popup menu; the chosen id (0 when dismissed) and, when asked, its text.
unsigned trackPopupMenu(InteractionBackend* backend, const Menu& menu, const POINT& at,
                        std::string* chosenText = nullptr, NativeWindow window = nullptr);
unsigned trackPopupMenu(const Menu& menu, const POINT& at, std::string* chosenText = nullptr,
                        NativeWindow window = nullptr);
/// Asks for a text: 0 when ended with OK, 1 with Cancel, -1 otherwise.
int askText(InteractionBackend* backend, const std::string& title, const std::string& prompt, std::string& text);
int askText(const std::string& title, const std::string& prompt, std::string& text);
/// Asks for a colour (0x00BBGGRR); the initial colour when cancelled.
std::uint32_t chooseColor(InteractionBackend* backend, std::uint32_t initial);
std::uint32_t chooseColor(std::uint32_t initial);
/// The custom colours kept between colour choices, white at start.
CustomColors& customColors();

// A scripted user for the interaction services: queued drags, menu choices, texts and colours.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "model/Interaction.h"

/// Installed for its lifetime unless made for one map only. Each service takes the next
/// queued answer; with none queued it answers as a user who cancels at once.
class ScriptedInteraction : public InteractionBackend {
 public:
  explicit ScriptedInteraction(bool installed = true) : installed_(installed) {
    if (installed_) setInteractionBackend(this);
  }
  ~ScriptedInteraction() override {
    if (installed_ && interactionBackend() == this) setInteractionBackend(nullptr);
  }

  /// The next trackRect ends on this raw rectangle.
  void dragRectTo(const RECT& r) { rects.push_back(r); }
  /// The next trackLine's moving end is released here.
  void dragLineTo(const POINT& p) { lines.push_back(p); }
  /// The next popup chooses the item with this text (0 when no item has it).
  void chooseItem(std::string text) { choices.push_back(std::move(text)); }
  /// The next popup is dismissed.
  void dismissMenu() { choices.push_back(""); }
  /// The next text prompt is answered with OK and this text, or cancelled.
  void typeText(std::optional<std::string> text) { texts.push_back(std::move(text)); }
  /// The next colour dialog picks this colour, or is cancelled.
  void pickColor(std::optional<std::uint32_t> c) { colors.push_back(c); }

  RECT trackRect(const RECT& r, unsigned edgeMask, NativeWindow) override;
  POINT trackLine(const POINT& fixed, const POINT& moving, NativeWindow) override;
  unsigned trackPopupMenu(const Menu& menu, const POINT& at, NativeWindow) override;
  bool askText(const std::string& title, const std::string& prompt, std::string& text) override;
  std::optional<std::uint32_t> chooseColor(std::uint32_t initial, CustomColors& custom) override;

  std::deque<RECT> rects;
  std::deque<POINT> lines;
  std::deque<std::string> choices;
  std::deque<std::optional<std::string>> texts;
  std::deque<std::optional<std::uint32_t>> colors;

  // What the user was shown.
  std::vector<std::vector<std::string>> menusShown;  // outlines
  std::vector<POINT> menuPoints;
  std::vector<unsigned> edgeMasks;
  std::vector<std::string> textsOffered;
  std::vector<std::string> prompts;  // "title|prompt"
  std::vector<std::uint32_t> colorsOffered;

 private:
  /// The next queued answer, taken off its queue; none when the queue is empty.
  template <class T>
  static std::optional<T> take(std::deque<T>& queue) {
    if (queue.empty()) return std::nullopt;
    T next = std::move(queue.front());
    queue.pop_front();
    return next;
  }
  bool installed_;
};

// Forwarding the interaction services to the installed backend.
#include "model/Interaction.h"

#include <algorithm>

namespace {
InteractionBackend* gBackend = nullptr;
}

void setInteractionBackend(InteractionBackend* backend) { gBackend = backend; }
InteractionBackend* interactionBackend() { return gBackend; }

CustomColors& customColors() {
  static CustomColors colors = [] {
    CustomColors c;
    c.fill(0x00FFFFFF);
    return c;
  }();
  return colors;
}

RECT trackRect(const RECT& r, unsigned edgeMask, NativeWindow window) {
  RECT out = gBackend ? gBackend->trackRect(r, edgeMask, window) : r;
  if (out.left > out.right) std::swap(out.left, out.right);
  if (out.top > out.bottom) std::swap(out.top, out.bottom);
  out.right = std::max(out.right, out.left + 4);
  out.bottom = std::max(out.bottom, out.top + 4);
  return out;
}

POINT trackLine(const POINT& fixed, const POINT& moving, NativeWindow window) {
  return gBackend ? gBackend->trackLine(fixed, moving, window) : moving;
}

unsigned trackPopupMenu(const Menu& menu, const POINT& at, std::string* chosenText, NativeWindow window) {
  unsigned id = gBackend ? gBackend->trackPopupMenu(menu, at, window) : 0;
  if (id != 0 && chosenText) *chosenText = menu.textOf(id).value_or("");
  return id;
}

int askText(const std::string& title, const std::string& prompt, std::string& text) {
  if (!gBackend) return 1;
  return gBackend->askText(title, prompt, text) ? 0 : 1;
}

std::uint32_t chooseColor(std::uint32_t initial) {
  if (!gBackend) return initial;
  return gBackend->chooseColor(initial, customColors()).value_or(initial);
}

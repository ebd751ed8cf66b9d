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

RECT trackRect(InteractionBackend* backend, const RECT& r, unsigned edgeMask, NativeWindow window) {
  RECT out = backend ? backend->trackRect(r, edgeMask, window) : r;
  if (out.left > out.right) std::swap(out.left, out.right);
  if (out.top > out.bottom) std::swap(out.top, out.bottom);
  out.right = std::max(out.right, out.left + 4);
  out.bottom = std::max(out.bottom, out.top + 4);
  return out;
}

POINT trackLine(InteractionBackend* backend, const POINT& fixed, const POINT& moving, NativeWindow window) {
  return backend ? backend->trackLine(fixed, moving, window) : moving;
}

unsigned trackPopupMenu(InteractionBackend* backend, const Menu& menu, const POINT& at, std::string* chosenText,
                        NativeWindow window) {
  unsigned id = backend ? backend->trackPopupMenu(menu, at, window) : 0;
  if (id != 0 && chosenText) *chosenText = menu.textOf(id).value_or("");
  return id;
}

int askText(InteractionBackend* backend, const std::string& title, const std::string& prompt, std::string& text) {
  if (!backend) return 1;
  return backend->askText(title, prompt, text) ? 0 : 1;
}

std::uint32_t chooseColor(InteractionBackend* backend, std::uint32_t initial) {
  if (!backend) return initial;
  return backend->chooseColor(initial, customColors()).value_or(initial);
}

RECT trackRect(const RECT& r, unsigned edgeMask, NativeWindow window) { return trackRect(gBackend, r, edgeMask, window); }
POINT trackLine(const POINT& fixed, const POINT& moving, NativeWindow window) {
  return trackLine(gBackend, fixed, moving, window);
}
unsigned trackPopupMenu(const Menu& menu, const POINT& at, std::string* chosenText, NativeWindow window) {
  return trackPopupMenu(gBackend, menu, at, chosenText, window);
}
int askText(const std::string& title, const std::string& prompt, std::string& text) {
  return askText(gBackend, title, prompt, text);
}
std::uint32_t chooseColor(std::uint32_t initial) { return chooseColor(gBackend, initial); }

// Lock keys from the X server's keyboard indicators; other platforms do not tell.
#include "shell/LockKeys.h"

#include <QGuiApplication>

#ifdef BRENLO_HAVE_X11
#include <X11/XKBlib.h>
#endif

std::optional<LockKeys> readLockKeys() {
#ifdef BRENLO_HAVE_X11
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return std::nullopt;
  auto lit = [display](const char* name, bool& on) {
    Bool state = False;
    const Atom atom = XInternAtom(display, name, False);
    if (!XkbGetNamedIndicator(display, atom, nullptr, &state, nullptr, nullptr)) return false;
    on = state != False;
    return true;
  };
  LockKeys keys;
  if (!lit("Caps Lock", keys.caps) || !lit("Num Lock", keys.num)) return std::nullopt;
  if (!lit("Scroll Lock", keys.scroll)) keys.scroll = false;  // many keyboards have none
  return keys;
#else
  return std::nullopt;
#endif
}

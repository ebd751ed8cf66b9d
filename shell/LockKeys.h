// The state of the keyboard's lock keys, read from the window system where it tells it.
#pragma once

#include <optional>

struct LockKeys {
  bool caps = false, num = false, scroll = false;
};

/// The lock keys as the keyboard has them now; nothing when the platform does not tell
/// (then no indicator may claim to know).
std::optional<LockKeys> readLockKeys();

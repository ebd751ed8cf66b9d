// The version word of a file syntax: major, minor, release and platform code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// One 32-bit word, major in the highest byte; compared without the platform byte.
class Version {
 public:
  constexpr Version() = default;
  constexpr explicit Version(std::uint32_t word) : word_(word) {}
  constexpr Version(unsigned major, unsigned minor, unsigned release = 0, unsigned platform = 0)
      : word_(((major & 0xFFu) << 24) | ((minor & 0xFFu) << 16) | ((release & 0xFFu) << 8) |
              (platform & 0xFFu)) {}

  constexpr std::uint32_t word() const { return word_; }
  constexpr unsigned major() const { return word_ >> 24; }
  constexpr unsigned minor() const { return (word_ >> 16) & 0xFFu; }
  constexpr unsigned release() const { return (word_ >> 8) & 0xFFu; }
  constexpr unsigned platform() const { return word_ & 0xFFu; }

  constexpr bool operator==(const Version& o) const { return (word_ >> 8) == (o.word_ >> 8); }
  constexpr bool operator<(const Version& o) const { return (word_ >> 8) < (o.word_ >> 8); }
  constexpr bool operator>(const Version& o) const { return o < *this; }
  constexpr bool operator<=(const Version& o) const { return !(o < *this); }
  constexpr bool operator>=(const Version& o) const { return !(*this < o); }

  /// "0.1", "1.2.3" or "1.2 (X Windows)".
  std::string text() const;
  /// The name of a platform code 1 to 5, or null for any other code.
  static const char* platformName(unsigned code);
  /// The platform code of a name, or 0 when it names no platform.
  static unsigned platformCode(std::string_view name);

 private:
  std::uint32_t word_ = 0;
};

/// The syntax this editor writes: 0.1.
inline constexpr Version kMapSyntaxVersion{0, 1};

// A popup menu described without any window system: items, separators, submenus.
#pragma once

#include <optional>
#include <string>
#include <vector>

/// One entry of a menu: a command item, a separator or a submenu.
struct MenuItem {
  enum class Kind { Command, Separator, Submenu };
  Kind kind = Kind::Command;
  unsigned id = 0;
  std::string text;
  std::vector<MenuItem> items;  // the entries of a submenu
  bool enabled = true;          // a greyed item keeps its place but cannot be chosen
};

/// A menu as elements build it; the shell turns it into a real one.
class Menu {
 public:
  /// Appends a command item; a greyed one (not `enabled`) is shown but cannot be chosen.
  Menu& add(unsigned id, std::string text, bool enabled = true);
  Menu& addSeparator();
  /// Appends a submenu with its own entries.
  Menu& addSubmenu(std::string text, const Menu& submenu);

  const std::vector<MenuItem>& items() const { return items_; }
  /// The text of the command item with this id, searched through submenus too.
  std::optional<std::string> textOf(unsigned id) const;
  /// The menu flattened to lines: "text (id)" ("text (id) greyed" for a greyed item), "-",
  /// "> text" before a submenu's lines.
  std::vector<std::string> outline() const;

 private:
  std::vector<MenuItem> items_;
};

// Building and reading platform-neutral menus.
#include "model/Menu.h"

Menu& Menu::add(unsigned id, std::string text, bool enabled) {
  items_.push_back({MenuItem::Kind::Command, id, std::move(text), {}, enabled});
  return *this;
}

Menu& Menu::addSeparator() {
  items_.push_back({MenuItem::Kind::Separator, 0, {}, {}});
  return *this;
}

Menu& Menu::addSubmenu(std::string text, const Menu& submenu) {
  items_.push_back({MenuItem::Kind::Submenu, 0, std::move(text), submenu.items_});
  return *this;
}

namespace {

const MenuItem* findItem(const std::vector<MenuItem>& items, unsigned id) {
  for (const MenuItem& item : items) {
    if (item.kind == MenuItem::Kind::Command && item.id == id) return &item;
    if (item.kind == MenuItem::Kind::Submenu)
      if (const MenuItem* inner = findItem(item.items, id)) return inner;
  }
  return nullptr;
}

void outlineInto(const std::vector<MenuItem>& items, const std::string& indent,
                 std::vector<std::string>& out) {
  for (const MenuItem& item : items) {
    switch (item.kind) {
      case MenuItem::Kind::Command:
        out.push_back(indent + item.text + " (" + std::to_string(item.id) + ")" + (item.enabled ? "" : " greyed"));
        break;
      case MenuItem::Kind::Separator:
        out.push_back(indent + "-");
        break;
      case MenuItem::Kind::Submenu:
        out.push_back(indent + "> " + item.text);
        outlineInto(item.items, indent + "  ", out);
        break;
    }
  }
}

}  // namespace

std::optional<std::string> Menu::textOf(unsigned id) const {
  if (const MenuItem* item = findItem(items_, id)) return item->text;
  return std::nullopt;
}

std::vector<std::string> Menu::outline() const {
  std::vector<std::string> out;
  outlineInto(items_, "", out);
  return out;
}

// The scripted user.
#include "tests/ScriptedInteraction.h"

namespace {

unsigned findId(const std::vector<MenuItem>& items, const std::string& text) {
  for (const MenuItem& item : items) {
    if (item.kind == MenuItem::Kind::Command && item.text == text) return item.enabled ? item.id : 0;
    if (item.kind == MenuItem::Kind::Submenu)
      if (unsigned id = findId(item.items, text)) return id;
  }
  return 0;
}

}  // namespace

RECT ScriptedInteraction::trackRect(const RECT& r, unsigned edgeMask, NativeWindow) {
  edgeMasks.push_back(edgeMask);
  if (rects.empty()) return r;
  RECT out = rects.front();
  rects.pop_front();
  return out;
}

POINT ScriptedInteraction::trackLine(const POINT&, const POINT& moving, NativeWindow) {
  if (lines.empty()) return moving;
  POINT out = lines.front();
  lines.pop_front();
  return out;
}

unsigned ScriptedInteraction::trackPopupMenu(const Menu& menu, const POINT& at, NativeWindow) {
  menusShown.push_back(menu.outline());
  menuPoints.push_back(at);
  if (choices.empty()) return 0;
  std::string text = choices.front();
  choices.pop_front();
  return text.empty() ? 0 : findId(menu.items(), text);
}

bool ScriptedInteraction::askText(const std::string& title, const std::string& prompt, std::string& text) {
  prompts.push_back(title + "|" + prompt);
  textsOffered.push_back(text);
  if (texts.empty()) return false;
  std::optional<std::string> answer = texts.front();
  texts.pop_front();
  if (!answer) return false;
  text = *answer;
  return true;
}

std::optional<std::uint32_t> ScriptedInteraction::chooseColor(std::uint32_t initial, CustomColors& custom) {
  colorsOffered.push_back(initial);
  if (colors.empty()) return std::nullopt;
  std::optional<std::uint32_t> answer = colors.front();
  colors.pop_front();
  if (answer) custom[0] = *answer;
  return answer;
}

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
  return take(rects).value_or(r);
}

POINT ScriptedInteraction::trackLine(const POINT&, const POINT& moving, NativeWindow) {
  return take(lines).value_or(moving);
}

unsigned ScriptedInteraction::trackPopupMenu(const Menu& menu, const POINT& at, NativeWindow) {
  menusShown.push_back(menu.outline());
  menuPoints.push_back(at);
  const std::string text = take(choices).value_or("");
  return text.empty() ? 0 : findId(menu.items(), text);
}

bool ScriptedInteraction::askText(const std::string& title, const std::string& prompt, std::string& text) {
  prompts.push_back(title + "|" + prompt);
  textsOffered.push_back(text);
  const std::optional<std::string> answer = take(texts).value_or(std::nullopt);
  if (answer) text = *answer;
  return answer.has_value();
}

std::optional<std::uint32_t> ScriptedInteraction::chooseColor(std::uint32_t initial, CustomColors& custom) {
  colorsOffered.push_back(initial);
  const std::optional<std::uint32_t> answer = take(colors).value_or(std::nullopt);
  if (answer) custom[0] = *answer;
  return answer;
}

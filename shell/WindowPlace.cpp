// Window placement kept in the user's settings of organisation "brenlo".
#include "shell/WindowPlace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <algorithm>

namespace {

QSettings settings() { return QSettings(QStringLiteral("brenlo"), QStringLiteral("brenlo")); }

}  // namespace

QRect availableArea(const QWidget* w) {
  QScreen* screen = w ? w->screen() : nullptr;
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

void fitOnScreen(QWidget* w) {
  if (!w) return;
  const QRect area = availableArea(w);
  const QRect frame = w->frameGeometry();
  const QSize chrome = frame.size() - w->size();  // title bar and borders
  const QSize room = (area.size() - chrome).expandedTo(QSize(1, 1));
  if (w->width() > room.width() || w->height() > room.height()) w->resize(w->size().boundedTo(room));
  const QSize outer = w->size() + chrome;
  const int x = std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() + 1 - outer.width()));
  const int y = std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height()));
  if (QPoint(x, y) != frame.topLeft()) w->move(x, y);  // move places the frame
}

std::optional<WindowPlace> rememberedPlace(const QString& key) {
  QSettings s = settings();
  s.beginGroup(key);
  const QPoint pos = s.value(QStringLiteral("pos")).toPoint();
  const QSize size = s.value(QStringLiteral("size")).toSize();
  if (!s.contains(QStringLiteral("pos")) || !size.isValid() || size.isEmpty()) return std::nullopt;
  return WindowPlace{pos, size};
}

void rememberPlace(const QWidget* w, const QString& key) {
  if (!w) return;
  QSettings s = settings();
  s.beginGroup(key);
  s.setValue(QStringLiteral("pos"), w->frameGeometry().topLeft());
  s.setValue(QStringLiteral("size"), w->size());
}

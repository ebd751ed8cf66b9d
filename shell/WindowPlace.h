// Where windows open: fully on the screen, large enough for what they show, and where they were last time.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

class QWidget;

/// The smallest sizes the window layouts start from.
inline constexpr QSize kMainWindowBase{400, 150};
inline constexpr QSize kMapWindowBase{400, 300};
/// The main window opens at least this large, so that the console shows whole lines.
inline constexpr QSize kMainWindowLeast{640, 360};
/// A map window grows to show its whole map up to this share of the screen.
inline constexpr double kMapWindowScreenShare = 0.8;

/// The part of the screen windows may use: the available geometry of the screen `w` is on.
QRect availableArea(const QWidget* w);

/// Moves, and shrinks when needed, a top-level window so that its frame lies inside the
/// available area of its screen.
void fitOnScreen(QWidget* w);

/// The remembered place of windows of kind `key` ("MainWindow", "MapWindow").
struct WindowPlace {
  QPoint framePos;  // top left of the frame
  QSize size;       // the window without its frame
};
std::optional<WindowPlace> rememberedPlace(const QString& key);
/// Remembers where `w` is now, for the next window of kind `key` (in this run or the next).
void rememberPlace(const QWidget* w, const QString& key);

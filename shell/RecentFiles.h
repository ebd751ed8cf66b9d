// The maps opened or saved last, kept across runs, and the File menu's "Open Recent" list.
#pragma once

#include <QString>
#include <QStringList>

class QMenu;

/// How many maps the list keeps.
inline constexpr int kRecentFiles = 8;

/// The maps opened or saved last, newest first, as absolute paths.
QStringList recentFiles();
/// Puts `fileName` first in the list (once), dropping the oldest beyond kRecentFiles.
void noteRecentFile(const QString& fileName);
/// Takes `fileName` off the list (a map that could not be opened any more).
void forgetRecentFile(const QString& fileName);
/// Empties the list.
void clearRecentFiles();

// The recent-files list in the editor's settings.
#include "shell/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const QString kKey = QStringLiteral("RecentFiles");

QSettings settings() { return QSettings(QStringLiteral("brenlo"), QStringLiteral("brenlo")); }

QString absolute(const QString& fileName) { return QFileInfo(fileName).absoluteFilePath(); }

void store(const QStringList& files) { settings().setValue(kKey, files); }

}  // namespace

QStringList recentFiles() {
  QStringList files = settings().value(kKey).toStringList();
  files.removeAll(QString());
  return files.mid(0, kRecentFiles);
}

void noteRecentFile(const QString& fileName) {
  if (fileName.isEmpty()) return;
  const QString file = absolute(fileName);
  QStringList files = recentFiles();
  files.removeAll(file);
  files.prepend(file);
  store(files.mid(0, kRecentFiles));
}

void forgetRecentFile(const QString& fileName) {
  QStringList files = recentFiles();
  if (files.removeAll(absolute(fileName)) > 0) store(files);
}

void clearRecentFiles() { store({}); }

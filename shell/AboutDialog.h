// The About box with the program's version values.
#pragma once

#include <QDialog>

/// The values of the program's version resource.
struct VersionInfo {
  QString productName = QStringLiteral("brenlo");
  QString productVersion = QStringLiteral("0.0");
  QString legalCopyright;
  QString specialBuild;
};

/// This program's version values.
VersionInfo programVersion();

/// The modal "About brenlo" box: title line, icon, fields 22001 to 22003 and OK.
class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent = nullptr, const VersionInfo& info = programVersion());
  /// The text of field `id` (22001, 22002 or 22003).
  QString field(int id) const;
};

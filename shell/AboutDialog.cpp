// The About box: the program's title, its icon and the version values.
#include "shell/AboutDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

VersionInfo programVersion() {
  VersionInfo info;
  info.legalCopyright = QStringLiteral("Copyright (c) the brenlo authors");
  info.specialBuild = QStringLiteral("Qt %1 build").arg(QString::fromLatin1(qVersion()));
  return info;
}

AboutDialog::AboutDialog(QWidget* parent, const VersionInfo& info) : QDialog(parent) {
  setObjectName(QStringLiteral("22000"));
  setWindowTitle(QStringLiteral("About brenlo"));
  auto* top = new QHBoxLayout;
  auto* icon = new QLabel;
  icon->setPixmap(QIcon(QStringLiteral(":/icons/1001.svg")).pixmap(48, 48));
  top->addWidget(icon, 0, Qt::AlignTop);
  auto* lines = new QVBoxLayout;
  lines->addWidget(new QLabel(QStringLiteral("brenlo, the concept-map editor")));
  auto addField = [&](int id, const QString& initial) {
    auto* label = new QLabel(initial);
    label->setObjectName(QString::number(id));
    lines->addWidget(label);
    return label;
  };
  QLabel* version = addField(22001, QStringLiteral("Version"));
  QLabel* copyright = addField(22002, QString());
  QLabel* build = addField(22003, QString());
  // Each field is filled only when its values exist.
  if (!info.productName.isEmpty() && !info.productVersion.isEmpty())
    version->setText(QStringLiteral("%1 %2 %3").arg(info.productName, version->text(), info.productVersion));
  if (!info.legalCopyright.isEmpty()) copyright->setText(info.legalCopyright);
  if (!info.specialBuild.isEmpty()) build->setText(info.specialBuild);
  top->addLayout(lines);
  auto* box = new QVBoxLayout(this);
  box->addLayout(top);
  auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(ok, &QDialogButtonBox::accepted, this, &QDialog::accept);
  box->addWidget(ok);
}

QString AboutDialog::field(int id) const {
  auto* label = findChild<QLabel*>(QString::number(id));
  return label ? label->text() : QString();
}

// The export dialog: a file name with a Browse button, the whole map or the selection, and a scale.
#include "shell/ExportDialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

ExportDialog::ExportDialog(QWidget* parent, const QString& suggested, bool hasSelection) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Export"));
  file_ = new QLineEdit(suggested, this);
  file_->setObjectName(QStringLiteral("exportFile"));
  file_->setMinimumWidth(360);
  auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(file_);
  fileRow->addWidget(browse);

  whole_ = new QRadioButton(QStringLiteral("&Whole map"), this);
  selection_ = new QRadioButton(QStringLiteral("&Selection only"), this);
  whole_->setObjectName(QStringLiteral("wholeMap"));
  selection_->setObjectName(QStringLiteral("selectionOnly"));
  whole_->setChecked(true);
  selection_->setEnabled(hasSelection);
  auto* what = new QVBoxLayout;
  what->addWidget(whole_);
  what->addWidget(selection_);

  scale_ = new QDoubleSpinBox(this);
  scale_->setObjectName(QStringLiteral("exportScale"));
  scale_->setRange(10, 1000);
  scale_->setDecimals(0);
  scale_->setSingleStep(25);
  scale_->setSuffix(QStringLiteral("%"));
  scale_->setValue(100);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&File:"), fileRow);
  form->addRow(QStringLiteral("Export:"), what);
  form->addRow(QStringLiteral("S&cale (PNG):"), scale_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Export"));
  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
  column->addWidget(buttons);

  connect(browse, &QPushButton::clicked, this, &ExportDialog::browse);
  connect(file_, &QLineEdit::textChanged, this, &ExportDialog::suffixChanged);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (!file_->text().trimmed().isEmpty()) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  suffixChanged();
}

QStringList ExportDialog::filters() {
  return {QStringLiteral("PNG Image (*.png)"), QStringLiteral("SVG Drawing (*.svg)"),
          QStringLiteral("PDF Document (*.pdf)"), QStringLiteral("GraphML (*.graphml)")};
}

QString ExportDialog::fileName() const { return file_->text().trimmed(); }
bool ExportDialog::selectionOnly() const { return selection_->isChecked(); }
double ExportDialog::scale() const { return scale_->value() / 100.0; }

void ExportDialog::browse() {
  QFileDialog dialog(this, QStringLiteral("Export"), QFileInfo(fileName()).absolutePath());
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(filters());
  const QString suffix = QFileInfo(fileName()).suffix().toLower();
  for (const QString& f : filters())
    if (f.contains(QStringLiteral("*.") + suffix + QLatin1Char(')'))) dialog.selectNameFilter(f);
  dialog.selectFile(QFileInfo(fileName()).fileName());
  // The chosen filter gives the suffix when the name has none.
  connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
    dialog.setDefaultSuffix(f.section(QStringLiteral("*."), 1).chopped(1));
  });
  dialog.setDefaultSuffix(suffix.isEmpty() ? QStringLiteral("png") : suffix);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    file_->setText(dialog.selectedFiles().first());
}

void ExportDialog::suffixChanged() {
  scale_->setEnabled(QFileInfo(fileName()).suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) == 0);
}

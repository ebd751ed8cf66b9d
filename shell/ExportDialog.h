// File > Export... of a map window: where to, what (the whole map or the selection) and how large.
#pragma once

#include <QDialog>

class QDoubleSpinBox;
class QLineEdit;
class QRadioButton;

/// Asks for the file a picture of the map goes to (its suffix chooses PNG, SVG, PDF or
/// GraphML), whether it shows the whole map or only the selection, and a PNG's scale.
class ExportDialog : public QDialog {
  Q_OBJECT
 public:
  /// `suggested` is the file offered first; `hasSelection` enables "Selection only".
  ExportDialog(QWidget* parent, const QString& suggested, bool hasSelection);

  QString fileName() const;
  bool selectionOnly() const;
  /// Image pixels per map unit (1 at 100%).
  double scale() const;

  /// The file formats offered, as file-dialog filters.
  static QStringList filters();

 private:
  void browse();
  void suffixChanged();

  QLineEdit* file_;
  QRadioButton* whole_;
  QRadioButton* selection_;
  QDoubleSpinBox* scale_;
};

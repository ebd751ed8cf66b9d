// Message boxes with the severity's icon, the "Abort Program?" question and the beep.
#include "shell/QtReportPlatform.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>
#include <cstdio>

namespace {

QMessageBox::Icon qtIcon(ReportIcon icon) {
  switch (icon) {
    case ReportIcon::Exclamation:
      return QMessageBox::Warning;
    case ReportIcon::Stop:
      return QMessageBox::Critical;
    case ReportIcon::Information:
      return QMessageBox::Information;
    case ReportIcon::Question:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

QWidget* ownerWidget(NativeWindow owner) {
  if (owner == nullptr || owner == kHandlerOnlyTarget) return QApplication::activeWindow();
  return static_cast<QWidget*>(owner);
}

}  // namespace

QtReportPlatform::QtReportPlatform(std::function<ErrorHandler*()> handler)
    : handler_(std::move(handler)) {}

ErrorHandler* QtReportPlatform::findHandler() { return handler_ ? handler_() : nullptr; }

void QtReportPlatform::messageBox(NativeWindow owner, const std::string& text,
                                  const std::string& caption, ReportIcon icon) {
  QMessageBox box(qtIcon(icon), QString::fromStdString(caption), QString::fromStdString(text),
                  QMessageBox::Ok, ownerWidget(owner));
  // Report text comes from files and users: shown as it is, never as markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool QtReportPlatform::askYesNo(NativeWindow owner, const std::string& text,
                                const std::string& caption) {
  QMessageBox box(QMessageBox::Critical, QString::fromStdString(caption),
                  QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                  ownerWidget(owner));
  box.setTextFormat(Qt::PlainText);
  return box.exec() == QMessageBox::Yes;
}

void QtReportPlatform::beep(ReportIcon) { QApplication::beep(); }

void QtReportPlatform::debugBreak(const std::string& text) {
  // There is no debugger to stop; the prompt goes where a debugger would read it.
  std::fprintf(stderr, "%s\n", text.c_str());
}

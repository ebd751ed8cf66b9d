// Shows the help pages: contents, help on help and the topics of the menu commands.
#include "shell/HelpWindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTextBrowser>
#include <QToolBar>

HelpWindow::HelpWindow(const QString& folder, QWidget* parent)
    : QMainWindow(parent), folder_(folder), browser_(new QTextBrowser) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Brenlo Help"));
  resize(560, 440);
  browser_->setObjectName(QStringLiteral("helpBrowser"));
  browser_->setSearchPaths({folder});
  browser_->setOpenLinks(true);
  setCentralWidget(browser_);
  QToolBar* bar = addToolBar(QStringLiteral("Help"));
  bar->setMovable(false);
  connect(bar->addAction(QStringLiteral("Contents")), &QAction::triggered, this, &HelpWindow::showContents);
  connect(bar->addAction(QStringLiteral("Back")), &QAction::triggered, browser_, &QTextBrowser::backward);
  connect(bar->addAction(QStringLiteral("Forward")), &QAction::triggered, browser_, &QTextBrowser::forward);
}

bool HelpWindow::showPage(const QString& page, const QString& anchor) {
  const QString path = QDir(folder_).filePath(page);
  if (!QFile::exists(path)) return false;
  QUrl url = QUrl::fromLocalFile(path);
  if (!anchor.isEmpty()) url.setFragment(anchor);
  browser_->setSource(url);
  return true;
}

bool HelpWindow::showContents() { return showPage(QStringLiteral("index.html")); }

bool HelpWindow::showUsingHelp() { return showPage(QStringLiteral("usinghelp.html")); }

bool HelpWindow::showTopic(int id) {
  // Every command's topic is an anchor named after its id in the commands page.
  QFile page(QDir(folder_).filePath(QStringLiteral("commands.html")));
  if (page.open(QIODevice::ReadOnly) &&
      page.readAll().contains(QStringLiteral("id=\"%1\"").arg(id).toLatin1()))
    return showPage(QStringLiteral("commands.html"), QString::number(id));
  return showContents();
}

QUrl HelpWindow::current() const { return browser_->source(); }

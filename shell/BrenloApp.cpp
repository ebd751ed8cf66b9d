// The application: start-up order, map windows, help, About and the printing commands.
#include "shell/BrenloApp.h"

#include <QAbstractPrintDialog>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QComboBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QRadioButton>
#include <QToolBar>
#include <QVBoxLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

#include "file/Recovery.h"
#include "shell/AboutDialog.h"
#include "shell/Autosave.h"
#include "shell/BrenloEditView.h"
#include "shell/CommandMenus.h"
#include "shell/Commands.h"
#include "shell/HelpWindow.h"
#include "shell/MapWindowFactory.h"
#include "shell/PreviewWindow.h"
#include "shell/PrintOut.h"
#include "shell/RecentFiles.h"
#include "shell/QtReportPlatform.h"
#include "shell/SDIDecFrame.h"

const char* const kStartupLine =
    "QORBrenlo v0.1, a concept-map editor. Free to use, to share and to change.";

namespace {

brenloApp* gApp = nullptr;

std::unique_ptr<MapWindowFactory>& factorySlot() {
  static std::unique_ptr<MapWindowFactory> factory;
  return factory;
}

QByteArray local(const QString& text) { return text.toLocal8Bit(); }

}  // namespace

brenloApp::brenloApp(QString startupFile) : startupFile_(std::move(startupFile)) {
  gApp = this;
  qApp->installEventFilter(this);
}

brenloApp::~brenloApp() {
  qApp->removeEventFilter(this);
  setContextHelpMode(false);
  setReportPlatform(nullptr);
  if (help_) delete help_.data();  // the help engine is told to quit
  mainWindow_.reset();             // and with the main window go its map windows
  // Their copies went with them: the session ends after the windows.
  Autosave::setStore(nullptr);
  recovery_.reset();
  if (gApp == this) gApp = nullptr;
}

brenloApp* brenloApp::instance() { return gApp; }

void brenloApp::setMapWindowFactory(std::unique_ptr<MapWindowFactory> factory) {
  factorySlot() = std::move(factory);
}

MapWindowFactory* brenloApp::mapWindowFactory() { return factorySlot().get(); }

SDIDecFrame* brenloApp::mainWindow() const { return mainWindow_.get(); }

void brenloApp::start() {
  reports_ = std::make_unique<QtReportPlatform>([this]() -> ErrorHandler* { return mainWindow_.get(); });
  setReportPlatform(reports_.get());
  mainWindow_ = std::make_unique<SDIDecFrame>();
  mainWindow_->menus()->setRouter(this);  // and so the map windows opened from it
  if (MapWindowFactory* factory = mapWindowFactory()) factory->registerPrototypes();
  recovery_ = std::make_unique<RecoveryStore>();
  Autosave::setStore(recovery_.get());
  // Restored first: a start-up file among them is then brought forward, not read again.
  offerRecovery();
  if (!startupFile_.isEmpty()) openMapFile(startupFile_);
  mainWindow_->show();
  reportError(nullptr, 'I', "%s", kStartupLine);
}

void brenloApp::routeCommand(int id, CommandTarget* first) {
  if (contextHelp_ || f1Down_) {
    // The command is not run: its help topic opens instead.
    setContextHelpMode(false);
    showHelp(id);
    return;
  }
  if (id == cm::FilePrint || id == cm::FilePrintPreview)
    if (auto* map = dynamic_cast<PrintableMap*>(first)) {
      printMap(*map, id == cm::FilePrintPreview);
      return;
    }
  if (first && first->runCommand(id)) return;
  runCommand(id);
}

bool brenloApp::isEnabled(int id, CommandTarget* first) {
  if (first)
    if (std::optional<bool> own = first->commandEnabled(id)) return *own;
  return commandEnabled(id).value_or(false);
}

bool brenloApp::runCommand(int id) {
  switch (id) {
    case cm::NewView:
      newView();
      return true;
    case cm::FileOpen:
      openFile();
      return true;
    case cm::FileNew:
      if (mainWindow_) mainWindow_->newDocument();
      return true;
    case cm::FileSave:
      if (mainWindow_) mainWindow_->saveDocument();
      return true;
    case cm::FileSaveAs:
      if (mainWindow_) mainWindow_->saveDocumentAs();
      return true;
    case cm::Exit:
      if (mainWindow_) mainWindow_->close();
      return true;
    case cm::HelpContents:
      showHelp(0);
      return true;
    case cm::HelpUsing:
      showHelp(-1);
      return true;
    case cm::HelpAbout:
      about();
      return true;
    case cm::FilePrint:
      print();
      return true;
    case cm::FilePrintSetup:
      printSetup();
      return true;
    case cm::FilePrintPreview:
      printPreview();
      return true;
    default:
      return false;
  }
}

std::optional<bool> brenloApp::commandEnabled(int id) {
  switch (id) {
    case cm::NewView:
    case cm::FileOpen:
    case cm::FileNew:
    case cm::Exit:
    case cm::HelpContents:
    case cm::HelpUsing:
    case cm::HelpAbout:
      return true;
    case cm::FileSave:
    case cm::FileSaveAs:
      return mainWindow_ && mainWindow_->editView();
    case cm::FilePrint:
    case cm::FilePrintSetup:
    case cm::FilePrintPreview:
      return printer()->isValid();
    default:
      return std::nullopt;  // nobody here handles it
  }
}

void brenloApp::newView() {
  MapWindowFactory* factory = mapWindowFactory();
  if (!factory) {
    reportError(nullptr, 'I', "Map windows are not available yet");
    return;
  }
  showMapWindow(factory->newMap(mainWindow_.get()));
}

void brenloApp::openFile() {
  QFileDialog dialog(mainWindow_.get(), QStringLiteral("Open"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({QStringLiteral("CMap Files (*.CM)"), QStringLiteral("GraphML (*.graphml)"),
                         QStringLiteral("All Files (*)")});
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  openMapFile(dialog.selectedFiles().first());
}

bool brenloApp::openMapFile(const QString& fileName) {
  MapWindowFactory* factory = mapWindowFactory();
  if (!factory) {
    reportError(nullptr, 'I', "Map windows are not available yet: '%s' not opened", local(fileName).constData());
    return false;
  }
  // A map open already is brought forward rather than read a second time.
  if (QWidget* open = factory->windowOf(mainWindow_.get(), fileName)) {
    noteRecentFile(fileName);
    open->show();
    open->raise();
    open->activateWindow();
    return true;
  }
  try {
    QWidget* window = factory->openMap(mainWindow_.get(), fileName);
    if (!window) {
      reportError(nullptr, 'E', "Can't open file '%s'", local(fileName).constData());
      if (!QFileInfo::exists(fileName)) forgetRecentFile(fileName);
      return false;
    }
    showMapWindow(window);
    noteRecentFile(fileName);
    return true;
  } catch (...) {
    reportError(nullptr, 'E', "Failed to open file '%s'", local(fileName).constData());
    return false;
  }
}

void brenloApp::offerRecovery() {
  MapWindowFactory* factory = mapWindowFactory();
  if (!recovery_ || !factory) return;
  const std::vector<RecoveryCopy> copies = recovery_->claimOrphans();
  if (copies.empty()) return;
  QStringList maps;
  for (const RecoveryCopy& c : copies) {
    const QString name = c.original.empty() ? QString::fromLatin1(kUnsavedMapName) : QString::fromLocal8Bit(c.original.c_str());
    maps << QStringLiteral("    %1, changed %2")
                .arg(name, QDateTime::fromSecsSinceEpoch(c.when).toString(QStringLiteral("yyyy-MM-dd hh:mm")));
  }
  QMessageBox box(QMessageBox::Question, name(),
                  QStringLiteral("Brenlo ended before these maps were saved:\n\n%1\n\n"
                                 "Restore them? Later keeps them for the next start.")
                      .arg(maps.join(QLatin1Char('\n'))),
                  QMessageBox::NoButton, mainWindow_.get());
  box.setTextFormat(Qt::PlainText);
  QPushButton* restore = box.addButton(QStringLiteral("Restore"), QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton(QStringLiteral("Discard"), QMessageBox::DestructiveRole);
  QPushButton* later = box.addButton(QStringLiteral("Later"), QMessageBox::RejectRole);
  box.setDefaultButton(restore);
  box.setEscapeButton(later);
  box.exec();
  if (box.clickedButton() == discard) {
    recovery_->discardClaimed();
    return;
  }
  if (box.clickedButton() == restore) {
    for (const RecoveryCopy& c : copies) {
      // Adopted first: from now on the copy is this editor's, whatever happens next.
      const std::optional<unsigned> slot = recovery_->adopt(c);
      const std::optional<RecoveryCopy> mine = slot ? recovery_->copyOf(*slot) : std::nullopt;
      QWidget* window = mine ? factory->restoreMap(mainWindow_.get(), QString::fromLocal8Bit(mine->copyFile.c_str()),
                                                   QString::fromLocal8Bit(c.original.c_str()), *slot)
                             : nullptr;
      if (!window) {
        reportError(nullptr, 'E', "Can't restore the recovery copy '%s'", c.copyFile.c_str());
        continue;
      }
      showMapWindow(window);
    }
  }
  recovery_->releaseClaimed();
}

void brenloApp::showMapWindow(QWidget* window) {
  if (!window) return;
  if (mainWindow_ && window->parentWidget() != mainWindow_.get())
    window->setParent(mainWindow_.get(), window->windowFlags() | Qt::Window);
  window->show();
}

void brenloApp::about() {
  AboutDialog dialog(mainWindow_.get());
  dialog.exec();
}

QString brenloApp::helpFolder() {
  const QDir exe(QCoreApplication::applicationDirPath());
  QStringList candidates{exe.filePath(QStringLiteral("help")),
                         exe.filePath(QStringLiteral("../share/brenlo/help"))};
#ifdef BRENLO_SOURCE_HELP
  candidates << QStringLiteral(BRENLO_SOURCE_HELP);
#endif
  for (const QString& folder : candidates)
    if (QFileInfo::exists(QDir(folder).filePath(QStringLiteral("index.html")))) return QDir::cleanPath(folder);
  return candidates.first();
}

HelpWindow* brenloApp::helpWindow() const { return help_.data(); }

void brenloApp::showHelp(int id) {
  if (!help_) help_ = new HelpWindow(helpFolder());
  bool shown;
  if (id == 0) {
    shown = helpUsed_ = help_->showContents() || helpUsed_;
  } else if (id == -1) {
    shown = helpUsed_ = help_->showUsingHelp() || helpUsed_;
  } else {
    shown = help_->showTopic(id);
  }
  if (!shown) {
    reportError(nullptr, 'E', "Can't open file '%s'",
                local(QDir(helpFolder()).filePath(QStringLiteral("index.html"))).constData());
    return;
  }
  help_->show();
  help_->raise();
}

void brenloApp::setContextHelpMode(bool on) {
  if (on == contextHelp_) return;
  contextHelp_ = on;
  if (on)
    QApplication::setOverrideCursor(Qt::WhatsThisCursor);
  else
    QApplication::restoreOverrideCursor();
}

bool brenloApp::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_F1 && !key->isAutoRepeat()) f1Down_ = event->type() == QEvent::KeyPress;
      if (contextHelp_ && event->type() == QEvent::KeyPress && key->key() == Qt::Key_Escape) {
        setContextHelpMode(false);
        return true;
      }
      break;
    }
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseMove:
      // In context-help mode the pointer only points; menus still follow it.
      if (contextHelp_ && !qobject_cast<QMenu*>(watched)) return true;
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

void brenloApp::setDefaultPrinterSource(std::function<QString()> source) { defaultPrinter_ = std::move(source); }

void brenloApp::makePrinter() {
  QString device = defaultPrinter_ ? defaultPrinter_() : QPrinterInfo::defaultPrinterName();
  printerDefault_ = device.section(QLatin1Char(','), 0, 0);
  printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
}

QPrinter* brenloApp::printer() {
  if (!printer_) makePrinter();
  return printer_.get();
}

void brenloApp::profileChanged(const QString& section) {
  if (section != QLatin1String("windows") || !printer_) return;
  QString device = defaultPrinter_ ? defaultPrinter_() : QPrinterInfo::defaultPrinterName();
  // "device,driver,port": only the device part has a meaning here.
  const QString name = device.section(QLatin1Char(','), 0, 0);
  if (printer_->isValid() && name == printerDefault_) return;
  makePrinter();
}

void brenloApp::print() {
  profileChanged(QStringLiteral("windows"));
  QPrinter* p = printer();
  QWidget* client = mainWindow_ ? mainWindow_->client() : nullptr;
  if (!client) return;
  APXPrintOut printOut(client, QStringLiteral("Title"));
  ++printing_;
  QWidget* owner = QApplication::activeWindow() ? QApplication::activeWindow() : mainWindow_.get();
  QPrintDialog dialog(p, owner);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setMinMax(0, 0);
  if (dialog.exec() == QDialog::Accepted && !printOut.print(*p)) {
    QMessageBox::warning(owner, QStringLiteral("Print Error"),
                         QStringLiteral("'%1' not printed. %2.").arg(printOut.title(),
                                                                     QStringLiteral("Error encountered during print")));
  }
  --printing_;
}

namespace {

const QString kFitText = QStringLiteral("Fit the whole map on one page");
const QString kActualText = QStringLiteral("Actual size, over as many pages as it takes");

}  // namespace

void brenloApp::printMap(PrintableMap& map, bool preview) {
  profileChanged(QStringLiteral("windows"));
  QPrinter* p = printer();
  QWidget* owner = map.printOwner();
  ++printing_;
  if (preview) {
    QPrintPreviewDialog dialog(p, owner);
    dialog.setWindowTitle(QStringLiteral("Print Preview"));
    auto* scale = new QComboBox(&dialog);
    scale->setObjectName(QStringLiteral("mapPrintScale"));
    scale->addItems({kFitText, kActualText});
    scale->setCurrentIndex(mapPrintScale_ == MapPrintScale::FitToPage ? 0 : 1);
    if (auto* bar = dialog.findChild<QToolBar*>()) bar->addWidget(scale);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this, &map](QPrinter* to) { ::printMap(map.printedMap(), *to, mapPrintScale_); });
    connect(scale, &QComboBox::currentIndexChanged, &dialog, [this, &dialog](int index) {
      mapPrintScale_ = index == 0 ? MapPrintScale::FitToPage : MapPrintScale::ActualSize;
      if (auto* pages = dialog.findChild<QPrintPreviewWidget*>()) pages->updatePreview();
    });
    dialog.exec();
  } else {
    QPrintDialog dialog(p, owner);
    auto* options = new QWidget;
    options->setWindowTitle(QStringLiteral("Map"));
    auto* fit = new QRadioButton(kFitText, options);
    auto* actual = new QRadioButton(kActualText, options);
    fit->setObjectName(QStringLiteral("fitToPage"));
    actual->setObjectName(QStringLiteral("actualSize"));
    (mapPrintScale_ == MapPrintScale::FitToPage ? fit : actual)->setChecked(true);
    auto* column = new QVBoxLayout(options);
    column->addWidget(fit);
    column->addWidget(actual);
    column->addStretch();
    dialog.setOptionTabs({options});
    if (dialog.exec() == QDialog::Accepted) {
      mapPrintScale_ = fit->isChecked() ? MapPrintScale::FitToPage : MapPrintScale::ActualSize;
      if (!::printMap(map.printedMap(), *p, mapPrintScale_))
        QMessageBox::warning(owner, QStringLiteral("Print Error"),
                             QStringLiteral("'%1' not printed. %2.")
                                 .arg(owner ? owner->windowTitle() : QString(),
                                      QStringLiteral("Error encountered during print")));
    }
  }
  --printing_;
}

void brenloApp::printSetup() {
  profileChanged(QStringLiteral("windows"));
  QPageSetupDialog dialog(printer(), mainWindow_.get());
  dialog.exec();
}

void brenloApp::printPreview() {
  if (!mainWindow_) return;
  profileChanged(QStringLiteral("windows"));
  QPrinter* p = printer();
  ++printing_;
  {
    PreviewWindow preview(mainWindow_.get(), mainWindow_->client(), p);
    QWidget* area = mainWindow_->centralWidget() ? mainWindow_->centralWidget() : mainWindow_.get();
    QPoint at = area->mapToGlobal(QPoint(0, -1));
    preview.setGeometry(QRect(at, area->size().expandedTo(QSize(520, 440))));
    preview.exec();
  }
  --printing_;
  mainWindow_->update();
}

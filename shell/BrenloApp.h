// The application object: start-up, the application's commands, help and the printer.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "shell/CommandTarget.h"
#include "shell/MapPrint.h"

class HelpWindow;
class MapWindowFactory;
class QPrinter;
class QtReportPlatform;
class RecoveryStore;
class SDIDecFrame;

/// The information line reported once the main window is shown.
extern const char* const kStartupLine;

/// The application "Brenlo": owns the main window, answers the application
/// commands of menu 100 and keeps the help state and the printer object.
class brenloApp : public QObject, public CommandTarget, public CommandRouter {
  Q_OBJECT
 public:
  /// Makes the application with the start-up file (empty for none); one at a time.
  explicit brenloApp(QString startupFile = {});
  ~brenloApp() override;

  /// The application, or null when there is none.
  static brenloApp* instance();
  /// Installs the maker of map windows (owned from now on; null removes it).
  static void setMapWindowFactory(std::unique_ptr<MapWindowFactory> factory);
  /// The installed maker of map windows, or null.
  static MapWindowFactory* mapWindowFactory();

  /// Sets up and shows the main window, reports the start-up line and opens the start-up file.
  void start();
  /// The main window, null before start().
  SDIDecFrame* mainWindow() const;
  /// The application's name, "Brenlo".
  QString name() const { return QStringLiteral("Brenlo"); }

  /// Routes a menu command: to help in context-help mode, else to `first`, then here.
  void routeCommand(int id, CommandTarget* first) override;
  /// Whether command `id` is enabled for a frame whose own target is `first`.
  bool isEnabled(int id, CommandTarget* first) override;
  bool runCommand(int id) override;
  std::optional<bool> commandEnabled(int id) override;

  /// New View: an empty map window.
  void newView();
  /// Open: asks for a .CM file and opens it in a map window.
  void openFile();
  /// Opens `fileName` in a map window; false (and a report) when that failed.
  /// A map opened joins the recent files; one that cannot be opened leaves them.
  bool openMapFile(const QString& fileName) override;
  /// This editor's recovery copies, null before start().
  RecoveryStore* recovery() const { return recovery_.get(); }
  /// Offers the recovery copies that editors which ended abnormally left: Restore opens each
  /// in a changed window under its own file name, Discard deletes them, Later keeps them
  /// for the next start. Nothing is asked when there are none.
  void offerRecovery();

  /// The modal About box.
  void about();

  /// Shows help: 0 the contents, -1 help on help, otherwise the topic of command `id`.
  void showHelp(int id) override;
  /// The help window, null until help was first shown.
  HelpWindow* helpWindow() const;
  /// True once the contents or help on help were shown.
  bool helpUsed() const { return helpUsed_; }
  /// Shift+F1 mode: the next command opens its help topic instead of running.
  bool contextHelpMode() const override { return contextHelp_; }
  void setContextHelpMode(bool on) override;
  /// The help folder: "help" beside the program, or the source tree's copy.
  static QString helpFolder();

  /// The printer object, made on first use.
  QPrinter* printer();
  /// The printer object if one was made, else null.
  QPrinter* existingPrinter() const { return printer_.get(); }
  /// Above 0 while printing or previewing.
  int printing() const { return printing_; }
  /// Print and Print Preview of a map window: the map itself, fitted to the page or at
  /// actual size over several pages, as chosen in the print dialog or the preview.
  void printMap(PrintableMap& map, bool preview);
  /// The choice of the last map print.
  MapPrintScale mapPrintScale() const { return mapPrintScale_; }
  /// Print, Print Setup and Print Preview of the main window's client.
  void print();
  void printSetup();
  void printPreview();
  /// The system settings changed: for "windows", replaces the printer when the default printer changed.
  void profileChanged(const QString& section);
  /// Where the name of the system's default printer comes from (tests replace it).
  void setDefaultPrinterSource(std::function<QString()> source);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void makePrinter();
  void showMapWindow(QWidget* window);

  QString startupFile_;
  std::unique_ptr<SDIDecFrame> mainWindow_;
  std::unique_ptr<QtReportPlatform> reports_;
  std::unique_ptr<RecoveryStore> recovery_;
  QPointer<HelpWindow> help_;
  bool helpUsed_ = false;
  bool contextHelp_ = false;
  bool f1Down_ = false;
  std::unique_ptr<QPrinter> printer_;
  QString printerDefault_;
  std::function<QString()> defaultPrinter_;
  int printing_ = 0;
  MapPrintScale mapPrintScale_ = MapPrintScale::FitToPage;
};

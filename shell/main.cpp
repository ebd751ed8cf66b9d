// brenlo: the editor's entry point.
#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMessageBox::information(nullptr, "brenlo",
                           "brenlo 0.1: the map windows are not built yet. "
                           "This build holds the map model and its commands.");
  return 0;
}

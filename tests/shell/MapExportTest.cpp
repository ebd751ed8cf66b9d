// Pictures of a map without a window: the suffix chooses the format, the picture shows the elements.
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include "commands/Command.h"
#include "file/MapTools.h"
#include "model/Node.h"
#include "model/RootMap.h"
#include "shell/MapExport.h"

class MapExportTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir;

  static void fill(RootMap& map) {
    RECT r{100, 50, 200, 90};
    new Node(&map, "Rectangle-Red", "idea", &r);
  }

 private slots:
  void initTestCase() { registerPrototypesOnce(); }

  void aPngCoversTheElementsWithAMargin() {
    RootMap map;
    fill(map);
    std::string error;
    const QString out = dir.filePath("map.PNG");
    QVERIFY(exportMap(map, out.toStdString(), error));
    QImage image(out);
    QVERIFY(!image.isNull());
    // The node (with its repaint border of 3) and 10 pixels around it, nothing of the empty map above-left.
    QCOMPARE(image.size(), QSize(100 + 2 * 3 + 2 * kExportMargin + 1, 40 + 2 * 3 + 2 * kExportMargin + 1));
    QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));
    QCOMPARE(image.pixelColor(kExportMargin + 3 + 20, kExportMargin + 3 + 5), QColor(Qt::red));
  }

  void svgAndPdfAreWrittenAndOtherSuffixesRefused() {
    RootMap map;
    fill(map);
    std::string error;
    QVERIFY(exportMap(map, dir.filePath("map.svg").toStdString(), error));
    QFile svg(dir.filePath("map.svg"));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QVERIFY(svg.readAll().contains("<svg"));
    QVERIFY(exportMap(map, dir.filePath("map.pdf").toStdString(), error));
    QFile pdf(dir.filePath("map.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    QVERIFY(!exportMap(map, dir.filePath("map.gif").toStdString(), error));
    QVERIFY(QString::fromStdString(error).contains("gif"));
  }

  void aMapThatCannotBeReadIsNotExported() {
    std::string error;
    QVERIFY(!exportMapFile(dir.filePath("none.CM").toStdString(), dir.filePath("none.png").toStdString(), error));
    QVERIFY(!QFile::exists(dir.filePath("none.png")));
    QVERIFY(!error.empty());
  }
};

QTEST_MAIN(MapExportTest)
#include "MapExportTest.moc"

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
#include "tests/TestSupport.h"

namespace {

// The number of pure red pixels in columns `from` to `to` of `image`.
int redIn(const QImage& image, int from, int to) {
  int red = 0;
  for (int x = std::max(0, from); x < std::min(image.width(), to); ++x)
    for (int y = 0; y < image.height(); ++y) red += image.pixelColor(x, y) == QColor(Qt::red);
  return red;
}

QByteArray bytesOf(const QString& file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class MapExportTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir;

  static void fill(RootMap& map) {
    RECT r{100, 50, 200, 90};
    addTo(map, std::make_unique<Node>("Rectangle-Red", "idea", &r));
  }

 private slots:
  void initTestCase() { registerPrototypesOnce(); }

  // A PNG covers the elements with a margin; SVG and PDF are written too, other suffixes refused.
  void theSuffixChoosesTheFormatAndAPngCoversTheElementsWithAMargin() {
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
    QVERIFY(exportMap(map, dir.filePath("map.svg").toStdString(), error));
    QVERIFY(bytesOf(dir.filePath("map.svg")).contains("<svg"));
    QVERIFY(exportMap(map, dir.filePath("map.pdf").toStdString(), error));
    QVERIFY(bytesOf(dir.filePath("map.pdf")).startsWith("%PDF-"));
    QVERIFY(!exportMap(map, dir.filePath("map.gif").toStdString(), error));
    QVERIFY(QString::fromStdString(error).contains("gif"));
  }

  void farAndWideMapsGiveImagesOfTheirElementsAtMostTheLargestSide() {
    // Far from the origin: the picture still covers the element only.
    {
      RootMap map;
      RECT r{60000, 60000, 60100, 60040};
      addTo(map, std::make_unique<Node>("Rectangle-Red", "far", &r));
      std::string error;
      const QString out = dir.filePath("far.png");
      QVERIFY(exportMap(map, out.toStdString(), error));
      QCOMPARE(QImage(out).size(), QSize(100 + 2 * 3 + 2 * kExportMargin + 1, 40 + 2 * 3 + 2 * kExportMargin + 1));
    }
    // Wider than the largest side: scaled down to it, with a warning, and both ends drawn.
    RootMap map;
    RECT left{0, 0, 400, 200}, right{39600, 0, 40000, 200};
    addTo(map, std::make_unique<Node>("Rectangle-Red", "left", &left));
    addTo(map, std::make_unique<Node>("Rectangle-Red", "right", &right));
    RecordingReports reports;
    std::string error;
    const QString out = dir.filePath("wide.png");
    QVERIFY(exportMap(map, out.toStdString(), error));
    const QImage image(out);
    QCOMPARE(image.width(), kExportMaxSide);
    QVERIFY(image.height() < 200);
    QVERIFY(redIn(image, 0, 200) > 0);
    QVERIFY(redIn(image, image.width() - 200, image.width()) > 0);
    QVERIFY(reports.saw("scaled down to 16384 x "));
  }

  void anImageWithoutMemoryIsReportedAsSuch() {
    RootMap map;
    fill(map);
    QSize asked;
    setExportImageMaker([&asked](QSize size) {
      asked = size;
      return QImage();  // what QImage gives when the memory is not there
    });
    std::string error;
    const QString out = dir.filePath("nomemory.png");
    const bool done = exportMap(map, out.toStdString(), error);
    setExportImageMaker(nullptr);
    QVERIFY(!done);
    QVERIFY(asked.isValid());
    QVERIFY2(QString::fromStdString(error).contains("not enough memory"), error.c_str());
    QVERIFY(!QString::fromStdString(error).contains("cannot write"));
    QVERIFY(!QFile::exists(out));
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

// brenlo's command line: a file, --help, --version and mistakes.
#include <QtTest>

#include "shell/CommandLine.h"

class CommandLineTest : public QObject {
  Q_OBJECT
 private slots:
  void argumentsChooseTheMode_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("file");
    using M = CommandLine::Mode;
    QTest::newRow("nothing") << QStringList{} << int(M::Run) << "";
    QTest::newRow("file") << QStringList{"map.CM"} << int(M::Run) << "map.CM";
    QTest::newRow("help") << QStringList{"--help"} << int(M::Help) << "";
    QTest::newRow("help after file") << QStringList{"a.CM", "--help"} << int(M::Help) << "a.CM";
    QTest::newRow("version") << QStringList{"--version"} << int(M::Version) << "";
    QTest::newRow("unknown option") << QStringList{"--frob"} << int(M::Error) << "";
    QTest::newRow("two files") << QStringList{"a.CM", "b.CM"} << int(M::Error) << "a.CM";
    QTest::newRow("check") << QStringList{"--check", "a.CM"} << int(M::Check) << "";
    QTest::newRow("check without file") << QStringList{"--check"} << int(M::Error) << "";
    QTest::newRow("convert") << QStringList{"--convert", "a.CM", "b.CM"} << int(M::Convert) << "";
    QTest::newRow("convert with one file") << QStringList{"--convert", "a.CM"} << int(M::Error) << "";
    QTest::newRow("export") << QStringList{"--export", "out.png", "a.CM"} << int(M::Export) << "";
    QTest::newRow("export without map") << QStringList{"--export", "out.png"} << int(M::Error) << "";
    QTest::newRow("export with too much") << QStringList{"--export", "o.png", "a.CM", "b.CM"} << int(M::Error) << "";
    QTest::newRow("dash file after --") << QStringList{"--", "-odd.CM"} << int(M::Run) << "-odd.CM";
  }
  void argumentsChooseTheMode() {
    QFETCH(QStringList, args);
    QFETCH(int, mode);
    QFETCH(QString, file);
    std::vector<std::string> argv;
    for (const QString& a : args) argv.push_back(a.toStdString());
    CommandLine line = parseCommandLine(argv);
    QCOMPARE(int(line.mode), mode);
    QCOMPARE(QString::fromStdString(line.file), file);
    if (line.mode == CommandLine::Mode::Error) QVERIFY(!line.error.empty());
  }

  // --export names the picture first and the map second; the usage and version texts.
  void exportOperandsAndTheTexts() {
    CommandLine line = parseCommandLine({"--export", "out.svg", "in.CM"});
    QCOMPARE(line.operands, (std::vector<std::string>{"out.svg", "in.CM"}));
    QVERIFY(usageText().find("brenlo --export OUT IN.CM") != std::string::npos);
    QVERIFY(usageText().find("brenlo [FILE]") != std::string::npos);
    QCOMPARE(QString::fromStdString(versionText()), QStringLiteral("brenlo Version 0.0 (map syntax 0.1)\n"));
  }
};

QTEST_APPLESS_MAIN(CommandLineTest)
#include "CommandLineTest.moc"

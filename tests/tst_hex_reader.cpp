// The Intel HEX reader: the words each line gives, and the whole-file check
// that keeps a damaged file away from the board.
#include "TestMain.h"

#include "firmware/HexFile.h"
#include "firmware/HexReader.h"

#include <QTemporaryDir>

using Words = QList<std::uint16_t>;
Q_DECLARE_METATYPE(Words)

class HexReaderTest : public QObject {
    Q_OBJECT
private slots:
    void lineGivesWordsInFileOrder_data();
    void lineGivesWordsInFileOrder();
    void fileCheckNamesTheFirstFault_data();
    void fileCheckNamesTheFirstFault();
    void runSendsUpToTheEndOfFileRecord();
    void fileIsReadLineByLineWithoutLineEnds();
    void missingFileSaysWhy();
};

void HexReaderTest::lineGivesWordsInFileOrder_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("intelHex");
    QTest::addColumn<int>("address");
    QTest::addColumn<Words>("words");
    QTest::addColumn<QString>("conversionError");

    QTest::newRow("two words, first byte of a pair high")
        << ":0400000001020304F2" << true << 0 << Words{0x0102, 0x0304} << QString();
    QTest::newRow("odd count drops the last byte")
        << ":03000000010203F7" << true << 0 << Words{0x0102} << QString();
    QTest::newRow("load address read") << ":020100000C945D" << true << 0x0100 << Words{0x0C94} << QString();
    QTest::newRow("end of file sends nothing") << ":00000001FF" << true << 0 << Words{} << QString();
    QTest::newRow("extended linear address sends nothing")
        << ":020000040000FA" << true << 0 << Words{} << QString();
    QTest::newRow("one data byte sends nothing") << ":0100000001FE" << true << 0 << Words{} << QString();
    QTest::newRow("no colon") << "0400000001020304F2" << false << 0 << Words{} << QString();
    QTest::newRow("empty line") << "" << false << 0 << Words{} << QString();
    QTest::newRow("wrong checksum decoded all the same")
        << ":0400000001020304FF" << true << 0 << Words{0x0102, 0x0304} << QString();
    QTest::newRow("lower case digits")
        << ":04000000a1b2c3d412" << true << 0 << Words{0xA1B2, 0xC3D4} << QString();
    QTest::newRow("bad second word after the first")
        << ":0400000001020G04F2" << true << 0 << Words{0x0102} << "'0G04' is not a valid integer value";
    QTest::newRow("bad byte count") << ":Z400000001020304F2" << true << 0 << Words{}
                                    << "'Z4' is not a valid integer value";
    QTest::newRow("line shorter than its count")
        << ":0400000001020" << true << 0 << Words{0x0102} << "'0' is not a valid integer value";
    QTest::newRow("bad address of a data record")
        << ":04X0000001020304F2" << true << 0 << Words{} << "'X000' is not a valid integer value";
    QTest::newRow("type other than 00 skipped before its address is read")
        << ":04X0000301020304F2" << true << 0 << Words{} << QString();
}

void HexReaderTest::lineGivesWordsInFileOrder()
{
    QFETCH(QString, line);
    QFETCH(bool, intelHex);
    QFETCH(int, address);
    QFETCH(Words, words);
    QFETCH(QString, conversionError);
    const Hex::DecodedLine decoded = Hex::DecodeHexRecord(line);
    QCOMPARE(decoded.intelHex, intelHex);
    if (!words.isEmpty())
        QCOMPARE(int(decoded.address), address);
    QCOMPARE(decoded.words, words);
    QCOMPARE(decoded.conversionError, conversionError);
}

void HexReaderTest::fileCheckNamesTheFirstFault_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("fault");
    const QString data1 = ":0400000001020304F2";
    const QString data2 = ":03000000010203F7";
    const QString eof = ":00000001FF";

    QTest::newRow("sound file") << QStringList{data1, data2, eof} << QString();
    QTest::newRow("blank lines after the end") << QStringList{data1, eof, "", "  "} << QString();
    QTest::newRow("extended address records") << QStringList{":020000040000FA", data1, eof} << QString();
    QTest::newRow("lower case") << QStringList{":04000000a1b2c3d412", eof} << QString();
    QTest::newRow("wrong checksum") << QStringList{data1, data2, ":0400000001020304F3", eof}
                                    << "line 3: checksum 0xF3, computed 0xF2";
    QTest::newRow("no start code") << QStringList{data1, "0400000001020304F2", eof}
                                   << "line 2: no start code ':'";
    QTest::newRow("not a hexadecimal digit")
        << QStringList{":0400000001020G04F2", eof} << "line 1: character 15 ('G') is not a hexadecimal digit";
    QTest::newRow("count larger than the data")
        << QStringList{":0500000001020304F1", eof} << "line 1: byte count 0x05, but 4 data bytes";
    QTest::newRow("odd number of digits")
        << QStringList{":0400000001020304F", eof} << "line 1: odd number of hexadecimal digits";
    QTest::newRow("too short") << QStringList{":000000", eof} << "line 1: too short for a record";
    QTest::newRow("unknown record type")
        << QStringList{":00000006FA", eof} << "line 1: unknown record type 0x06";
    QTest::newRow("empty line before the end") << QStringList{data1, "", eof} << "line 2: empty line";
    QTest::newRow("no end-of-file record")
        << QStringList{data1, data2} << "line 3: the file ends without an end-of-file record";
    QTest::newRow("empty file") << QStringList{} << "line 1: the file ends without an end-of-file record";
    QTest::newRow("data after the end")
        << QStringList{data1, eof, "", data2} << "line 4: more after the end-of-file record";
}

void HexReaderTest::fileCheckNamesTheFirstFault()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, fault);
    QCOMPARE(Hex::CheckHexFile(lines).value_or(QString()), fault);
}

void HexReaderTest::runSendsUpToTheEndOfFileRecord()
{
    const QStringList lines{":0400000001020304F2", ":00000001FF", "", ""};
    QCOMPARE(Hex::LinesToSend(lines), (QStringList{":0400000001020304F2", ":00000001FF"}));
}

void HexReaderTest::fileIsReadLineByLineWithoutLineEnds()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("app.hex");
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(":0400000001020304F2\r\n:00000001FF\r\n");
    out.close();
    QString why;
    const auto file = Hex::ReadHexFile(path, &why);
    QVERIFY(file);
    QCOMPARE(file->lines, (QStringList{":0400000001020304F2", ":00000001FF"}));
    QCOMPARE(file->size, 34);
}

void HexReaderTest::missingFileSaysWhy()
{
    QString why;
    QVERIFY(!Hex::ReadHexFile("/nonexistent/app.hex", &why));
    QVERIFY(!why.isEmpty());
}

TAVRIN_TEST_MAIN(HexReaderTest)
#include "tst_hex_reader.moc"

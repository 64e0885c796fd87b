// The Intel HEX reader: the words each line gives, and the whole-file check
// that keeps a damaged or scrambling file away from the board.
#include "HexImage.h"
#include "TestMain.h"

#include "firmware/BootTexts.h"
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
    void summaryTellsRangeSizeLinesAndTime_data();
    void summaryTellsRangeSizeLinesAndTime();
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
    const QString data1 = ":0400000001020304F2"; // 0x0000-0x0003
    const QString data2 = ":020004000102F7";     // 0x0004-0x0005
    const QString eof = ":00000001FF";
    const QString scrambles = "the last byte would be dropped and every later word moved by one byte";

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
    QTest::newRow("character outside the basic plane quoted whole")
        << QStringList{QString::fromUtf8(":0000010\xF0\xB9\xB9\xA1"), eof}
        << QString::fromUtf8("line 1: character 9 ('\xF0\xB9\xB9\xA1') is not a hexadecimal digit");
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

    // Where the words land: one run of consecutive addresses in whole words.
    QTest::newRow("gap") << QStringList{data1, ":0400080005060708DA", eof}
                         << "line 2: address 0x0008 leaves a gap after 0x0003";
    QTest::newRow("overlap") << QStringList{data1, ":0400020005060708E0", eof}
                             << "line 2: address 0x0002 overlaps the data up to 0x0003";
    QTest::newRow("backwards") << QStringList{":0400100001020304E2", ":0400140005060708CE",
                                              ":04000000090A0B0CD2", eof}
                               << "line 3: address 0x0000 runs backwards, below the line before at 0x0014";
    QTest::newRow("odd count first") << QStringList{":03000000010203F7", eof}
                                     << "line 1: odd byte count 3: " + scrambles;
    QTest::newRow("odd count later") << QStringList{data1, ":03000400010203F3", eof}
                                     << "line 2: odd byte count 3: " + scrambles;
    QTest::newRow("odd first address")
        << QStringList{":0400010001020304F1", eof}
        << "line 1: address 0x0001 is odd: the data would begin inside a word and "
           "every word be moved by one byte";
    QTest::newRow("odd first address past 64 KiB")
        << QStringList{":00000100FF", ":020000040001F9", ":02000100AABB98", eof}
        << "line 3: address 0x00010001 is odd: the data would begin inside a word and every word be moved by "
           "one byte";
    QTest::newRow("empty data record places nothing")
        << QStringList{data1, ":00100000F0", data2, eof} << QString();
    QTest::newRow("extended linear address keeps the run")
        << QStringList{":10FFF000000102030405060708090A0B0C0D0E0F89", ":020000040001F9", ":02000000AABB99",
                       eof}
        << QString();
    QTest::newRow("extended segment address keeps the run")
        << QStringList{":10FFF000000102030405060708090A0B0C0D0E0F89", ":020000021000EC", ":02000000AABB99",
                       eof}
        << QString();
    QTest::newRow("extended linear address breaks the run")
        << QStringList{data1, ":020000040001F9", ":02000400AABB95", eof}
        << "line 3: address 0x00010004 (with the extended address of line 2) leaves a gap after 0x0003";
    QTest::newRow("data past 64 KiB without an extended address")
        << QStringList{":10FFF000000102030405060708090A0B0C0D0E0F89", ":02000000AABB99", eof}
        << "line 2: address 0x0000 runs backwards, below the line before at 0xFFF0";
    QTest::newRow("start address records ignored")
        << QStringList{":0400000300000100F8", data1, ":0400000500000100F6", data2, eof} << QString();
    QTest::newRow("extended address of three bytes")
        << QStringList{":03000004000001F8", data1, eof}
        << "line 1: record type 0x04 with 3 data bytes, 2 expected";
    QTest::newRow("no data") << QStringList{":020000040000FA", eof}
                             << "line 2: no data before the end-of-file record";
}

void HexReaderTest::fileCheckNamesTheFirstFault()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, fault);
    QCOMPARE(Hex::CheckHexFile(lines).value_or(QString()), fault);
}

void HexReaderTest::summaryTellsRangeSizeLinesAndTime_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("summary");
    QTest::newRow("two lines") << QStringList{":0400000001020304F2", ":020004000102F7", ":00000001FF"}
                               << "0x0000-0x0005, 6 bytes, 3 words\n3 lines, programming takes about 1 s";
    QTest::newRow("past 64 KiB")
        << QStringList{":10FFF000000102030405060708090A0B0C0D0E0F89", ":020000040001F9", ":02000000AABB99",
                       ":00000001FF"}
        << "0x0000FFF0-0x00010001, 18 bytes, 9 words\n4 lines, programming takes about 1 s";
    // 128 lines of 16 words, each 64 ms of word pauses, and the end-of-file record.
    QTest::newRow("4 KiB in 32-byte records")
        << QString(MakeHexImage(4096, 32).text).split('\n', Qt::SkipEmptyParts)
        << "0x0000-0x0FFF, 4096 bytes, 2048 words\n129 lines, programming takes about 9 s";
    // 1024 lines of 64 ms and 20 ms for the end: 65.56 s.
    QTest::newRow("32 KiB in 32-byte records")
        << QString(MakeHexImage(32768, 32).text).split('\n', Qt::SkipEmptyParts)
        << "0x0000-0x7FFF, 32768 bytes, 16384 words\n1025 lines, programming takes about 1 min 6 s";
    // Lines of 4 words are paced by the 20 ms tick, not by their 16 ms of pauses.
    QTest::newRow("8-byte records")
        << QString(MakeHexImage(4096, 8).text).split('\n', Qt::SkipEmptyParts)
        << "0x0000-0x0FFF, 4096 bytes, 2048 words\n513 lines, programming takes about 11 s";
}

void HexReaderTest::summaryTellsRangeSizeLinesAndTime()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, summary);
    const Hex::HexCheck check = Hex::SurveyHexFile(lines);
    QVERIFY2(!check.fault, qPrintable(check.fault.value_or(QString())));
    QCOMPARE(BootTexts::Summary(check.summary), summary);
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

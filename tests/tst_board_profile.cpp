// Board profiles as files: the slot words, the file written and read back in
// its stable form, every kind of bad file refused with the entry it names, and
// a profile written from what a board holds.
#include "ProfileSamples.h"

#include "params/BoardProfile.h"
#include "params/ProfileCheck.h"
#include "sound/SlotMap.h"
#include "sound/SlotNames.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Params;
using namespace ProfileSamples;
using Sound::JournalEntry;
using Sound::SlotKind;

namespace {

QJsonObject json(const char* text)
{
    return QJsonDocument::fromJson(text).object();
}

// The parameters with one entry replaced.
QJsonObject parametersWith(const QString& key, const QJsonValue& value)
{
    QJsonObject file = QJsonDocument::fromJson(WriteParameterFile(AllOnes())).object();
    QJsonObject values = file["parameters"].toObject();
    values[key] = value;
    file["parameters"] = values;
    return file;
}

} // namespace

class BoardProfileTest : public QObject {
    Q_OBJECT

private slots:
    void slotWordsNameTheSlotsOfABank_data();
    void slotWordsNameTheSlotsOfABank();
    void writtenProfileIsStableAndReadsBack_data();
    void writtenProfileIsStableAndReadsBack();
    void relativePathsStartAtTheProfilesFolder();
    void badProfileIsRefusedNamingTheEntry_data();
    void badProfileIsRefusedNamingTheEntry();
    void profileFromBoardTakesTheJournalsKnownSlots();
    void fileIsReadWithItsFolderAndNamedInRefusals();
    void calibrationTravelsOnlyWhenCarried();

private:
    QTemporaryDir dir;
};

void BoardProfileTest::slotWordsNameTheSlotsOfABank_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("bank");
    QTest::addColumn<int>("slot"); // -1: none
    QTest::addColumn<QString>("word");
    QTest::newRow("on") << "on" << 1 << Sound::SlotIndex(1, SlotKind::PowerOn, 1) << "on";
    QTest::newRow("hum of bank 3") << "hum" << 3 << Sound::SlotIndex(3, SlotKind::Hum, 1) << "hum";
    QTest::newRow("swing without number")
        << "swing" << 2 << Sound::SlotIndex(2, SlotKind::Swing, 1) << "swing1";
    QTest::newRow("clash 6") << "clash6" << 1 << Sound::SlotIndex(1, SlotKind::Clash, 6) << "clash6";
    QTest::newRow("power clash 4") << "powerclash4" << 2 << Sound::SlotIndex(2, SlotKind::PowerClash, 4)
                                   << "powerclash4";
    QTest::newRow("power clash 5") << "powerclash5" << 2 << -1 << "";
    QTest::newRow("numbered hum") << "hum1" << 1 << -1 << "";
    QTest::newRow("swing 7") << "swing7" << 1 << -1 << "";
    QTest::newRow("unknown word") << "blaster" << 1 << -1 << "";
}

void BoardProfileTest::slotWordsNameTheSlotsOfABank()
{
    QFETCH(QString, name);
    QFETCH(int, bank);
    QFETCH(int, slot);
    QFETCH(QString, word);
    QCOMPARE(Sound::SlotIndexByName(bank, name), slot);
    if (slot >= 0)
        QCOMPARE(Sound::SlotWord(slot), word);
}

void BoardProfileTest::writtenProfileIsStableAndReadsBack_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("written"); // a part of the written file

    QTest::newRow("listed slots, checksums lowered")
        << ProfileWith(json(R"({"banks": {"2": {"slots": {
               "swing": {"file": "sounds/swing1.wav",
                         "sha256": "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF"},
               "hum": {"file": "/fonts/hum.wav",
                       "sha256": "fedcba9876543210fedcba9876543210fedcba9876543210fedcba9876543210"}}}},
               "firmwareRelease": "7.0"})"))
        << "    \"banks\": {\n"
           "        \"2\": {\n"
           "            \"slots\": {\n"
           "                \"hum\": {\n"
           "                    \"file\": \"/fonts/hum.wav\",\n"
           "                    \"sha256\": "
           "\"fedcba9876543210fedcba9876543210fedcba9876543210fedcba9876543210\"\n"
           "                },\n"
           "                \"swing1\": {\n"
           "                    \"file\": \"sounds/swing1.wav\",\n"
           "                    \"sha256\": "
           "\"0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef\"\n"
           "                }\n"
           "            }\n"
           "        }\n"
           "    },\n"
           "    \"firmwareRelease\": \"7.0\",\n"
           "    \"format\": \"tavrin-board-profile\",\n";
    QTest::newRow("font folders")
        << ProfileWith(json(R"({"banks": {"3": {"font": "fonts/red"}, "1": {"font": "/fonts/blue"}}})"))
        << "    \"banks\": {\n"
           "        \"1\": {\n"
           "            \"font\": \"/fonts/blue\"\n"
           "        },\n"
           "        \"3\": {\n"
           "            \"font\": \"fonts/red\"\n"
           "        }\n"
           "    },\n"
           "    \"format\": \"tavrin-board-profile\",\n";
    QTest::newRow("parameters only") << ProfileWith({})
                                     << "    \"banks\": {\n"
                                        "    },\n"
                                        "    \"format\": \"tavrin-board-profile\",\n";
    QTest::newRow("parameters as saved") << ProfileWith({})
                                         << "    \"parameters\": {\n"
                                            "        \"defaultBank\": 3,\n"
                                            "        \"format\": \"Tavrin Manager parameters\",\n"
                                            "        \"frequencyMode\": 1,\n"
                                            "        \"parameters\": {\n"
                                            "            \"bank1.clash.blue\": 1,\n";
}

void BoardProfileTest::writtenProfileIsStableAndReadsBack()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, written);
    const BoardProfileRead read = ReadBoardProfile(file, dir.path());
    QVERIFY2(read.profile, qPrintable(read.error));
    const QByteArray once = WriteBoardProfile(*read.profile);
    QVERIFY2(QString::fromUtf8(once).contains(written), once.constData());
    const BoardProfileRead again = ReadBoardProfile(once, dir.path());
    QVERIFY2(again.profile, qPrintable(again.error));
    QCOMPARE(WriteBoardProfile(*again.profile), once);
    QCOMPARE(again.profile->banks, read.profile->banks);
    QCOMPARE(again.profile->parameters.edits, AllOnes().edits);
    QCOMPARE(again.profile->parameters.defaultBank, std::optional<int>(3));
}

void BoardProfileTest::relativePathsStartAtTheProfilesFolder()
{
    BoardProfile profile;
    profile.folder = QStringLiteral("/home/owner/profiles");
    QCOMPARE(profile.pathOf("sounds/swing1.wav"), QStringLiteral("/home/owner/profiles/sounds/swing1.wav"));
    QCOMPARE(profile.pathOf("../fonts/hum.wav"), QStringLiteral("/home/owner/fonts/hum.wav"));
    QCOMPARE(profile.pathOf("/fonts/hum.wav"), QStringLiteral("/fonts/hum.wav"));
}

void BoardProfileTest::badProfileIsRefusedNamingTheEntry_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("error");
    const QByteArray good = ProfileWith({});

    QTest::newRow("newer version") << ProfileWith(json(R"({"version": 2})"))
                                   << "The file has board profile format version 2; this program reads "
                                      "version 1.";
    QTest::newRow("truncated") << good.left(40) << "The file is damaged: unterminated object at byte 40.";
    QTest::newRow("parameter file") << WriteParameterFile(AllOnes())
                                    << "The file is not a Tavrin Manager board profile.";
    QTest::newRow("huge") << QByteArray(2 << 20, ' ') << "The file is too large to be a board profile.";
    QTest::newRow("unknown entry") << ProfileWith(json(R"({"colour": "blue"})"))
                                   << "Entry \"colour\" is not part of a board profile.";
    QTest::newRow("no parameters") << QByteArray(R"({"format": "tavrin-board-profile", "version": 1})")
                                   << "Entry \"parameters\" is missing.";
    QTest::newRow("value out of range")
        << ProfileWith(QJsonObject{{"parameters", parametersWith("bank2.clash.green", 300)}})
        << "Entry \"parameters.bank2.clash.green\": Bank 2 Clash green must be between 0 and 255 (it is "
           "300).";
    QTest::newRow("a number as text")
        << ProfileWith(QJsonObject{{"parameters", parametersWith("bank2.clash.green", "25")}})
        << "Entry \"parameters.bank2.clash.green\" must be a number, written without quotes.";
    QJsonObject misspelt = parametersWith("bank2.clash.green", 25);
    misspelt["defaultBnak"] = 2;
    QTest::newRow("a misspelt entry of the parameters") << ProfileWith(QJsonObject{{"parameters", misspelt}})
                                                         << "Entry \"parameters.defaultBnak\" is not part of the "
                                                            "parameters.";
    QTest::newRow("version as text")
        << ProfileWith(json(R"({"version": "1"})"))
        << "The file gives its board profile format version as \"1\"; this program reads version 1, a number "
           "written without quotes.";
    QTest::newRow("parameters of another version")
        << ProfileWith(json(R"({"parameters": {"format": "Tavrin Manager parameters", "version": 2}})"))
        << "Entry \"parameters\" has format version 2; this program reads version 1.";
    QTest::newRow("bank 4") << ProfileWith(json(R"({"banks": {"4": {"font": "red"}}})"))
                            << "Entry \"banks.4\" is not a bank of this board (1, 2 or 3).";
    QTest::newRow("font and slots") << ProfileWith(json(R"({"banks": {"1": {"font": "red", "slots": {}}}})"))
                                    << "Entry \"banks.1\" must hold either \"font\" or \"slots\".";
    QTest::newRow("empty font") << ProfileWith(json(R"({"banks": {"1": {"font": ""}}})"))
                                << "Entry \"banks.1.font\" must name a font folder.";
    QTest::newRow("unknown slot name")
        << ProfileWith(json(R"({"banks": {"2": {"slots": {"swing9": {"file": "a.wav", "sha256": ""}}}}})"))
        << "Entry \"banks.2.slots.swing9\" is not a slot of a bank (on, off, hum, swing1..6, clash1..6, "
           "powerclash1..4).";
    QTest::newRow("slot given twice") << ProfileWith(json(R"({"banks": {"2": {"slots": {
               "swing": {"file": "a.wav", "sha256": "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef"},
               "swing1": {"file": "b.wav", "sha256": "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef"}
           }}}})")) << "Entry \"banks.2.slots.swing1\" names slot swing1 a second time.";
    QTest::newRow("bad checksum text")
        << ProfileWith(
               json(R"({"banks": {"2": {"slots": {"swing1": {"file": "a.wav", "sha256": "12ab"}}}}})"))
        << "Entry \"banks.2.slots.swing1.sha256\" must be the file's SHA-256: 64 hexadecimal digits.";
    QTest::newRow("no file") << ProfileWith(
                                    json(R"({"banks": {"3": {"slots": {"hum": {"sha256": "12ab"}}}}})"))
                             << "Entry \"banks.3.slots.hum.file\" must name a sound file.";
    QTest::newRow("bad release")
        << ProfileWith(json(R"({"firmwareRelease": "seven"})"))
        << "Entry \"firmwareRelease\" must be a release as the board reports it, such "
           "as \"7.0\".";
}

void BoardProfileTest::badProfileIsRefusedNamingTheEntry()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, error);
    const BoardProfileRead read = ReadBoardProfile(file, dir.path());
    QVERIFY(!read.profile);
    QCOMPARE(read.error, error);
}

void BoardProfileTest::profileFromBoardTakesTheJournalsKnownSlots()
{
    const QList<JournalEntry> journal = {
        Known(Sound::SlotIndex(1, SlotKind::Hum, 1), "hum.wav", SUM_A),
        JournalEntry{Sound::SlotIndex(2, SlotKind::Hum, 1), {}, {}, {}, {}, {}},
        Known(Sound::SlotIndex(2, SlotKind::Swing, 3), "edited.wav", "not a checksum"),
        Known(Sound::SlotIndex(3, SlotKind::Clash, 2), "clash2.wav", SUM_B),
    };
    const QByteArray written = WriteBoardProfile(ProfileFromBoard(AllOnes(), journal));
    QVERIFY2(written.contains("    \"banks\": {\n"
                              "        \"1\": {\n"
                              "            \"slots\": {\n"
                              "                \"hum\": {\n"
                              "                    \"file\": \"hum.wav\",\n"
                              "                    \"sha256\": "
                              "\"0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef\"\n"
                              "                }\n"
                              "            }\n"
                              "        },\n"
                              "        \"3\": {\n"
                              "            \"slots\": {\n"
                              "                \"clash2\": {\n"
                              "                    \"file\": \"clash2.wav\",\n"
                              "                    \"sha256\": "
                              "\"fedcba9876543210fedcba9876543210fedcba9876543210fedcba9876543210\"\n"
                              "                }\n"
                              "            }\n"
                              "        }\n"
                              "    },\n"
                              "    \"firmwareRelease\": \"16.0\",\n"),
             written.constData());
}

void BoardProfileTest::calibrationTravelsOnlyWhenCarried()
{
    ParameterFileContent board = AllOnes();
    board.edits["verticalCalibration"] = "-2";
    board.edits["horizontalCalibration"] = "300";
    board.frequencyMode = 3;
    for (const Calibration calibration : {Calibration::LeftOut, Calibration::Carried}) {
        const QByteArray written = WriteBoardProfile(ProfileFromBoard(board, {}, calibration));
        QCOMPARE(written.contains("\"calibration.vertical\": -2"), calibration == Calibration::Carried);
        const BoardProfileRead read = ReadBoardProfile(written, dir.path());
        QVERIFY2(read.profile, qPrintable(read.error));
        const ProfileCheck check = CheckProfile(*read.profile);
        QVERIFY2(check.ok(), qPrintable(check.problems.join('\n')));
        const QList<ParameterWrite> writes = check.parameters.all();
        // The 85 values of "Write Parameters", a carried calibration after them
        // (low byte first: -2 at 8 and 9, 300 at 10 and 11), the default bank last.
        QCOMPARE(writes.last(), (ParameterWrite{6, 3}));
        if (calibration == Calibration::LeftOut) {
            QCOMPARE(writes.size(), 86);
            QVERIFY(std::none_of(writes.begin(), writes.end(),
                                 [](const ParameterWrite& w) { return w.address >= 8 && w.address <= 11; }));
        } else {
            QCOMPARE(writes.size(), 90);
            QCOMPARE(writes.mid(85, 4), (QList<ParameterWrite>{{8, 0xFE}, {9, 0xFF}, {10, 0x2C}, {11, 0x01}}));
        }
    }
}

void BoardProfileTest::fileIsReadWithItsFolderAndNamedInRefusals()
{
    QDir(dir.path()).mkpath("profiles");
    const QString good = dir.filePath("profiles/blue.json");
    const QString newer = dir.filePath("profiles/newer.json");
    for (const auto& [path, content] :
         {std::pair{good, ProfileWith({})}, std::pair{newer, ProfileWith(json(R"({"version": 3})"))}}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const BoardProfileRead read = ReadBoardProfileFile(good);
    QVERIFY2(read.profile, qPrintable(read.error));
    QCOMPARE(read.profile->pathOf("swing.wav"), dir.filePath("profiles/swing.wav"));
    QCOMPARE(ReadBoardProfileFile(newer).error,
             newer + ": The file has board profile format version 3; this program reads version 1.");
    QCOMPARE(ReadBoardProfileFile(dir.filePath("absent.json")).error,
             dir.filePath("absent.json") + ": the file cannot be read (No such file or directory).");
}

QTEST_GUILESS_MAIN(BoardProfileTest)
#include "tst_board_profile.moc"

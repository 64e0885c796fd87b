// Board profiles: the file written and read back in its stable form, every kind
// of bad file refused with the entry it names, the whole check that lists every
// problem before anything is sent, and where a board differs from a profile.
#include "SoundFiles.h"

#include "params/BoardProfile.h"
#include "params/ParameterLayout.h"
#include "params/ProfileCheck.h"
#include "params/ProfileDifferences.h"
#include "sound/SlotJournal.h"
#include "sound/SlotMap.h"
#include "sound/SlotNames.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Params;
using Sound::JournalEntry;
using Sound::SlotKind;

namespace {

const QString SUM_A = QStringLiteral("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef");
const QString SUM_B = QStringLiteral("fedcba9876543210fedcba9876543210fedcba9876543210fedcba9876543210");

// Every value 1, default bank 3, frequency mode 1, read from release 16.0.
ParameterFileContent allOnes()
{
    ParameterFileContent content;
    for (const ParameterField& field : parameterFields())
        if (!FileKey(field).isEmpty())
            content.edits.insert(field.editName(), QStringLiteral("1"));
    content.defaultBank = 3;
    content.frequencyMode = 1;
    content.release = QStringLiteral("16.0");
    content.serialNumber = QStringLiteral("1523-0300");
    content.saved = QDateTime(QDate(2026, 12, 1), QTime(10, 0), Qt::UTC);
    return content;
}

QJsonObject json(const char* text)
{
    return QJsonDocument::fromJson(text).object();
}

// A profile with good parameters and `entries` laid over its top level.
QByteArray profileWith(const QJsonObject& entries)
{
    QJsonObject root{{"format", "tavrin-board-profile"},
                     {"version", 1},
                     {"parameters", QJsonDocument::fromJson(WriteParameterFile(allOnes())).object()}};
    for (auto it = entries.begin(); it != entries.end(); ++it)
        root.insert(it.key(), it.value());
    return QJsonDocument(root).toJson();
}

// The parameters with one entry replaced.
QJsonObject parametersWith(const QString& key, const QJsonValue& value)
{
    QJsonObject file = QJsonDocument::fromJson(WriteParameterFile(allOnes())).object();
    QJsonObject values = file["parameters"].toObject();
    values[key] = value;
    file["parameters"] = values;
    return file;
}

QString sha256Of(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex());
}

JournalEntry known(int slot, const QString& file, const QString& checksum)
{
    return {slot, file, checksum, QDateTime(QDate(2026, 12, 1), QTime(9, 0), Qt::UTC)};
}

// "key | profile | board | source", for tables of expected differences.
QStringList lines(const QList<ProfileDifference>& differences)
{
    QStringList out;
    for (const ProfileDifference& d : differences)
        out << QStringLiteral("%1 | %2 | %3 | %4").arg(d.key, d.profile, d.board, SourceText(d.source));
    return out;
}

int swing1Of2()
{
    return Sound::SlotIndex(2, SlotKind::Swing, 1);
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
    void checkReadsEveryFileAndPlansTheWrites();
    void checkListsEveryProblem();
    void differencesNameKeyValuesAndSource_data();
    void differencesNameKeyValuesAndSource();
    void fontBankIsComparedByItsFilesChecksums();
    void onlySlotsTheJournalDoesNotHoldAreUploaded();

private:
    QString writeRamp(const QString& name, int samples);

    QTemporaryDir dir;
};

QString BoardProfileTest::writeRamp(const QString& name, int samples)
{
    const QString path = QDir(dir.path()).filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    return WriteRampSound(path, samples) ? path : QString();
}

void BoardProfileTest::slotWordsNameTheSlotsOfABank_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("bank");
    QTest::addColumn<int>("slot"); // -1: none
    QTest::addColumn<QString>("word");
    QTest::newRow("on") << "on" << 1 << Sound::SlotIndex(1, SlotKind::PowerOn, 1) << "on";
    QTest::newRow("hum of bank 3") << "hum" << 3 << Sound::SlotIndex(3, SlotKind::Hum, 1) << "hum";
    QTest::newRow("swing without number") << "swing" << 2 << swing1Of2() << "swing1";
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
        << profileWith(json(R"({"banks": {"2": {"slots": {
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
        << profileWith(json(R"({"banks": {"3": {"font": "fonts/red"}, "1": {"font": "/fonts/blue"}}})"))
        << "    \"banks\": {\n"
           "        \"1\": {\n"
           "            \"font\": \"/fonts/blue\"\n"
           "        },\n"
           "        \"3\": {\n"
           "            \"font\": \"fonts/red\"\n"
           "        }\n"
           "    },\n"
           "    \"format\": \"tavrin-board-profile\",\n";
    QTest::newRow("parameters only") << profileWith({})
                                     << "    \"banks\": {\n"
                                        "    },\n"
                                        "    \"format\": \"tavrin-board-profile\",\n";
    QTest::newRow("parameters as saved") << profileWith({})
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
    QCOMPARE(again.profile->parameters.edits, allOnes().edits);
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
    const QByteArray good = profileWith({});

    QTest::newRow("newer version") << profileWith(json(R"({"version": 2})"))
                                   << "The file has board profile format version 2; this program reads "
                                      "version 1.";
    QTest::newRow("truncated") << good.left(40) << "The file is damaged: unterminated object at byte 40.";
    QTest::newRow("parameter file") << WriteParameterFile(allOnes())
                                    << "The file is not a Tavrin Manager board profile.";
    QTest::newRow("huge") << QByteArray(2 << 20, ' ') << "The file is too large to be a board profile.";
    QTest::newRow("unknown entry") << profileWith(json(R"({"colour": "blue"})"))
                                   << "Entry \"colour\" is not part of a board profile.";
    QTest::newRow("no parameters") << QByteArray(R"({"format": "tavrin-board-profile", "version": 1})")
                                   << "Entry \"parameters\" is missing.";
    QTest::newRow("value out of range")
        << profileWith(QJsonObject{{"parameters", parametersWith("bank2.clash.green", 300)}})
        << "Entry \"parameters.bank2.clash.green\": Bank 2 Clash green must be between 0 and 255 (it is "
           "300).";
    QTest::newRow("parameters of another version")
        << profileWith(json(R"({"parameters": {"format": "Tavrin Manager parameters", "version": 2}})"))
        << "Entry \"parameters\" has format version 2; this program reads version 1.";
    QTest::newRow("bank 4") << profileWith(json(R"({"banks": {"4": {"font": "red"}}})"))
                            << "Entry \"banks.4\" is not a bank of this board (1, 2 or 3).";
    QTest::newRow("font and slots") << profileWith(json(R"({"banks": {"1": {"font": "red", "slots": {}}}})"))
                                    << "Entry \"banks.1\" must hold either \"font\" or \"slots\".";
    QTest::newRow("empty font") << profileWith(json(R"({"banks": {"1": {"font": ""}}})"))
                                << "Entry \"banks.1.font\" must name a font folder.";
    QTest::newRow("unknown slot name")
        << profileWith(json(R"({"banks": {"2": {"slots": {"swing9": {"file": "a.wav", "sha256": ""}}}}})"))
        << "Entry \"banks.2.slots.swing9\" is not a slot of a bank (on, off, hum, swing1..6, clash1..6, "
           "powerclash1..4).";
    QTest::newRow("slot given twice") << profileWith(json(R"({"banks": {"2": {"slots": {
               "swing": {"file": "a.wav", "sha256": "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef"},
               "swing1": {"file": "b.wav", "sha256": "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef"}
           }}}})")) << "Entry \"banks.2.slots.swing1\" names slot swing1 a second time.";
    QTest::newRow("bad checksum text")
        << profileWith(
               json(R"({"banks": {"2": {"slots": {"swing1": {"file": "a.wav", "sha256": "12ab"}}}}})"))
        << "Entry \"banks.2.slots.swing1.sha256\" must be the file's SHA-256: 64 hexadecimal digits.";
    QTest::newRow("no file") << profileWith(
                                    json(R"({"banks": {"3": {"slots": {"hum": {"sha256": "12ab"}}}}})"))
                             << "Entry \"banks.3.slots.hum.file\" must name a sound file.";
    QTest::newRow("bad release")
        << profileWith(json(R"({"firmwareRelease": "seven"})"))
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
        known(Sound::SlotIndex(1, SlotKind::Hum, 1), "hum.wav", SUM_A),
        JournalEntry{Sound::SlotIndex(2, SlotKind::Hum, 1), {}, {}, {}},
        known(Sound::SlotIndex(3, SlotKind::Clash, 2), "clash2.wav", SUM_B),
    };
    const QByteArray written = WriteBoardProfile(ProfileFromBoard(allOnes(), journal));
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

void BoardProfileTest::checkReadsEveryFileAndPlansTheWrites()
{
    const QString swing = writeRamp("sounds/swing1.wav", 1000);
    const QString hum = writeRamp("font/hum.wav", 2000);
    const QString clash = writeRamp("font/clash_03.wav", 500);
    QVERIFY(!swing.isEmpty() && !hum.isEmpty() && !clash.isEmpty());

    BoardProfile profile;
    profile.folder = dir.path();
    profile.parameters = allOnes();
    profile.bank(1).emplace().slotFiles.insert(Sound::SlotIndex(1, SlotKind::Swing, 1),
                                               {"sounds/swing1.wav", sha256Of(swing)});
    profile.bank(2).emplace().font = QStringLiteral("font");

    const ProfileCheck check = CheckProfile(profile);
    QVERIFY2(check.ok(), qPrintable(check.problems.join('\n')));
    // Every value of the three banks, then the default bank the profile names.
    QCOMPARE(check.parameters.all().size(), 86);
    QCOMPARE(check.parameters.defaultBank()->value, 3);
    QCOMPARE(check.uploads.size(), 3);
    QCOMPARE(check.uploads[0].slot, Sound::SlotIndex(1, SlotKind::Swing, 1));
    QCOMPARE(check.uploads[0].name, QStringLiteral("Swing 1"));
    QCOMPARE(check.uploads[0].checksum, sha256Of(swing));
    QCOMPARE(check.uploads[0].stream.size(), 2000);
    QCOMPARE(check.uploads[1].slot, Sound::SlotIndex(2, SlotKind::Hum, 1));
    QCOMPARE(check.uploads[1].checksum, sha256Of(hum));
    QCOMPARE(check.uploads[2].name, QStringLiteral("Clash 3"));
    QCOMPARE(check.uploads[2].path, clash);
}

void BoardProfileTest::checkListsEveryProblem()
{
    const QString swing = writeRamp("every/swing1.wav", 1000);
    const QString tooLong = writeRamp("every/clash1.wav", 40000);
    QVERIFY(!swing.isEmpty() && !tooLong.isEmpty());
    QFile text(QDir(dir.path()).filePath("every/notes.wav"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a sound at all");
    text.close();

    BoardProfile profile;
    profile.folder = QDir(dir.path()).filePath("every");
    profile.parameters = allOnes();
    profile.parameters.edits["bank2ClashGreen"] = QStringLiteral("300");
    profile.parameters.edits["bank1GuardRed"] = QStringLiteral("12a");
    ProfileBank& bank1 = profile.bank(1).emplace();
    bank1.slotFiles.insert(Sound::SlotIndex(1, SlotKind::Swing, 1), {"swing1.wav", SUM_A});
    bank1.slotFiles.insert(Sound::SlotIndex(1, SlotKind::Swing, 2), {"missing.wav", SUM_A});
    bank1.slotFiles.insert(Sound::SlotIndex(1, SlotKind::Clash, 1), {"clash1.wav", sha256Of(tooLong)});
    bank1.slotFiles.insert(Sound::SlotIndex(1, SlotKind::Clash, 2), {"notes.wav", SUM_A});
    profile.bank(3).emplace().font = QStringLiteral("no-such-font");

    const QString folder = profile.folder;
    const ProfileCheck check = CheckProfile(profile);
    QVERIFY(!check.ok());
    QVERIFY(check.uploads.isEmpty());
    const QStringList expected = {
        "parameters.bank1.guard.red: '12a' is not a valid integer value",
        "parameters.bank2.clash.green: Bank 2 Clash green must be between 0 and 255 (it is 300).",
        "banks.1.slots.swing1: the file " + folder +
            "/swing1.wav is not the one the profile names: its SHA-256 is " + sha256Of(swing) +
            ", the profile's " + SUM_A,
        "banks.1.slots.swing2: there is no file " + folder + "/missing.wav",
        "banks.1.slots.clash1: The size of selected file " + folder +
            "/clash1.wav is more than 64 kbytes.  Uploaded deleted.",
        "banks.1.slots.clash2: The file " + folder + "/notes.wav cannot be read as sound (",
        "banks.3.font: there is no folder " + folder + "/no-such-font",
    };
    QCOMPARE(check.problems.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QVERIFY2(check.problems[i].startsWith(expected[i]), qPrintable(check.problems[i]));
}

void BoardProfileTest::differencesNameKeyValuesAndSource_data()
{
    QTest::addColumn<ParameterFileContent>("board");
    QTest::addColumn<QList<JournalEntry>>("journal");
    QTest::addColumn<QStringList>("differences");

    const int swing = swing1Of2();
    const QList<JournalEntry> matching = {known(swing, "swing1.wav", SUM_A)};
    ParameterFileContent changedValue = allOnes();
    changedValue.edits["bank2ClashGreen"] = QStringLiteral("9");
    ParameterFileContent otherRelease = allOnes();
    otherRelease.release = QStringLiteral("15.0");
    ParameterFileContent otherChoices = allOnes();
    otherChoices.defaultBank.reset();
    otherChoices.frequencyMode = 3;

    QTest::newRow("matching") << allOnes() << matching << QStringList{};
    QTest::newRow("changed value") << changedValue << matching
                                   << QStringList{"parameters.bank2.clash.green | 1 | 9 | board"};
    QTest::newRow("changed slot") << allOnes() << QList<JournalEntry>{known(swing, "other.wav", SUM_B)}
                                  << QStringList{"banks.2.slots.swing1 | swing1.wav (SHA-256 " + SUM_A +
                                                 ") | other.wav (SHA-256 " + SUM_B + ") | journal"};
    QTest::newRow("same sound by another name")
        << allOnes() << QList<JournalEntry>{known(swing, "renamed.wav", SUM_A)} << QStringList{};
    QTest::newRow("unknown journal entry")
        << allOnes() << QList<JournalEntry>{JournalEntry{swing, {}, {}, {}}}
        << QStringList{"banks.2.slots.swing1 | swing1.wav (SHA-256 " + SUM_A + ") | unknown | journal"};
    QTest::newRow("no journal") << allOnes() << QList<JournalEntry>{}
                                << QStringList{"banks.2.slots.swing1 | swing1.wav (SHA-256 " + SUM_A +
                                               ") | unknown | journal"};
    QTest::newRow("different release")
        << otherRelease << matching << QStringList{"firmwareRelease | 16.0 | 15.0 | board"};
    QTest::newRow("default bank and frequency mode")
        << otherChoices << matching
        << QStringList{"parameters.defaultBank | 3 | unknown | board",
                       "parameters.frequencyMode | 1 | 3 | board"};
}

void BoardProfileTest::differencesNameKeyValuesAndSource()
{
    QFETCH(ParameterFileContent, board);
    QFETCH(QList<JournalEntry>, journal);
    QFETCH(QStringList, differences);
    BoardProfile profile;
    profile.parameters = allOnes();
    profile.firmwareRelease = QStringLiteral("16.0");
    profile.bank(2).emplace().slotFiles.insert(swing1Of2(), {"sounds/swing1.wav", SUM_A});
    QCOMPARE(lines(ProfileDifferences(profile, board, journal)), differences);
}

void BoardProfileTest::fontBankIsComparedByItsFilesChecksums()
{
    const QString hum = writeRamp("compared/Hum.wav", 300);
    const QString swing = writeRamp("compared/swing_01.wav", 200);
    QVERIFY(!hum.isEmpty() && !swing.isEmpty());
    BoardProfile profile;
    profile.folder = dir.path();
    profile.parameters = allOnes();
    profile.bank(2).emplace().font = QStringLiteral("compared");
    profile.bank(3).emplace().font = QStringLiteral("absent");

    const ListedProfile listed = ListFontSlots(profile);
    QCOMPARE(listed.problems, QStringList{"banks.3.font: there is no folder " + dir.path() + "/absent"});
    const QList<JournalEntry> journal = {
        known(Sound::SlotIndex(2, SlotKind::Hum, 1), "Hum.wav", sha256Of(hum)),
        known(swing1Of2(), "swing_01.wav", SUM_B)};
    QCOMPARE(lines(ProfileDifferences(listed.profile, allOnes(), journal)),
             QStringList{"banks.2.slots.swing1 | swing_01.wav (SHA-256 " + sha256Of(swing) +
                         ") | swing_01.wav (SHA-256 " + SUM_B + ") | journal"});
}

void BoardProfileTest::onlySlotsTheJournalDoesNotHoldAreUploaded()
{
    const int hum = Sound::SlotIndex(1, SlotKind::Hum, 1);
    const int swing = Sound::SlotIndex(1, SlotKind::Swing, 1);
    const int clash = Sound::SlotIndex(1, SlotKind::Clash, 1);
    const QList<Sound::FontUpload> uploads = {{hum, "Hum", "hum.wav", "h", SUM_A},
                                              {swing, "Swing 1", "swing1.wav", "s", SUM_A},
                                              {clash, "Clash 1", "clash1.wav", "c", SUM_A}};
    const QList<JournalEntry> journal = {known(hum, "hum.wav", SUM_A), known(swing, "swing1.wav", SUM_B),
                                         JournalEntry{clash, {}, {}, {}}};
    QList<int> needed;
    for (const Sound::FontUpload& upload : UploadsNotOnBoard(uploads, journal))
        needed << upload.slot;
    QCOMPARE(needed, (QList<int>{swing, clash}));
}

QTEST_GUILESS_MAIN(BoardProfileTest)
#include "tst_board_profile.moc"

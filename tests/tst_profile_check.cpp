// Board profiles before and against a board: the whole check that reads every
// file and lists every problem before anything is sent, where a board differs
// from a profile, and which slots an apply needs to upload.
#include "ProfileSamples.h"
#include "SoundFiles.h"

#include "params/BoardProfile.h"
#include "params/ProfileCheck.h"
#include "params/ProfileDifferences.h"
#include "sound/SlotMap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Params;
using namespace ProfileSamples;
using Sound::JournalEntry;
using Sound::SlotKind;

namespace {

// SHA-256 of the one-byte streams "h" and "s".
const QString SENT_H = QStringLiteral("aaa9402664f1a41f40ebbc52c9993eb66aeb366602958fdfaa283b71e64db123");
const QString SENT_S = QStringLiteral("043a718774c572bd8a25adbeb1bfcd5c0256ae11cecf9f9c3f925d0e52beaf89");

int swing1Of2()
{
    return Sound::SlotIndex(2, SlotKind::Swing, 1);
}

} // namespace

class ProfileCheckTest : public QObject {
    Q_OBJECT

private slots:
    void checkReadsEveryFileAndPlansTheWrites();
    void checkListsEveryProblem();
    void differencesNameKeyValuesAndSource_data();
    void differencesNameKeyValuesAndSource();
    void fontBankIsComparedByItsFilesChecksums();
    void onlySlotsTheJournalDoesNotHoldAreUploaded();
    void boardOfAnotherReleaseIsRefused_data();
    void boardOfAnotherReleaseIsRefused();

private:
    QString writeRamp(const QString& name, int samples);

    QTemporaryDir dir;
};

QString ProfileCheckTest::writeRamp(const QString& name, int samples)
{
    const QString path = QDir(dir.path()).filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    return WriteRampSound(path, samples) ? path : QString();
}

void ProfileCheckTest::checkReadsEveryFileAndPlansTheWrites()
{
    const QString swing = writeRamp("sounds/swing1.wav", 1000);
    const QString hum = writeRamp("font/hum.wav", 2000);
    const QString clash = writeRamp("font/clash_03.wav", 500);
    QVERIFY(!swing.isEmpty() && !hum.isEmpty() && !clash.isEmpty());

    BoardProfile profile;
    profile.folder = dir.path();
    profile.parameters = AllOnes();
    profile.bank(1).emplace().slotFiles.insert(Sound::SlotIndex(1, SlotKind::Swing, 1),
                                               {"sounds/swing1.wav", Sha256Of(swing)});
    profile.bank(2).emplace().font = QStringLiteral("font");

    const ProfileCheck check = CheckProfile(profile);
    QVERIFY2(check.ok(), qPrintable(check.problems.join('\n')));
    // Every value of the three banks, then the default bank the profile names.
    QCOMPARE(check.parameters.all().size(), 86);
    QCOMPARE(check.parameters.defaultBank()->value, 3);
    QCOMPARE(check.uploads.size(), 3);
    QCOMPARE(check.uploads[0].slot, Sound::SlotIndex(1, SlotKind::Swing, 1));
    QCOMPARE(check.uploads[0].name, QStringLiteral("Swing 1"));
    QCOMPARE(check.uploads[0].checksum, Sha256Of(swing));
    QCOMPARE(check.uploads[0].stream.size(), 2000);
    QCOMPARE(check.uploads[1].slot, Sound::SlotIndex(2, SlotKind::Hum, 1));
    QCOMPARE(check.uploads[1].checksum, Sha256Of(hum));
    QCOMPARE(check.uploads[2].name, QStringLiteral("Clash 3"));
    QCOMPARE(check.uploads[2].path, clash);
}

void ProfileCheckTest::checkListsEveryProblem()
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
    profile.parameters = AllOnes();
    profile.parameters.edits["bank2ClashGreen"] = QStringLiteral("300");
    profile.parameters.edits["bank1GuardRed"] = QStringLiteral("12a");
    profile.parameters.frequencyMode = 7;
    profile.parameters.defaultBank = 4;
    ProfileBank& bank1 = profile.bank(1).emplace();
    bank1.slotFiles.insert(Sound::SlotIndex(1, SlotKind::Swing, 1), {"swing1.wav", SUM_A});
    bank1.slotFiles.insert(Sound::SlotIndex(1, SlotKind::Swing, 2), {"missing.wav", SUM_A});
    bank1.slotFiles.insert(Sound::SlotIndex(1, SlotKind::Clash, 1), {"clash1.wav", Sha256Of(tooLong)});
    bank1.slotFiles.insert(Sound::SlotIndex(1, SlotKind::Clash, 2), {"notes.wav", SUM_A});
    QVERIFY(QDir(profile.folder).mkpath("empty-font"));
    profile.bank(2).emplace().font = QStringLiteral("empty-font");
    profile.bank(3).emplace().font = QStringLiteral("no-such-font");

    const QString folder = profile.folder;
    const ProfileCheck check = CheckProfile(profile);
    QVERIFY(!check.ok());
    QVERIFY(check.uploads.isEmpty());
    const QStringList expected = {
        "parameters.bank1.guard.red: '12a' is not a valid integer value",
        "parameters.bank2.clash.green: Bank 2 Clash green must be between 0 and 255 (it is 300).",
        "parameters.frequencyMode: 7 is not a frequency mode.",
        "parameters.defaultBank: 4 is not a bank.",
        "banks.1.slots.swing1: the file " + folder +
            "/swing1.wav is not the one the profile names: its SHA-256 is " + Sha256Of(swing) +
            ", the profile's " + SUM_A,
        "banks.1.slots.swing2: there is no file " + folder + "/missing.wav",
        "banks.1.slots.clash1: The size of selected file " + folder +
            "/clash1.wav is more than 64 kbytes.  Uploaded deleted.",
        "banks.1.slots.clash2: The file " + folder + "/notes.wav cannot be read as sound (",
        "banks.2.font: No file is chosen for any slot. Nothing was sent.",
        "banks.3.font: there is no folder " + folder + "/no-such-font",
    };
    QCOMPARE(check.problems.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QVERIFY2(check.problems[i].startsWith(expected[i]), qPrintable(check.problems[i]));
}

void ProfileCheckTest::differencesNameKeyValuesAndSource_data()
{
    QTest::addColumn<ParameterFileContent>("board");
    QTest::addColumn<QList<JournalEntry>>("journal");
    QTest::addColumn<QStringList>("differences");

    const int swing = swing1Of2();
    const QList<JournalEntry> matching = {Known(swing, "swing1.wav", SUM_A)};
    ParameterFileContent changedValue = AllOnes();
    changedValue.edits["bank2ClashGreen"] = QStringLiteral("9");
    ParameterFileContent otherRelease = AllOnes();
    otherRelease.release = QStringLiteral("15.0");
    ParameterFileContent otherChoices = AllOnes();
    otherChoices.defaultBank.reset();
    otherChoices.frequencyMode = 3;

    QTest::newRow("matching") << AllOnes() << matching << QStringList{};
    QTest::newRow("changed value") << changedValue << matching
                                   << QStringList{"parameters.bank2.clash.green | 1 | 9 | board"};
    QTest::newRow("changed slot") << AllOnes() << QList<JournalEntry>{Known(swing, "other.wav", SUM_B)}
                                  << QStringList{"banks.2.slots.swing1 | swing1.wav (SHA-256 " + SUM_A +
                                                 ") | other.wav (SHA-256 " + SUM_B + ") | journal"};
    QTest::newRow("same sound by another name")
        << AllOnes() << QList<JournalEntry>{Known(swing, "renamed.wav", SUM_A)} << QStringList{};
    QTest::newRow("unknown journal entry")
        << AllOnes() << QList<JournalEntry>{JournalEntry{swing, {}, {}, {}, {}, {}}}
        << QStringList{"banks.2.slots.swing1 | swing1.wav (SHA-256 " + SUM_A + ") | unknown | journal"};
    QTest::newRow("no journal") << AllOnes() << QList<JournalEntry>{}
                                << QStringList{"banks.2.slots.swing1 | swing1.wav (SHA-256 " + SUM_A +
                                               ") | unknown | journal"};
    QTest::newRow("different release")
        << otherRelease << matching << QStringList{"firmwareRelease | 16.0 | 15.0 | board"};
    QTest::newRow("default bank and frequency mode")
        << otherChoices << matching
        << QStringList{"parameters.defaultBank | 3 | unknown | board",
                       "parameters.frequencyMode | 1 | 3 | board"};
}

void ProfileCheckTest::differencesNameKeyValuesAndSource()
{
    QFETCH(ParameterFileContent, board);
    QFETCH(QList<JournalEntry>, journal);
    QFETCH(QStringList, differences);
    BoardProfile profile;
    profile.parameters = AllOnes();
    profile.firmwareRelease = QStringLiteral("16.0");
    profile.bank(2).emplace().slotFiles.insert(swing1Of2(), {"sounds/swing1.wav", SUM_A});
    QCOMPARE(Lines(ProfileDifferences(ListFontSlots(profile), board, journal)), differences);
}

void ProfileCheckTest::fontBankIsComparedByItsFilesChecksums()
{
    const QString hum = writeRamp("compared/Hum.wav", 300);
    const QString swing = writeRamp("compared/swing_01.wav", 200);
    QVERIFY(!hum.isEmpty() && !swing.isEmpty());
    BoardProfile profile;
    profile.folder = dir.path();
    profile.parameters = AllOnes();
    profile.bank(2).emplace().font = QStringLiteral("compared");
    profile.bank(3).emplace().font = QStringLiteral("absent");

    const ListedProfile listed = ListFontSlots(profile);
    QCOMPARE(listed.problems, QStringList{"banks.3.font: there is no folder " + dir.path() + "/absent"});
    const QList<JournalEntry> journal = {
        Known(Sound::SlotIndex(2, SlotKind::Hum, 1), "Hum.wav", Sha256Of(hum)),
        Known(swing1Of2(), "swing_01.wav", SUM_B)};
    QCOMPARE(Lines(ProfileDifferences(listed, AllOnes(), journal)),
             QStringList{"banks.2.slots.swing1 | swing_01.wav (SHA-256 " + Sha256Of(swing) +
                         ") | swing_01.wav (SHA-256 " + SUM_B + ") | journal"});
}

void ProfileCheckTest::onlySlotsTheJournalDoesNotHoldAreUploaded()
{
    const int hum = Sound::SlotIndex(1, SlotKind::Hum, 1);
    const int swing = Sound::SlotIndex(1, SlotKind::Swing, 1);
    const int clash = Sound::SlotIndex(1, SlotKind::Clash, 1);
    const int skipped = Sound::SlotIndex(1, SlotKind::Swing, 2);
    const int older = Sound::SlotIndex(1, SlotKind::Swing, 3);
    const QList<Sound::FontUpload> uploads = {{hum, "Hum", "hum.wav", "h", SUM_A},
                                              {swing, "Swing 1", "swing1.wav", "s", SUM_A},
                                              {clash, "Clash 1", "clash1.wav", "c", SUM_A},
                                              {skipped, "Swing 2", "swing2.wav", "s", SUM_A},
                                              {older, "Swing 3", "swing3.wav", "s", SUM_A}};
    const QList<JournalEntry> journal = {Known(hum, "hum.wav", SUM_A, SENT_H),
                                         Known(swing, "swing1.wav", SUM_B, SENT_S),
                                         JournalEntry{clash, {}, {}, {}, {}, {}},
                                         // The same file, with samples left out when it was sent.
                                         Known(skipped, "swing2.wav", SUM_A, SENT_H),
                                         // Recorded before the bytes sent were.
                                         Known(older, "swing3.wav", SUM_A)};
    QList<int> needed;
    for (const Sound::FontUpload& upload : UploadsNotOnBoard(uploads, journal))
        needed << upload.slot;
    QCOMPARE(needed, (QList<int>{swing, clash, skipped, older}));
}

void ProfileCheckTest::boardOfAnotherReleaseIsRefused_data()
{
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QString>("board");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("same release") << "16.0"
                                  << "16.0"
                                  << "";
    QTest::newRow("any release") << ""
                                 << "15.0"
                                 << "";
    QTest::newRow("older board")
        << "16.0"
        << "15.0"
        << "This board runs release 15.0; the profile is for release 16.0. Nothing was "
           "sent.";
    QTest::newRow("release unread")
        << "16.0"
        << ""
        << "This board's release has not been read; the profile is for release 16.0. "
           "Nothing was sent.";
}

void ProfileCheckTest::boardOfAnotherReleaseIsRefused()
{
    QFETCH(QString, wanted);
    QFETCH(QString, board);
    QFETCH(QString, refusal);
    BoardProfile profile;
    profile.firmwareRelease = wanted;
    QCOMPARE(ReleaseRefusal(profile, board), refusal);
}

QTEST_GUILESS_MAIN(ProfileCheckTest)
#include "tst_profile_check.moc"

// A sound font into a bank: file names matched to slots by the documented rule,
// the table built from a folder of files made with libsndfile, the check that
// refuses the whole table for one bad row, and the journal of what went where.
#include "SoundFiles.h"

#include "sound/FontNames.h"
#include "sound/FontPlan.h"
#include "sound/SlotJournal.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <sndfile.h>

using namespace Sound;

namespace {

constexpr int WAV_24 = SF_FORMAT_WAV | SF_FORMAT_PCM_24;

void writeShort(const QString& path, int frames = 4410)
{
    WriteSoundFile(path, WAV_24, 44100, 2, std::vector<double>(size_t(frames) * 2, 0.1));
}

int rowOf(const FontPlan& plan, const QString& name)
{
    for (int i = 0; i < plan.rows.size(); ++i)
        if (plan.rows[i].name == name)
            return i;
    return -1;
}

} // namespace

class SoundFontTest : public QObject {
    Q_OBJECT

private slots:
    void namesMatchSlots_data();
    void namesMatchSlots();
    void folderBecomesTableOfTheBank();
    void oneBadRowRefusesTheWholeTable();
    void journalRecordsAndForgets();

private:
    QTemporaryDir dir;
};

void SoundFontTest::namesMatchSlots_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("slot"); // empty: no slot
    QTest::newRow("poweron") << "PowerOn.wav"
                             << "Power On";
    QTest::newRow("on") << "on.wav"
                        << "Power On";
    QTest::newRow("out, another format") << "OUT.flac"
                                         << "Power On";
    QTest::newRow("power off with a separator") << "Power_Off.ogg"
                                                << "Power Off";
    QTest::newRow("in") << "in.wav"
                        << "Power Off";
    QTest::newRow("hum, upper case") << "HUM.WAV"
                                     << "Hum";
    QTest::newRow("hum with number 1") << "hum01.wav"
                                       << "Hum";
    QTest::newRow("swing3") << "swing3.wav"
                            << "Swing 3";
    QTest::newRow("separator and leading zero") << "Swing_03.wav"
                                                << "Swing 3";
    QTest::newRow("swng") << "swng6.mp3"
                          << "Swing 6";
    QTest::newRow("clash_02") << "clash_02.wav"
                              << "Clash 2";
    QTest::newRow("clsh") << "CLSH1.wav"
                          << "Clash 1";
    QTest::newRow("lockup") << "lockup.wav"
                            << "Power Clash 1";
    QTest::newRow("lock4") << "lock-4.wav"
                           << "Power Clash 4";
    QTest::newRow("power clash with blanks") << "Power Clash 2.wav"
                                             << "Power Clash 2";
    QTest::newRow("swing 7 is beyond the bank") << "swing7.wav"
                                                << "";
    QTest::newRow("clash 7 is beyond the bank") << "clash7.wav"
                                                << "";
    QTest::newRow("lockup 5 is beyond the bank") << "lockup5.wav"
                                                 << "";
    QTest::newRow("a second hum") << "hum2.wav"
                                  << "";
    QTest::newRow("number 0") << "swing0.wav"
                              << "";
    QTest::newRow("huge number") << "clash000000000000000000001.wav"
                                 << "Clash 1";
    QTest::newRow("overflowing number") << "clash99999999999999.wav"
                                        << "";
    QTest::newRow("unknown word") << "blaster.wav"
                                  << "";
    QTest::newRow("word inside a longer one") << "myhum.wav"
                                              << "";
}

void SoundFontTest::namesMatchSlots()
{
    QFETCH(QString, file);
    const std::optional<FontSlot> match = MatchFontName(file);
    QTEST(match ? FontSlotName(match->kind, match->number) : QString(), "slot");
}

void SoundFontTest::folderBecomesTableOfTheBank()
{
    const QString font = dir.filePath("font");
    QDir().mkpath(font);
    writeShort(font + "/poweron.wav");
    writeShort(font + "/On.wav");
    WriteSoundFile(font + "/hum.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 22050, 1,
                   std::vector<double>(22050, 0.1));
    writeShort(font + "/swing_03.wav");
    writeShort(font + "/clash02.wav", 88200); // 2 s: 88200 bytes for the board
    writeShort(font + "/blaster.wav");
    QFile(font + "/readme.txt").open(QIODevice::WriteOnly);
    QFile(font + "/lockup.wav").open(QIODevice::WriteOnly); // empty: not a sound

    const FontPlan plan = PlanFont(font, 2);
    QCOMPARE(plan.rows.size(), 19);
    QCOMPARE(plan.rows.first().name, QString("Power On"));
    QCOMPARE(plan.rows.last().name, QString("Power Clash 4"));
    QCOMPARE(SoundSlots()[plan.rows[rowOf(plan, "Swing 3")].slot].address, 0x1A0000u);
    // "On.wav" sorts before "poweron.wav" without regard to case.
    QCOMPARE(plan.unplaced,
             (QStringList{"blaster.wav: matches no slot", "poweron.wav: Power On already has On.wav"}));

    const FontRow& on = plan.rows[rowOf(plan, "Power On")];
    QCOMPARE(QFileInfo(on.path).fileName(), QString("On.wav"));
    QVERIFY(on.fits);
    QCOMPARE(on.facts->boardSamples, qint64(2205));
    const FontRow& hum = plan.rows[rowOf(plan, "Hum")];
    QCOMPARE(hum.facts->format.container, QString("FLAC"));
    QVERIFY(hum.fits);
    const FontRow& clash = plan.rows[rowOf(plan, "Clash 2")];
    QVERIFY(!clash.fits);
    QCOMPARE(clash.problem, QString("88200 bytes for the board; the slot takes at most 64954"));
    const FontRow& lockup = plan.rows[rowOf(plan, "Power Clash 1")];
    QVERIFY(!lockup.fits);
    QVERIFY(!lockup.facts);
    QVERIFY(!lockup.problem.isEmpty());
    QVERIFY(plan.rows[rowOf(plan, "Swing 1")].path.isEmpty());
}

void SoundFontTest::oneBadRowRefusesTheWholeTable()
{
    const QString font = dir.filePath("check");
    QDir().mkpath(font);
    writeShort(font + "/out.wav");
    writeShort(font + "/swing1.wav");
    writeShort(font + "/clash1.wav", 88200);
    FontPlan plan = PlanFont(font, 1);

    FontCheck check = CheckFontPlan(plan);
    QVERIFY(check.uploads.isEmpty());
    QCOMPARE(check.problems.size(), 1);
    QVERIFY2(check.problems[0].startsWith("Clash 1: The sound of "), qPrintable(check.problems[0]));

    check = CheckFontPlan(plan, true);
    QVERIFY2(check.problems.isEmpty(), qPrintable(check.problems.join('\n')));
    QCOMPARE(check.uploads.size(), 3);
    QCOMPARE(check.uploads[2].stream.size(), 64954);

    ChooseFile(plan, rowOf(plan, "Clash 1"), QString());
    ChooseFile(plan, rowOf(plan, "Hum"), font + "/swing1.wav"); // the owner's own choice
    check = CheckFontPlan(plan);
    QVERIFY(check.problems.isEmpty());
    QStringList order;
    for (const FontUpload& u : check.uploads)
        order << u.name;
    QCOMPARE(order, (QStringList{"Power On", "Hum", "Swing 1"}));
    QFile out(font + "/out.wav");
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(check.uploads[0].checksum,
             QString(QCryptographicHash::hash(out.readAll(), QCryptographicHash::Sha256).toHex()));
    QCOMPARE(check.uploads[0].stream.size(), 2 * 2205);
    QCOMPARE(FontProgressText("Swing 3", 7, 19), QString("Swing 3: 7 of 19"));

    for (int i = 0; i < plan.rows.size(); ++i)
        ChooseFile(plan, i, QString());
    QCOMPARE(CheckFontPlan(plan).problems, QStringList{"No file is chosen for any slot. Nothing was sent."});
}

void SoundFontTest::journalRecordsAndForgets()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(SlotJournal::DefaultFolder().endsWith("/slot-journal"));
    SlotJournal journal(dir.filePath("journal"));
    const QString serial = "1523-0042";
    const int hum2 = SlotIndex(2, SlotKind::Hum, 1);
    const int swing2 = SlotIndex(2, SlotKind::Swing, 1);
    const QDateTime when(QDate(2026, 3, 1), QTime(10, 30), QTimeZone::utc());
    const SlotSource hum = SlotSource::Of("fonts/hum.flac", "ab12", "abc");
    QCOMPARE(hum.fileName, QString("hum.flac"));
    QCOMPARE(hum.path, QDir::currentPath() + "/fonts/hum.flac");
    QCOMPARE(hum.sentChecksum, QString("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    QCOMPARE(journal.record(serial, hum2, hum, when), QString());
    QCOMPARE(journal.record(serial, swing2, {"swing1.wav", "cd34", "/fonts/swing1.wav", "ef56"}, when),
             QString());

    QList<JournalEntry> entries = journal.list(serial);
    QCOMPARE(entries.size(), 57);
    QCOMPARE(entries[hum2].fileName, QString("hum.flac"));
    QCOMPARE(entries[hum2].checksum, QString("ab12"));
    QCOMPARE(entries[hum2].path, hum.path);
    QCOMPARE(entries[hum2].sentChecksum,
             QString("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    QCOMPARE(entries[hum2].written, when);
    QVERIFY(!entries[SlotIndex(1, SlotKind::Hum, 1)].known());
    QVERIFY(!journal.list("9999-0001")[hum2].known()); // another board knows nothing of it

    QFile file(dir.filePath("journal/board-1523-0042.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    file.close();
    QCOMPARE(root["serial"].toString(), serial);
    const QJsonObject swingRecord = root["slots"].toObject()["0x180000"].toObject();
    QCOMPARE(swingRecord["file"].toString(), QString("swing1.wav"));
    QCOMPARE(swingRecord["sha256"].toString(), QString("cd34"));
    QCOMPARE(swingRecord["path"].toString(), QString("/fonts/swing1.wav"));
    QCOMPARE(swingRecord["sentSha256"].toString(), QString("ef56"));

    // The hum's second sector erased: the hum is unknown, the swing stays.
    QCOMPARE(journal.forgetSectors(serial, {0x170000}), QString());
    entries = journal.list(serial);
    QVERIFY(!entries[hum2].known());
    QVERIFY(entries[swing2].known());

    // A damaged journal is kept aside, never overwritten.
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{ not json");
    file.close();
    QVERIFY(!journal.list(serial)[swing2].known());
    QCOMPARE(journal.record(serial, hum2, hum, when), QString());
    QVERIFY(QFile::exists(file.fileName() + ".damaged"));
    QVERIFY(journal.list(serial)[hum2].known());

    // A journal kept before the path and the bytes sent were recorded still reads.
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"serial": "1523-0042", "slots": {"0x160000": {"file": "hum.flac", "sha256": "ab12"}}})");
    file.close();
    const JournalEntry older = journal.list(serial)[hum2];
    QCOMPARE(older.fileName, QString("hum.flac"));
    QCOMPARE(older.checksum, QString("ab12"));
    QCOMPARE(older.path, QString());
    QCOMPARE(older.sentChecksum, QString());

    QCOMPARE(journal.record("", hum2, hum, when),
             QString("The board's serial number is not known yet, so what went where is not recorded."));
}

QTEST_GUILESS_MAIN(SoundFontTest)
#include "tst_sound_font.moc"

// A profile packed with its sounds: saved from the journal's sources, read back
// anywhere once they are gone, refused whole when a sound cannot be packed, and
// an archive from elsewhere never unpacked outside its own folder.
#include "ProfileSamples.h"

#include "params/ProfileArchive.h"
#include "sound/SlotMap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <archive.h>
#include <archive_entry.h>

using namespace Params;
using namespace ProfileSamples;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// One member of a hand-made archive: a plain file unless it links to `link`.
struct Member {
    QByteArray name;
    QByteArray content;
    QByteArray link;
};

la_ssize_t appendTo(archive*, void* bytes, const void* data, size_t length)
{
    static_cast<QByteArray*>(bytes)->append(static_cast<const char*>(data), qsizetype(length));
    return la_ssize_t(length);
}

QByteArray zipOf(const QList<Member>& members)
{
    QByteArray bytes;
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_open2(a, &bytes, nullptr, appendTo, nullptr, nullptr);
    for (const Member& member : members) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, member.name.constData());
        archive_entry_set_perm(entry, 0644);
        if (member.link.isEmpty()) {
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_size(entry, member.content.size());
        } else {
            archive_entry_set_filetype(entry, AE_IFLNK);
            archive_entry_set_symlink(entry, member.link.constData());
        }
        archive_write_header(a, entry);
        archive_write_data(a, member.content.constData(), size_t(member.content.size()));
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
    return bytes;
}

const QByteArray TONE = QByteArrayLiteral("RIFF tone");
const QString TONE_SUM = QStringLiteral("4aaaa930ef8b70e8dbb18852a5035848dad396ecce21431f5f4cace66c645d0c");

// A manifest whose bank 1 hum is the file at `file`.
QByteArray manifestWithHum(const QString& file)
{
    return ProfileWith(QJsonObject{
        {"banks",
         QJsonObject{{"1", QJsonObject{{"slots", QJsonObject{{"hum", QJsonObject{{"file", file}, {"sha256", SUM_A}}}}}}}}}});
}

} // namespace

class ProfileArchiveTest : public QObject {
    Q_OBJECT
private slots:
    void savedProfileCarriesItsSoundsWhereverItGoes();
    void soundThatCannotBePackedIsNamedAndMayBeLeftOut();
    void hostileArchiveIsRefusedWhole_data();
    void hostileArchiveIsRefusedWhole();
};

void ProfileArchiveTest::savedProfileCarriesItsSoundsWhereverItGoes()
{
    QTemporaryDir sources;
    QTemporaryDir saved;
    const QString tone = sources.filePath(QStringLiteral("tone.wav"));
    QVERIFY(writeBytes(tone, TONE));
    const int hum = Sound::SlotIndex(1, Sound::SlotKind::Hum, 1);
    const int swing = Sound::SlotIndex(3, Sound::SlotKind::Swing, 2);
    QList<Sound::JournalEntry> journal{Known(hum, QStringLiteral("tone.wav"), TONE_SUM),
                                       Known(swing, QStringLiteral("tone.wav"), TONE_SUM)};
    for (Sound::JournalEntry& entry : journal)
        entry.path = tone;
    const BoardProfile fromBoard = ProfileFromBoard(AllOnes(), journal);
    const ProfilePack pack = PackProfile(fromBoard, journal);
    QVERIFY(pack.unavailable.isEmpty());
    const QString path = saved.filePath(QStringLiteral("blue.zip"));
    QCOMPARE(WriteProfileArchive(path, pack), QString());
    QVERIFY(sources.remove());

    QString unpackedFolder;
    {
        const BoardProfileRead read = ReadBoardProfileFile(path);
        QVERIFY2(read.profile, qPrintable(read.error));
        QCOMPARE(read.profile->parameters.edits, fromBoard.parameters.edits);
        const ProfileSlot humSlot = read.profile->bank(1)->slotFiles.value(hum);
        QCOMPARE(humSlot.file, QStringLiteral("sounds/bank1/hum/tone.wav"));
        QCOMPARE(read.profile->bank(3)->slotFiles.value(swing).file, QStringLiteral("sounds/bank3/swing2/tone.wav"));
        QCOMPARE(humSlot.sha256, TONE_SUM);
        QCOMPARE(fileBytes(read.profile->pathOf(humSlot.file)), TONE);
        QVERIFY(!read.profile->bank(2));
        unpackedFolder = read.profile->folder;
        QVERIFY(QFileInfo(unpackedFolder).isDir());
    }
    // Gone with the last copy of the profile.
    QVERIFY(!QFileInfo::exists(unpackedFolder));

    // A failed write keeps the file that was there.
    QCOMPARE(WriteProfileArchive(saved.filePath(QStringLiteral("none/blue.zip")), pack).isEmpty(), false);
}

void ProfileArchiveTest::soundThatCannotBePackedIsNamedAndMayBeLeftOut()
{
    QTemporaryDir sources;
    const QString changed = sources.filePath(QStringLiteral("changed.wav"));
    QVERIFY(writeBytes(changed, QByteArrayLiteral("other bytes")));
    const int hum = Sound::SlotIndex(1, Sound::SlotKind::Hum, 1);
    const int clash = Sound::SlotIndex(1, Sound::SlotKind::Clash, 1);
    const int swing = Sound::SlotIndex(2, Sound::SlotKind::Swing, 1);
    QList<Sound::JournalEntry> journal{Known(hum, QStringLiteral("gone.wav"), TONE_SUM),
                                       Known(clash, QStringLiteral("changed.wav"), TONE_SUM),
                                       Known(swing, QStringLiteral("old.wav"), TONE_SUM)};
    journal[0].path = QStringLiteral("/nowhere/gone.wav");
    journal[1].path = changed;
    journal[2].path.clear(); // kept before paths were recorded
    const BoardProfile profile = ProfileFromBoard(AllOnes(), journal);

    const ProfilePack pack = PackProfile(profile, journal);
    QCOMPARE(pack.unavailable.keys(), (QList<int>{hum, clash, swing}));
    QCOMPARE(pack.unavailable.value(hum),
             QStringLiteral("banks.1.slots.hum: the file /nowhere/gone.wav cannot be read (No such file or directory)."));
    QCOMPARE(pack.unavailable.value(clash),
             QStringLiteral("banks.1.slots.clash1: the file %1 is no longer the sound that was uploaded.").arg(changed));
    QCOMPARE(pack.unavailable.value(swing), QStringLiteral("banks.2.slots.swing1: the journal does not say where "
                                                           "old.wav came from; upload it again."));

    const ProfilePack without = PackProfile(profile, journal, {hum, clash, swing});
    QVERIFY(without.unavailable.isEmpty());
    QVERIFY(!without.profile.bank(1));
    QVERIFY(!without.profile.bank(2));
    QCOMPARE(SlotOfEntry(QStringLiteral("banks.2.slots.swing1")), swing);
    QCOMPARE(SlotOfEntry(QStringLiteral("banks.4.slots.swing1")), -1);
}

void ProfileArchiveTest::hostileArchiveIsRefusedWhole_data()
{
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<QString>("refusal");
    const QByteArray hum = manifestWithHum(QStringLiteral("sounds/hum.wav"));
    QTest::newRow("climbs out") << zipOf({{"profile.json", hum, {}}, {"../hum.wav", TONE, {}}})
                                << QStringLiteral("The archive names a file \"../hum.wav\" outside itself.");
    QTest::newRow("absolute") << zipOf({{"/tmp/hum.wav", TONE, {}}, {"profile.json", hum, {}}})
                              << QStringLiteral("The archive names a file \"/tmp/hum.wav\" outside itself.");
    QTest::newRow("link") << zipOf({{"profile.json", hum, {}}, {"sounds/hum.wav", {}, "/etc/passwd"}})
                          << QStringLiteral("sounds/hum.wav is not a plain file.");
    QTest::newRow("twice") << zipOf({{"profile.json", hum, {}}, {"profile.json", hum, {}}})
                           << QStringLiteral("The archive holds profile.json twice.");
    QTest::newRow("no manifest") << zipOf({{"sounds/hum.wav", TONE, {}}})
                                 << QStringLiteral("The archive holds no profile.json: it is not a profile.");
    QTest::newRow("sound outside") << zipOf({{"profile.json", manifestWithHum(QStringLiteral("../hum.wav")), {}}})
                                   << QStringLiteral("profile.json: banks.1.slots.hum.file: ../hum.wav is not in "
                                                     "the archive.");
    QTest::newRow("sound missing") << zipOf({{"profile.json", hum, {}}})
                                   << QStringLiteral("profile.json: banks.1.slots.hum.file: sounds/hum.wav is not in "
                                                     "the archive.");
    QTest::newRow("bad manifest") << zipOf({{"profile.json", "{\"format\": 1}", {}}})
                                  << QStringLiteral("profile.json: ");
    QTest::newRow("cut short") << zipOf({{"profile.json", hum, {}}, {"sounds/hum.wav", TONE, {}}}).left(40)
                               << QStringLiteral("The archive is damaged");
}

void ProfileArchiveTest::hostileArchiveIsRefusedWhole()
{
    QFETCH(QByteArray, archive);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hostile.zip"));
    QVERIFY(writeBytes(path, archive));
    const BoardProfileRead read = ReadBoardProfileFile(path);
    QVERIFY(!read.profile);
    QVERIFY2(read.error.startsWith(path + QStringLiteral(": ") + refusal), qPrintable(read.error));
    QVERIFY(!QFileInfo::exists(QDir::temp().filePath(QStringLiteral("hum.wav"))));
}

QTEST_GUILESS_MAIN(ProfileArchiveTest)
#include "tst_profile_archive.moc"

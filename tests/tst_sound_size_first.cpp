// A sound file's fit is judged from its header and its length before its
// samples are read: sparse files whose headers promise far more than any slot
// takes are refused with the usual messages, and a counting device shows that
// only the header was read.
#include "SoundFiles.h"

#include "sound/SoundUpload.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sndfile.h>

using namespace Sound;

namespace {

// A file read through a count of the bytes taken from it.
class CountingFile : public QIODevice {
public:
    explicit CountingFile(const QString& path)
        : m_file(path)
    {
    }
    bool open(OpenMode mode) override { return m_file.open(mode) && QIODevice::open(mode); }
    qint64 size() const override { return m_file.size(); }
    bool seek(qint64 pos) override { return QIODevice::seek(pos) && m_file.seek(pos); }
    qint64 bytesRead = 0;

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 got = m_file.read(data, maxSize);
        bytesRead += std::max<qint64>(0, got);
        return got;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QFile m_file;
};

// 1.5 GB: 44.1 kHz stereo 16-bit, 8503 s; and the board's own format, 9.4 hours.
constexpr qint64 HUGE_FILE = 1500000000;
const char* const HUGE_STEREO =
    "52494646 f82e6859 57415645 666d7420 10000000 0100 0200 44ac0000 10b10200 0400 "
    "1000 64617461 d42e6859";
const char* const HUGE_BOARD =
    "52494646 f82e6859 57415645 666d7420 10000000 0100 0100 22560000 44ac0000 0200 "
    "1000 64617461 d42e6859";
// Ten seconds of 44.1 kHz stereo 16-bit: 441000 bytes for the board.
constexpr qint64 TEN_SECONDS = 1764044;
const char* const TEN_SECONDS_STEREO =
    "52494646 c4ea1a00 57415645 666d7420 10000000 0100 0200 44ac0000 10b10200 "
    "0400 1000 64617461 a0ea1a00";
// FLAC whose stream information promises an hour of 44.1 kHz stereo 16-bit, and no audio after it.
const char* const FLAC_HOUR = "664c6143 80000022 1000 1000 000000 000000 0ac442f009767c40"
                              "00000000000000000000000000000000";
// Reading a header takes a buffer or two; samples would take a gigabyte.
constexpr qint64 HEADER_READ_LIMIT = 64 * 1024;

const char* const TOO_LONG =
    "The file %1 cannot be read as sound (the sound is longer than 600 s). Nothing was sent.";

const SoundSlot& slot(SlotKind kind)
{
    return SoundSlots()[SlotIndex(1, kind, 1)];
}

} // namespace

class SoundSizeFirstTest : public QObject {
    Q_OBJECT
private slots:
    void refusedFromTheHeaderAlone_data();
    void refusedFromTheHeaderAlone();
    void trimOfferComesFromTheHeader();
    void soundThatFitsIsReadWhole();

private:
    QTemporaryDir dir;
};

void SoundSizeFirstTest::refusedFromTheHeaderAlone_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<qint64>("size"); // the rest is a hole: sparse files cost no disk
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("trim");
    QTest::addColumn<QString>("message"); // %1: the path

    const QString swingSize = "The size of selected file %1 is more than 64 kbytes.  Uploaded deleted.";
    QTest::newRow("1.5 GB stereo WAV") << QByteArray::fromHex(HUGE_STEREO) << HUGE_FILE
                                       << int(SlotKind::Swing) << false << QString(TOO_LONG);
    QTest::newRow("1.5 GB stereo WAV, trim accepted")
        << QByteArray::fromHex(HUGE_STEREO) << HUGE_FILE << int(SlotKind::Hum) << true << QString(TOO_LONG);
    QTest::newRow("1.5 GB board-format WAV")
        << QByteArray::fromHex(HUGE_BOARD) << HUGE_FILE << int(SlotKind::Swing) << false << swingSize;
    QTest::newRow("1.5 GB board-format WAV for a hum")
        << QByteArray::fromHex(HUGE_BOARD) << HUGE_FILE << int(SlotKind::Hum) << false
        << QString("The size of selected file %1 is more than 128 Kbytes.  Uploaded deleted.");
    QTest::newRow("1.5 GB board-format WAV, trim accepted")
        << QByteArray::fromHex(HUGE_BOARD) << HUGE_FILE << int(SlotKind::Swing) << true << QString(TOO_LONG);
    QTest::newRow("ten seconds of stereo WAV")
        << QByteArray::fromHex(TEN_SECONDS_STEREO) << TEN_SECONDS << int(SlotKind::Swing) << false
        << QString("The sound of %1, converted for the board, is 441000 bytes; this slot takes at most 64954 "
                   "bytes. Trim it to fit or choose a shorter sound. Nothing was sent.");
    QTest::newRow("FLAC promising an hour, body cut off")
        << QByteArray::fromHex(FLAC_HOUR) << qint64(0) << int(SlotKind::Swing) << false << QString(TOO_LONG);
    QTest::newRow("FLAC promising an hour, trim accepted")
        << QByteArray::fromHex(FLAC_HOUR) << qint64(0) << int(SlotKind::Swing) << true << QString(TOO_LONG);
}

void SoundSizeFirstTest::refusedFromTheHeaderAlone()
{
    QFETCH(QByteArray, header);
    QFETCH(qint64, size);
    QFETCH(int, kind);
    QFETCH(bool, trim);
    QFETCH(QString, message);
    const QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(header), header.size());
    QVERIFY(size == 0 || file.resize(size));
    file.close();

    CountingFile counted(path);
    QCOMPARE(RefusalFromHead(path, counted, slot(SlotKind(kind)), trim), message.arg(path));
    QVERIFY2(counted.bytesRead < HEADER_READ_LIMIT, qPrintable(QString::number(counted.bytesRead)));

    const FileUpload upload = PrepareSoundFileUpload(path, slot(SlotKind(kind)), "0", "0", trim);
    QVERIFY(!upload.verdict.upload);
    QCOMPARE(upload.verdict.message, message.arg(path));
    QVERIFY(!upload.content); // never read
}

void SoundSizeFirstTest::trimOfferComesFromTheHeader()
{
    const QString path = dir.filePath("ten-seconds.wav");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromHex(TEN_SECONDS_STEREO));
    QVERIFY(file.resize(TEN_SECONDS));
    file.close();
    QCOMPARE(TrimOffer(path, slot(SlotKind::Swing)),
             QString("The sound of %1 is 441000 bytes for the board; the slot takes at most 64954. Trim its "
                     "end, fading out over the last 20 ms, so that it fits?")
                 .arg(path));
    QCOMPARE(TrimOffer(dir.filePath("absent.wav"), slot(SlotKind::Swing)), QString());
}

void SoundSizeFirstTest::soundThatFitsIsReadWhole()
{
    const QString path = dir.filePath("short.flac");
    const QByteArray bytes = WriteSoundFile(path, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 2,
                                            SineSamples(440, 0.5, 44100, 2, 0.1));
    QVERIFY(!bytes.isEmpty());
    const FileUpload upload = PrepareSoundFileUpload(path, slot(SlotKind::Swing), "0", "0");
    QVERIFY2(upload.verdict.upload, qPrintable(upload.verdict.message));
    QCOMPARE(upload.content, std::optional<QByteArray>(bytes));
    QCOMPARE(upload.verdict.upload->stream.size(), 4410);
}

QTEST_GUILESS_MAIN(SoundSizeFirstTest)
#include "tst_sound_size_first.moc"

// Sound files of any format made into the board's stream: the format facts of
// files written by libsndfile itself, a header found by its chunks, literal
// samples for silence, a DC level, mixed channels and a full-scale square, sines
// measured by frequency and level, trimming with a fade, and a board-format file
// whose bytes on the wire stay exactly what they always were.
#include "SoundFiles.h"

#include "sound/BoardFormat.h"
#include "sound/SoundUpload.h"

#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <sndfile.h>

using namespace Sound;

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

QByteArray repeat(const char* bytes, int times)
{
    return hex(bytes).repeated(times);
}

const SoundSlot& swing1()
{
    return SoundSlots()[SlotIndex(1, SlotKind::Swing, 1)];
}

// A board-format file: 44-byte header, samples 0x0000 0x0001 0x7FFF 0x8000 0xFFFF 0x1234.
const char* CANONICAL = "52494646 30000000 57415645 666d7420 10000000 0100 0100 22560000 44ac0000 0200 1000"
                        "64617461 0c000000 0000 0100 ff7f 0080 ffff 3412";

} // namespace

class AudioConvertTest : public QObject {
    Q_OBJECT

private slots:
    void formatFacts_data();
    void formatFacts();
    void headerIsFoundByItsChunks();
    void literalSamples_data();
    void literalSamples();
    void sineKeepsFrequencyAndLevel_data();
    void sineKeepsFrequencyAndLevel();
    void boardFormatBytesOnTheWireUnchanged_data();
    void boardFormatBytesOnTheWireUnchanged();
    void previewFileIsTheBoardFormat();
    void tooLongIsRefusedOrTrimmedWithFade();
    void unreadableFileIsAMessage();

private:
    QTemporaryDir dir;
};

void AudioConvertTest::formatFacts_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QString>("conversion");
    QTest::addColumn<bool>("lossless");
    QTest::newRow("WAV 24-bit stereo") << (SF_FORMAT_WAV | SF_FORMAT_PCM_24) << 44100 << 2 << "WAV"
                                       << "44100 Hz stereo 24-bit -> 22050 Hz mono 16-bit" << true;
    QTest::newRow("WAV extensible, float, 6 channels")
        << (SF_FORMAT_WAVEX | SF_FORMAT_FLOAT) << 48000 << 6 << "WAV"
        << "48000 Hz 6 channels 32-bit float -> 22050 Hz mono 16-bit" << true;
    QTest::newRow("WAV 8-bit unsigned") << (SF_FORMAT_WAV | SF_FORMAT_PCM_U8) << 11025 << 1 << "WAV"
                                        << "11025 Hz mono 8-bit -> 22050 Hz mono 16-bit" << true;
    QTest::newRow("FLAC 16-bit at the board's rate")
        << (SF_FORMAT_FLAC | SF_FORMAT_PCM_16) << 22050 << 1 << "FLAC"
        << "" << true;
    QTest::newRow("OGG Vorbis") << (SF_FORMAT_OGG | SF_FORMAT_VORBIS) << 44100 << 2 << "OGG"
                                << "44100 Hz stereo Vorbis -> 22050 Hz mono 16-bit" << false;
    QTest::newRow("MP3") << (SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III) << 44100 << 1 << "MP3"
                         << "44100 Hz mono MP3 -> 22050 Hz mono 16-bit" << false;
}

void AudioConvertTest::formatFacts()
{
    QFETCH(int, format);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(bool, lossless);
    if (!CanWriteSound(format, rate, channels))
        QSKIP("this libsndfile cannot write the format");
    const QByteArray file = WriteSoundFile(dir.filePath("facts"), format, rate, channels,
                                           SineSamples(440, 0.5, rate, channels, 0.5));
    const AudioRead read = ReadAudio(file);
    QVERIFY2(read.value, qPrintable(read.message));
    QTEST(read.value->format.container, "container");
    QCOMPARE(read.value->format.sampleRate, rate);
    QCOMPARE(read.value->format.channels, channels);
    if (lossless)
        QCOMPARE(read.value->format.frames, qint64(rate / 2));
    QTEST(ConversionText(read.value->format), "conversion");
    QVERIFY(!IsBoardFormat(file));
}

void AudioConvertTest::headerIsFoundByItsChunks()
{
    // A LIST chunk between "fmt " and "data": the samples start at byte 56, not 44.
    const QByteArray file = hex("52494646 34000000 57415645 666d7420 10000000 0100 0100 22560000 44ac0000 "
                                "0200 1000 4c495354 04000000 494e464f 64617461 04000000 3412 0080");
    QVERIFY(!IsBoardFormat(file));
    const UploadVerdict verdict = PrepareSoundUpload("list.wav", file, swing1(), "0", "0");
    QVERIFY2(verdict.upload, qPrintable(verdict.message));
    QCOMPARE(verdict.upload->stream.toHex(' '), hex("3492 0000").toHex(' '));
}

void AudioConvertTest::literalSamples_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<QList<double>>("samples");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<int>("clipped");
    const QList<double> dc(8, 0.25);
    QTest::newRow("silence, 44100 Hz stereo 24-bit, resampled")
        << (SF_FORMAT_WAV | SF_FORMAT_PCM_24) << 44100 << 2 << QList<double>(40, 0.0) << repeat("0080", 10)
        << 0;
    QTest::newRow("DC level, 22050 Hz stereo 24-bit")
        << (SF_FORMAT_WAV | SF_FORMAT_PCM_24) << 22050 << 2 << dc << repeat("00a0", 4) << 0;
    QTest::newRow("channels averaged, 22050 Hz stereo 16-bit")
        << (SF_FORMAT_WAV | SF_FORMAT_PCM_16) << 22050 << 2 << QList<double>{0.25, 0.125, -0.5, 0.0}
        << hex("0098 0060") << 0;
    QTest::newRow("full-scale square, 22050 Hz mono 24-bit")
        << (SF_FORMAT_WAV | SF_FORMAT_PCM_24) << 22050 << 1 << QList<double>{1, 1, -1, -1, 1, 1, -1, -1}
        << repeat("feff feff 0000 0000", 2) << 0;
    QTest::newRow("full-scale square, 22050 Hz mono float")
        << (SF_FORMAT_WAV | SF_FORMAT_FLOAT) << 22050 << 1 << QList<double>{1, -1, 1, -1}
        << repeat("feff 0000", 2) << 0;
    QTest::newRow("beyond full scale is clipped and counted")
        << (SF_FORMAT_WAV | SF_FORMAT_FLOAT) << 22050 << 1 << QList<double>{1.5, -1.5, 0.5}
        << hex("feff 0000 00c0") << 2;
}

void AudioConvertTest::literalSamples()
{
    QFETCH(int, format);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(QList<double>, samples);
    QFETCH(QByteArray, sent);
    const QByteArray file =
        WriteSoundFile(dir.filePath("literal"), format, rate, channels, {samples.begin(), samples.end()});
    const BoardFileRead read = ReadBoardFile(file);
    QVERIFY2(read.value, qPrintable(read.message));
    QTEST(read.value->clipped, "clipped");
    const UploadVerdict verdict = PrepareSoundUpload("literal.wav", file, swing1(), "0", "0");
    QVERIFY2(verdict.upload, qPrintable(verdict.message));
    QCOMPARE(verdict.upload->stream.toHex(' '), sent.toHex(' '));
}

void AudioConvertTest::sineKeepsFrequencyAndLevel_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<double>("hz");
    QTest::addColumn<double>("rms"); // expected, in 16-bit steps
    // A 0.5 peak sine has an RMS of 0.5 / sqrt(2) of full scale: 11585 steps.
    QTest::newRow("1000 Hz, 44100 Hz stereo 24-bit WAV")
        << (SF_FORMAT_WAV | SF_FORMAT_PCM_24) << 44100 << 2 << 1000.0 << 11585.2;
    QTest::newRow("3000 Hz, 48000 Hz mono FLAC")
        << (SF_FORMAT_FLAC | SF_FORMAT_PCM_16) << 48000 << 1 << 3000.0 << 11585.2;
    QTest::newRow("440 Hz, 96000 Hz stereo float, extensible")
        << (SF_FORMAT_WAVEX | SF_FORMAT_FLOAT) << 96000 << 2 << 440.0 << 11585.2;
    QTest::newRow("15000 Hz, above the board's band, is filtered out")
        << (SF_FORMAT_WAV | SF_FORMAT_PCM_24) << 44100 << 2 << 15000.0 << 0.0;
}

void AudioConvertTest::sineKeepsFrequencyAndLevel()
{
    QFETCH(int, format);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(double, hz);
    QFETCH(double, rms);
    const QByteArray file = WriteSoundFile(dir.filePath("sine"), format, rate, channels,
                                           SineSamples(hz, 0.5, rate, channels, 1.0));
    const BoardFileRead read = ReadBoardFile(file);
    QVERIFY2(read.value, qPrintable(read.message));
    const std::vector<std::int16_t>& s = read.value->samples;
    QCOMPARE(s.size(), size_t(22050));
    QCOMPARE(read.value->clipped, 0);
    // The middle half second, away from the resampler's edges.
    double sumSquares = 0;
    double firstCrossing = -1;
    double lastCrossing = -1;
    int crossings = 0;
    for (size_t i = 5512; i < 16537; ++i) {
        sumSquares += double(s[i]) * s[i];
        if (s[i - 1] < 0 && s[i] >= 0) {
            const double at = double(i - 1) + double(-s[i - 1]) / double(s[i] - s[i - 1]);
            firstCrossing = firstCrossing < 0 ? at : firstCrossing;
            lastCrossing = at;
            ++crossings;
        }
    }
    const double measuredRms = std::sqrt(sumSquares / 11025);
    if (rms == 0) {
        QVERIFY2(measuredRms < 3, qPrintable(QString::number(measuredRms)));
        return;
    }
    QVERIFY2(std::abs(measuredRms - rms) < rms * 0.005, qPrintable(QString::number(measuredRms)));
    const double measuredHz = (crossings - 1) * 22050.0 / (lastCrossing - firstCrossing);
    QVERIFY2(std::abs(measuredHz - hz) < 0.5, qPrintable(QString::number(measuredHz)));
}

void AudioConvertTest::boardFormatBytesOnTheWireUnchanged_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<int>("fileUnits");
    QTest::newRow("whole file") << hex(CANONICAL) << "0"
                                << "0" << hex("0080 0180 feff 0000 ff7f 3492") << 28;
    QTest::newRow("one sample skipped at each end") << hex(CANONICAL) << "1"
                                                    << "1" << hex("0180 feff 0000 ff7f") << 28;
    QByteArray lying = hex(CANONICAL);
    lying.replace(40, 4, hex("ffffffff")); // a data length no reader would trust
    QTest::newRow("data length wrong, sent as before") << lying << "0"
                                                       << "0" << hex("0080 0180 feff 0000 ff7f 3492") << 28;
}

void AudioConvertTest::boardFormatBytesOnTheWireUnchanged()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(QByteArray, sent);
    QVERIFY(IsBoardFormat(file));
    const UploadVerdict verdict = PrepareSoundUpload("board.wav", file, swing1(), begin, end);
    QVERIFY2(verdict.upload, qPrintable(verdict.message));
    QCOMPARE(verdict.upload->stream.toHex(' '), sent.toHex(' '));
    QTEST(verdict.upload->fileUnits, "fileUnits");
    QCOMPARE(ConversionText(ReadSoundFacts(file).value->format), QString());
}

void AudioConvertTest::previewFileIsTheBoardFormat()
{
    QCOMPARE(BoardWavBytes({0, 1, 32767, -32768, -1, 0x1234}).toHex(' '), hex(CANONICAL).toHex(' '));
}

void AudioConvertTest::tooLongIsRefusedOrTrimmedWithFade()
{
    // 33000 samples of a DC level at 24 bits: 500 more than a swing slot takes.
    const QByteArray file = WriteSoundFile(dir.filePath("long"), SF_FORMAT_WAV | SF_FORMAT_PCM_24, 22050, 1,
                                           std::vector<double>(33000, 0.25));
    const UploadVerdict refused = PrepareSoundUpload("long.wav", file, swing1(), "0", "0");
    QVERIFY(!refused.upload);
    QCOMPARE(refused.message,
             QString("The sound of long.wav, converted for the board, is 66000 bytes; this slot "
                     "takes at most 64954 bytes. Trim it to fit or choose a shorter sound. "
                     "Nothing was sent."));
    const UploadVerdict trimmed = PrepareSoundUpload("long.wav", file, swing1(), "0", "0", true);
    QVERIFY2(trimmed.upload, qPrintable(trimmed.message));
    const QByteArray& s = trimmed.upload->stream;
    QCOMPARE(s.size(), 64954);
    // 8192 steps is 0xA000 on the wire; the 441 samples of the last 20 ms fall
    // linearly to silence (0x8000), half way at sample 220 of them.
    QCOMPARE(s.mid(2 * (32477 - 442), 4).toHex(' '), hex("00a0 00a0").toHex(' '));
    QCOMPARE(s.mid(2 * (32477 - 441 + 220), 2).toHex(' '), hex("0090").toHex(' '));
    QCOMPARE(s.right(2).toHex(' '), hex("0080").toHex(' '));

    const QByteArray hum = WriteSoundFile(dir.filePath("hum"), SF_FORMAT_WAV | SF_FORMAT_PCM_24, 22050, 1,
                                          std::vector<double>(65478, 0.25));
    const UploadVerdict humTrimmed =
        PrepareSoundUpload("hum.wav", hum, SoundSlots()[SlotIndex(2, SlotKind::Hum, 1)], "0", "0", true);
    QVERIFY2(humTrimmed.upload, qPrintable(humTrimmed.message));
    QCOMPARE(humTrimmed.upload->stream.size(), 130954);
}

void AudioConvertTest::unreadableFileIsAMessage()
{
    const UploadVerdict verdict =
        PrepareSoundUpload("noise.wav", QByteArray("RIFF\x10\0\0\0WAVEjunk", 16), swing1(), "0", "0");
    QVERIFY(!verdict.upload);
    QVERIFY2(verdict.message.startsWith("The file noise.wav cannot be read as sound ("),
             qPrintable(verdict.message));
    QVERIFY(verdict.message.endsWith("). Nothing was sent."));
    QVERIFY(!ReadSoundFacts(QByteArray()).value);

    // A rate of 1 Hz would make a few bytes into hours at the board's rate.
    QByteArray slow = hex(CANONICAL);
    slow.replace(24, 4, hex("01000000"));
    const UploadVerdict refused = PrepareSoundUpload("slow.wav", slow, swing1(), "0", "0");
    QCOMPARE(refused.message, QString("The file slow.wav cannot be read as sound (its sample rate of 1 Hz is "
                                      "outside 1000 to 768000 Hz). Nothing was sent."));
}

QTEST_GUILESS_MAIN(AudioConvertTest)
#include "tst_audio_convert.moc"

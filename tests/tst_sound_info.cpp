// What the sound-file browser shows of the selected file: header fields and
// size flags, what the board gets, the waveform and the sample cells.
// Simulated time, recorded dialogs, a fake player.
#include "BrowserWindowTest.h"
#include "Controls.h"
#include "SoundFiles.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "comm/ui/TrafficMonitor.h"
#include "sound/WavInfo.h"
#include "sound/Waveform.h"

#include <QChart>
#include <QChartView>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QSignalSpy>
#include <QTableWidget>
#include <QValueAxis>
#include <sndfile.h>

using namespace BrowserFiles;

class SoundInfoTest : public QObject, private BrowserWindowTest {
    Q_OBJECT
private slots:
    void init() { startWindows(); }
    void cleanup() { stopWindows(); }

    void headerFields_data();
    void headerFields();
    void sizeFlags_data();
    void sizeFlags();
    void sampleCellTexts_data();
    void sampleCellTexts();
    void selectingAFileShowsItsInfo_data();
    void selectingAFileShowsItsInfo();
    void infoTellsWhatTheBoardGets_data();
    void infoTellsWhatTheBoardGets();
    void waveformIsOneReplaceOnAFixedAxis();
    void monitorListsTheFirst499SamplesInRowsOf32();
};

// ---- Pure parts ------------------------------------------------------------

void SoundInfoTest::headerFields_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QList<int>>("fields"); // format, channels, rate, bits

    QTest::newRow("canonical 22050 Hz mono") << wavBytes(22050) << true << QList<int>{1, 1, 22050, 16};
    QTest::newRow("44100 Hz stereo 8 bit") << wavBytes(44100, {}, 2, 8) << true << QList<int>{1, 2, 44100, 8};
    QTest::newRow("96000 Hz shows its low 16 bits") << wavBytes(96000) << true << QList<int>{1, 1, 30464, 16};
    QTest::newRow("ends just after the bits field")
        << wavBytes(22050).left(35) << true << QList<int>{1, 1, 22050, 16};
    QTest::newRow("ends inside the bits field") << wavBytes(22050).left(34) << false << QList<int>{};
    QTest::newRow("empty file") << QByteArray() << false << QList<int>{};
    QTest::newRow("text file") << QByteArray("just some notes\n") << false << QList<int>{};
}

void SoundInfoTest::headerFields()
{
    QFETCH(QByteArray, head);
    QFETCH(bool, present);
    QFETCH(QList<int>, fields);
    // A copy with no spare capacity, so that reading past the end would be caught.
    const QByteArray exact(head.constData(), head.size());
    const std::optional<Sound::WavHeaderInfo> info = Sound::ReadWavInfo(exact);
    QCOMPARE(info.has_value(), present);
    if (present)
        QCOMPARE((QList<int>{info->format, info->channels, info->sampleRate, info->bitsPerSample}), fields);
}

void SoundInfoTest::sizeFlags_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("fitsSlot");
    QTest::addColumn<bool>("fitsHum");
    QTest::newRow("64999 bytes") << qint64(64999) << true << true;
    QTest::newRow("65000 bytes") << qint64(65000) << false << true;
    QTest::newRow("130999 bytes") << qint64(130999) << false << true;
    QTest::newRow("131000 bytes") << qint64(131000) << false << false;
    QTest::newRow("unreadable file") << qint64(-1) << true << true;
}

void SoundInfoTest::sizeFlags()
{
    QFETCH(qint64, size);
    const Sound::SizeFlags flags = Sound::SizeFlagsFor(size);
    QTEST(flags.fitsSlot, "fitsSlot");
    QTEST(flags.fitsHum, "fitsHum");
}

void SoundInfoTest::sampleCellTexts_data()
{
    QTest::addColumn<QByteArray>("sampleBytes"); // after the header, little-endian
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("one sample 0x1234") << QByteArray("\x34\x12", 2) << QStringList{"0x9234"};
    QTest::newRow("silence, full scale, lowest")
        << QByteArray("\x00\x00\xff\x7f\x00\x80", 6) << QStringList{"0x8000", "0xFFFF", "0x0000"};
    QTest::newRow("minus one stays 0x7FFF") << QByteArray("\xff\xff", 2) << QStringList{"0x7FFF"};
    QTest::newRow("trailing odd byte is no sample") << QByteArray("\xab\x00\x01", 3) << QStringList{"0x80AB"};
    QTest::newRow("header only") << QByteArray() << QStringList{};
}

void SoundInfoTest::sampleCellTexts()
{
    QFETCH(QByteArray, sampleBytes);
    const QByteArray file = wavBytes(22050) + sampleBytes;
    QStringList cells;
    for (int i = 0; i < Sound::SampleCellCount(file); ++i)
        cells.append(Sound::SampleCellText(Sound::OffsetSample(file, i)));
    QTEST(cells, "cells");
}

void SoundInfoTest::selectingAFileShowsItsInfo_data()
{
    QTest::addColumn<QByteArray>("bytes");   // empty: the file vanishes before it is selected
    QTest::addColumn<QStringList>("values"); // PCM, Mono, Sample rate, Bit / Sample, Size
    QTest::addColumn<bool>("sizeFile");
    QTest::addColumn<bool>("sizeHum");
    QTest::addColumn<bool>("red");

    QTest::addColumn<QString>("played"); // the start of the file name the preview opens

    const QString file = "Kylo Hum.wav";
    const QString converted = "tavrin-preview-";
    QTest::newRow("64999 bytes") << wavOfSize(64999) << QStringList{"1", "1", "22050", "16", "64999"} << true
                                 << true << false << file;
    QTest::newRow("65000 bytes") << wavOfSize(65000) << QStringList{"1", "1", "22050", "16", "65000"} << false
                                 << true << true << file;
    QTest::newRow("131000 bytes") << wavOfSize(131000) << QStringList{"1", "1", "22050", "16", "131000"}
                                  << false << false << true << file;
    QTest::newRow("96000 Hz") << wavBytes(96000, {1, 2}) << QStringList{"1", "1", "30464", "16", "48"} << true
                              << true << false << converted;
    QTest::newRow("too short for a header")
        << QByteArray("RIFF", 4) << QStringList{"----", "----", "----", "----", "4"} << true << true << false
        << file;
    QTest::newRow("vanished") << QByteArray() << QStringList{"----", "----", "----", "----", "-1"} << true
                              << true << false << file;
}

void SoundInfoTest::selectingAFileShowsItsInfo()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, values);
    writeFile(bank1() + "/Kylo Hum.wav", bytes.isEmpty() ? wavBytes(22050) : bytes);
    setupWindow->show();
    QCOMPARE(control<ValueLabel>(setupWindow, "soundFileName")->text(), QString("................."));
    QCOMPARE(control<ValueLabel>(setupWindow, "fileSize")->text(), QString("----"));
    if (bytes.isEmpty())
        QFile::remove(bank1() + "/Kylo Hum.wav");
    playerCalls.clear();

    select("Kylo Hum.wav");
    QCOMPARE(control<ValueLabel>(setupWindow, "soundFileName")->text(), QString("Kylo Hum.wav"));
    const QList<ValueLabel*> shown = {
        control<ValueLabel>(setupWindow, "formatCode"), control<ValueLabel>(setupWindow, "channelCount"),
        control<ValueLabel>(setupWindow, "sampleRate"), control<ValueLabel>(setupWindow, "bitsPerSample"),
        control<ValueLabel>(setupWindow, "fileSize")};
    QStringList texts;
    for (ValueLabel* label : shown) {
        texts.append(label->text());
        QCOMPARE(label->accessibleName(),
                 label->caption() + ": " + label->text()); // caption and value spoken
    }
    QCOMPARE(texts, values);
    QTEST(setupWindow->sounds()->fileInfo()->fitsOneSectorSlot(), "sizeFile");
    QTEST(setupWindow->sounds()->fileInfo()->fitsHumSlot(), "sizeHum");
    QTEST(control<ValueLabel>(setupWindow, "fileSize")->palette().color(QPalette::WindowText) ==
              QColor(Qt::red),
          "red");
    QFETCH(QString, played);
    QCOMPARE(playerCalls.size(), 3);
    QVERIFY2(playerCalls[1].startsWith("open " + played), qPrintable(playerCalls[1]));
    QCOMPARE(playerCalls[2], "play");
}

void SoundInfoTest::infoTellsWhatTheBoardGets_data()
{
    QTest::addColumn<int>("format"); // libsndfile's; 0: a board-format file of 64999 bytes
    QTest::addColumn<double>("level");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QStringList>("texts"); // format, conversion, size, clipping
    QTest::addColumn<bool>("red");
    QTest::addColumn<int>("points"); // of the waveform: the converted samples

    const QString conversion = "44100 Hz stereo 24-bit -> 22050 Hz mono 16-bit";
    QTest::newRow("board format, sent as it is")
        << 0 << 0.0 << 0.0
        << QStringList{"WAV 22050 Hz mono 16-bit", "Sent as it is", "64954 bytes for the board", ""} << false
        << 32477;
    QTest::newRow("stereo 24-bit, half a second")
        << (SF_FORMAT_WAV | SF_FORMAT_PCM_24) << 0.5 << 0.5
        << QStringList{"WAV 44100 Hz stereo 24-bit", conversion, "22050 bytes for the board", ""} << false
        << 11025;
    QTest::newRow("two seconds: only a hum slot takes it")
        << (SF_FORMAT_WAV | SF_FORMAT_PCM_24) << 0.5 << 2.0
        << QStringList{"WAV 44100 Hz stereo 24-bit", conversion,
                       "88200 bytes for the board: only a hum slot takes it", ""}
        << true << 44100;
}

void SoundInfoTest::infoTellsWhatTheBoardGets()
{
    QFETCH(int, format);
    QFETCH(double, level);
    QFETCH(double, seconds);
    QFETCH(QStringList, texts);
    const QString path = bank1() + "/font.wav";
    if (format == 0)
        writeFile(path, wavOfSize(64999));
    else
        QVERIFY(
            !WriteSoundFile(path, format, 44100, 2, SineSamples(440, level, 44100, 2, seconds)).isEmpty());
    setupWindow->show();
    select("font.wav");
    const QList<ValueLabel*> shown = {
        control<ValueLabel>(setupWindow, "soundFormat"), control<ValueLabel>(setupWindow, "soundConversion"),
        control<ValueLabel>(setupWindow, "boardSize"), control<ValueLabel>(setupWindow, "clipNote")};
    QStringList actual;
    for (const ValueLabel* label : shown)
        actual.append(label->text());
    QCOMPARE(actual, texts);
    QTEST(control<ValueLabel>(setupWindow, "boardSize")->palette().color(QPalette::WindowText) ==
              QColor(Qt::red),
          "red");
    QTEST(int(setupWindow->sounds()->browser()->waveformSeries().first()->count()), "points");
}

void SoundInfoTest::waveformIsOneReplaceOnAFixedAxis()
{
    writeFile(bank1() + "/hum.wav", wavBytes(22050, {0, -1, 32767, -32768, 0x1234}));
    setupWindow->show();
    QLineSeries* waveform = setupWindow->sounds()->browser()->waveformSeries().first();
    QSignalSpy replaced(waveform, &QXYSeries::pointsReplaced);
    QSignalSpy added(waveform, &QXYSeries::pointAdded);
    select("hum.wav");
    QCOMPARE(replaced.count(), 1);
    QCOMPARE(added.count(), 0);
    QCOMPARE(waveform->points(), (QList<QPointF>{{1, 32768}, {2, 32767}, {3, 65535}, {4, 0}, {5, 37428}}));
    const auto* values = static_cast<QValueAxis*>(
        control<QChartView>(setupWindow, "waveformChart")->chart()->axes(Qt::Vertical).first());
    const auto* samples = static_cast<QValueAxis*>(
        control<QChartView>(setupWindow, "waveformChart")->chart()->axes(Qt::Horizontal).first());
    QCOMPARE(values->min(), 0.0);
    QCOMPARE(values->max(), 70000.0);
    QCOMPARE(samples->min(), 1.0);
    QCOMPARE(samples->max(), 5.0);
}

void SoundInfoTest::monitorListsTheFirst499SamplesInRowsOf32()
{
    QList<qint16> ramp;
    for (int i = 0; i < 600; ++i)
        ramp.append(static_cast<qint16>(i));
    writeFile(bank1() + "/ramp.wav", wavBytes(22050, ramp));
    writeFile(bank1() + "/short.wav", wavBytes(22050, {-2}));
    setupWindow->show();
    select("ramp.wav");
    const QTableWidget* grid = trafficMonitor->sampleGrid;
    const struct {
        int column;
        int row;
        const char* text;
    } cells[] = {{0, 0, ""},         {0, 1, "0x8000"},   {31, 1, "0x801F"}, {0, 2, "0x8020"},
                 {31, 15, "0x81DF"}, {18, 16, "0x81F2"}, {19, 16, ""},      {0, 17, ""}};
    for (const auto& cell : cells)
        QCOMPARE(CellText(grid, cell.column, cell.row), QString(cell.text));

    // A shorter file leaves none of the longer one's cells behind.
    select("short.wav");
    QCOMPARE(CellText(grid, 0, 1), QString("0x7FFE"));
    QCOMPARE(CellText(grid, 1, 1), QString());
    QCOMPARE(CellText(grid, 18, 16), QString());
}

TAVRIN_TEST_MAIN(SoundInfoTest)
#include "common/ui/ValueLabel.h"
#include "tst_sound_info.moc"

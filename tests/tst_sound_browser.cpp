// The sound-file browser: header fields and size flags of the selected file, its
// waveform and sample cells, the starting folder, the preview, and the base sound
// set the build synthesises. Simulated time, recorded dialogs, a fake player
// unless the real one is under test.
#include "RecordingPlayer.h"
#include "SetupWindowFixture.h"
#include "SoundFiles.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "comm/ui/TrafficMonitor.h"
#include "common/ui/Media.h"
#include "sound/WavInfo.h"
#include "sound/Waveform.h"

#include <QAudioDevice>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTreeView>
#include <QValueAxis>
#include <sndfile.h>

namespace {

// A canonical header (format, channels, rate, bits as given) and the samples.
QByteArray wavBytes(int rate, const QList<qint16>& samples = {}, int channels = 1, int bits = 16)
{
    QByteArray out("RIFF\0\0\0\0WAVEfmt \x10\0\0\0", 20);
    const auto le = [&out](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.append(static_cast<char>(value >> (8 * i) & 0xFF));
    };
    le(1, 2);
    le(channels, 2);
    le(rate, 4);
    le(rate * 2, 4);
    le(2, 2);
    le(bits, 2);
    out.append("data", 4);
    le(samples.size() * 2, 4);
    for (qint16 s : samples)
        le(static_cast<quint16>(s), 2);
    return out;
}

// A file of exactly `size` bytes that starts with a canonical header.
QByteArray wavOfSize(int size)
{
    QByteArray bytes = wavBytes(22050);
    bytes.resize(size, '\0');
    return bytes;
}

} // namespace

class SoundBrowserTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }

    void headerFields_data();
    void headerFields();
    void sizeFlags_data();
    void sizeFlags();
    void sampleCellTexts_data();
    void sampleCellTexts();

    void browserShowsBank1EachTimeTheWindowIsShown();
    void treeOpensExpandedAtTheListedFolder();
    void listFollowsFilesCopiedInAndRemoved();
    void selectingAFileShowsItsInfo_data();
    void selectingAFileShowsItsInfo();
    void infoTellsWhatTheBoardGets_data();
    void infoTellsWhatTheBoardGets();
    void fileListShowsEveryReadableFormat_data();
    void fileListShowsEveryReadableFormat();
    void waveformIsOneReplaceOnAFixedAxis();
    void monitorListsTheFirst499SamplesInRowsOf32();
    void previewWithTheRealPlayerRaisesNoDialog();
    void baseSoundSetFitsItsSlots();

private:
    QString bank1() const { return f->folder.path() + "/Fonts/bank1"; }
    void writeFile(const QString& path, const QByteArray& bytes) const;
    void select(const QString& name) const;
    static QStringList listed();

    std::unique_ptr<SetupWindowFixture> f;
    QStringList playerCalls;
};

void SoundBrowserTest::init()
{
    f = std::make_unique<SetupWindowFixture>();
    playerCalls.clear();
    setupWindow->sounds()->browser()->setPreviewPlayer(std::make_unique<RecordingPlayer>(&playerCalls));
    QDir().mkpath(bank1());
}

void SoundBrowserTest::writeFile(const QString& path, const QByteArray& bytes) const
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void SoundBrowserTest::select(const QString& name) const
{
    const QList<QListWidgetItem*> found = setupWindow->sounds()->browser()->soundFileList->findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    setupWindow->sounds()->browser()->soundFileList->setCurrentItem(found.first());
}

QStringList SoundBrowserTest::listed()
{
    QStringList names;
    for (int i = 0; i < setupWindow->sounds()->browser()->soundFileList->count(); ++i)
        names.append(setupWindow->sounds()->browser()->soundFileList->item(i)->text());
    return names;
}

// ---- Pure parts ------------------------------------------------------------

void SoundBrowserTest::headerFields_data()
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

void SoundBrowserTest::headerFields()
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

void SoundBrowserTest::sizeFlags_data()
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

void SoundBrowserTest::sizeFlags()
{
    QFETCH(qint64, size);
    const Sound::SizeFlags flags = Sound::SizeFlagsFor(size);
    QTEST(flags.fitsSlot, "fitsSlot");
    QTEST(flags.fitsHum, "fitsHum");
}

void SoundBrowserTest::sampleCellTexts_data()
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

void SoundBrowserTest::sampleCellTexts()
{
    QFETCH(QByteArray, sampleBytes);
    const QByteArray file = wavBytes(22050) + sampleBytes;
    QStringList cells;
    for (int i = 0; i < Sound::SampleCellCount(file); ++i)
        cells.append(Sound::SampleCellText(Sound::OffsetSample(file, i)));
    QTEST(cells, "cells");
}

// ---- The browser in the window ---------------------------------------------

void SoundBrowserTest::browserShowsBank1EachTimeTheWindowIsShown()
{
    writeFile(bank1() + "/b.wav", wavBytes(22050));
    writeFile(bank1() + "/a.wav", wavBytes(22050));
    writeFile(bank1() + "/notes.txt", "not a sound");
    writeFile(f->folder.path() + "/Fonts/other.wav", wavBytes(22050));
    const auto treeFolder = [] {
        const auto* model = static_cast<QFileSystemModel*>(setupWindow->sounds()->browser()->folderTree->model());
        return model->filePath(setupWindow->sounds()->browser()->folderTree->currentIndex());
    };

    setupWindow->show();
    QCOMPARE(listed(), (QStringList{"a.wav", "b.wav"}));
    QCOMPARE(treeFolder(), bank1());

    const auto* model = static_cast<QFileSystemModel*>(setupWindow->sounds()->browser()->folderTree->model());
    setupWindow->sounds()->browser()->folderTree->setCurrentIndex(model->index(f->folder.path() + "/Fonts"));
    QCOMPARE(listed(), QStringList{"other.wav"});
    select("other.wav");
    QCOMPARE(setupWindow->sounds()->browser()->selectedSoundFile(), f->folder.path() + "/Fonts/other.wav");

    setupWindow->hide();
    setupWindow->show();
    QCOMPARE(listed(), (QStringList{"a.wav", "b.wav"}));
    QCOMPARE(treeFolder(), bank1());
    QCOMPARE(setupWindow->sounds()->browser()->selectedSoundFile(), QString());
}

void SoundBrowserTest::treeOpensExpandedAtTheListedFolder()
{
    QTreeView* tree = setupWindow->sounds()->browser()->folderTree;
    const auto* model = static_cast<QFileSystemModel*>(tree->model());
    setupWindow->show();
    const QModelIndex folder = model->index(bank1());
    QCOMPARE(tree->currentIndex(), folder);
    // Every folder above it is open, down from the root, once the disk has answered.
    for (QModelIndex open = folder.parent(); open.isValid(); open = open.parent())
        QTRY_VERIFY2(tree->isExpanded(open), qPrintable(model->filePath(open)));
    QTRY_VERIFY(tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex()).center()));
}

void SoundBrowserTest::listFollowsFilesCopiedInAndRemoved()
{
    writeFile(bank1() + "/b.wav", wavBytes(22050));
    setupWindow->show();
    select("b.wav");
    playerCalls.clear();
    writeFile(bank1() + "/a.wav", wavBytes(22050));
    QTRY_COMPARE(listed(), (QStringList{"a.wav", "b.wav"}));
    // The selection stays where it was and the file is not shown again.
    QCOMPARE(setupWindow->sounds()->browser()->selectedSoundFile(), bank1() + "/b.wav");
    QCOMPARE(playerCalls, QStringList());

    QFile::remove(bank1() + "/b.wav");
    QTRY_COMPARE(listed(), QStringList{"a.wav"});
    QCOMPARE(setupWindow->sounds()->browser()->selectedSoundFile(), QString());
    QCOMPARE(setupWindow->sounds()->fileInfo()->soundFileName->text(), QString());
}

void SoundBrowserTest::selectingAFileShowsItsInfo_data()
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

void SoundBrowserTest::selectingAFileShowsItsInfo()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, values);
    writeFile(bank1() + "/Kylo Hum.wav", bytes.isEmpty() ? wavBytes(22050) : bytes);
    setupWindow->show();
    QCOMPARE(setupWindow->sounds()->fileInfo()->soundFileName->text(), QString("................."));
    QCOMPARE(setupWindow->sounds()->fileInfo()->fileSize->text(), QString("----"));
    if (bytes.isEmpty())
        QFile::remove(bank1() + "/Kylo Hum.wav");
    playerCalls.clear();

    select("Kylo Hum.wav");
    QCOMPARE(setupWindow->sounds()->fileInfo()->soundFileName->text(), QString("Kylo Hum.wav"));
    const QList<ValueLabel*> shown = {setupWindow->sounds()->fileInfo()->formatCode, setupWindow->sounds()->fileInfo()->channelCount, setupWindow->sounds()->fileInfo()->sampleRate,
                                      setupWindow->sounds()->fileInfo()->bitsPerSample, setupWindow->sounds()->fileInfo()->fileSize};
    QStringList texts;
    for (ValueLabel* label : shown) {
        texts.append(label->text());
        QCOMPARE(label->accessibleName(),
                 label->caption() + ": " + label->text()); // caption and value spoken
    }
    QCOMPARE(texts, values);
    QTEST(setupWindow->sounds()->fileInfo()->fitsOneSectorSlot, "sizeFile");
    QTEST(setupWindow->sounds()->fileInfo()->fitsHumSlot, "sizeHum");
    QTEST(setupWindow->sounds()->fileInfo()->fileSize->palette().color(QPalette::WindowText) == QColor(Qt::red), "red");
    QFETCH(QString, played);
    QCOMPARE(playerCalls.size(), 3);
    QVERIFY2(playerCalls[1].startsWith("open " + played), qPrintable(playerCalls[1]));
    QCOMPARE(playerCalls[2], "play");
}

void SoundBrowserTest::infoTellsWhatTheBoardGets_data()
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

void SoundBrowserTest::infoTellsWhatTheBoardGets()
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
    const QList<ValueLabel*> shown = {setupWindow->sounds()->fileInfo()->soundFormat, setupWindow->sounds()->fileInfo()->soundConversion,
                                      setupWindow->sounds()->fileInfo()->boardSize, setupWindow->sounds()->fileInfo()->clipNote};
    QStringList actual;
    for (const ValueLabel* label : shown)
        actual.append(label->text());
    QCOMPARE(actual, texts);
    QTEST(setupWindow->sounds()->fileInfo()->boardSize->palette().color(QPalette::WindowText) == QColor(Qt::red), "red");
    QTEST(int(setupWindow->sounds()->browser()->waveformSeries.first()->count()), "points");
}

void SoundBrowserTest::fileListShowsEveryReadableFormat_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("format");
    QTest::addColumn<QStringList>("texts"); // format, conversion
    QTest::newRow("FLAC") << "swing.flac" << (SF_FORMAT_FLAC | SF_FORMAT_PCM_16)
                          << QStringList{"FLAC 44100 Hz stereo 16-bit",
                                         "44100 Hz stereo 16-bit -> 22050 Hz mono 16-bit"};
    QTest::newRow("OGG/Vorbis") << "clash.ogg" << (SF_FORMAT_OGG | SF_FORMAT_VORBIS)
                                << QStringList{"OGG 44100 Hz stereo Vorbis",
                                               "44100 Hz stereo Vorbis -> 22050 Hz mono 16-bit"};
    QTest::newRow("AIFF, upper-case extension")
        << "HUM.AIFF" << (SF_FORMAT_AIFF | SF_FORMAT_PCM_16)
        << QStringList{"AIFF 44100 Hz stereo 16-bit", "44100 Hz stereo 16-bit -> 22050 Hz mono 16-bit"};
}

void SoundBrowserTest::fileListShowsEveryReadableFormat()
{
    QFETCH(QString, name);
    QFETCH(int, format);
    QFETCH(QStringList, texts);
    QVERIFY(!WriteSoundFile(bank1() + "/" + name, format, 44100, 2, SineSamples(440, 0.5, 44100, 2, 0.2))
                 .isEmpty());
    writeFile(bank1() + "/notes.txt", "not a sound");
    setupWindow->show();
    QCOMPARE(listed(), QStringList{name});
    select(name);
    QCOMPARE((QStringList{setupWindow->sounds()->fileInfo()->soundFormat->text(), setupWindow->sounds()->fileInfo()->soundConversion->text()}), texts);
    QCOMPARE(setupWindow->sounds()->fileInfo()->boardSize->text(), QString("8820 bytes for the board"));
}

void SoundBrowserTest::waveformIsOneReplaceOnAFixedAxis()
{
    writeFile(bank1() + "/hum.wav", wavBytes(22050, {0, -1, 32767, -32768, 0x1234}));
    setupWindow->show();
    QLineSeries* waveform = setupWindow->sounds()->browser()->waveformSeries.first();
    QSignalSpy replaced(waveform, &QXYSeries::pointsReplaced);
    QSignalSpy added(waveform, &QXYSeries::pointAdded);
    select("hum.wav");
    QCOMPARE(replaced.count(), 1);
    QCOMPARE(added.count(), 0);
    QCOMPARE(waveform->points(), (QList<QPointF>{{1, 32768}, {2, 32767}, {3, 65535}, {4, 0}, {5, 37428}}));
    const auto* values = static_cast<QValueAxis*>(setupWindow->sounds()->browser()->waveformChart->chart()->axes(Qt::Vertical).first());
    const auto* samples =
        static_cast<QValueAxis*>(setupWindow->sounds()->browser()->waveformChart->chart()->axes(Qt::Horizontal).first());
    QCOMPARE(values->min(), 0.0);
    QCOMPARE(values->max(), 70000.0);
    QCOMPARE(samples->min(), 1.0);
    QCOMPARE(samples->max(), 5.0);
}

void SoundBrowserTest::monitorListsTheFirst499SamplesInRowsOf32()
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

void SoundBrowserTest::previewWithTheRealPlayerRaisesNoDialog()
{
    setupWindow->sounds()->browser()->setPreviewPlayer(MakeMediaPlayer(setupWindow));
    writeFile(bank1() + "/tone.wav", wavBytes(22050, QList<qint16>(2205, 1000)));
    setupWindow->show();
    select("tone.wav");
    auto* player = setupWindow->findChild<QMediaPlayer*>("previewPlayer");
    if (QMediaDevices::audioOutputs().isEmpty()) {
        // No sound output: the back end is never started, and the group says why.
        QVERIFY(!player);
        QVERIFY(setupWindow->sounds()->fileInfo()->previewNote->isVisible());
        QCOMPARE(setupWindow->sounds()->fileInfo()->previewNote->value(), QString("No sound output on this machine: no preview."));
        return;
    }
    QVERIFY(player);
    // Whatever the machine has for sound: the file is played, or the back end
    // gives up; either way the call came back and nobody was asked anything.
    QTRY_VERIFY_WITH_TIMEOUT(player->playbackState() == QMediaPlayer::PlayingState ||
                                 player->mediaStatus() == QMediaPlayer::EndOfMedia ||
                                 player->mediaStatus() == QMediaPlayer::InvalidMedia ||
                                 player->error() != QMediaPlayer::NoError,
                             10000);
    QCOMPARE(f->dialogs.messages, QStringList());
    QCOMPARE(f->dialogs.errors, QStringList());
    // Uploading needs the file back: closing the player lets it go.
    setupWindow->sounds()->browser()->previewPlayer->close();
    QCOMPARE(player->source(), QUrl());
}

void SoundBrowserTest::baseSoundSetFitsItsSlots()
{
    const char* const oneSector[] = {"Base_PowerOn_0.wav", "Base_PowerOff_0.wav", "Base_Swing_1_0.wav",
                                     "Base_Swing_2_0.wav", "Base_Swing_3_0.wav",  "Base_Swing_4_0.wav",
                                     "Base_Swing_5_0.wav", "Base_Swing_6_0.wav",  "Base_Clash_1_0.wav",
                                     "Base_Clash_2_0.wav", "Base_Clash_3_0.wav",  "Base_Clash_4_0.wav",
                                     "Base_Clash_5_0.wav", "Base_Clash_6_0.wav",  "Base_Clash_7_0.wav",
                                     "Base_Clash_8_0.wav", "Base_Clash_9_0.wav",  "Base_Clash_10_0.wav"};
    QList<std::pair<QString, qint64>> expected;
    for (const char* name : oneSector)
        expected.append({name, 65000});
    expected.append({"Base_Hum_0.wav", 131000});
    const QDir folder(TAVRIN_BASE_SOUNDS_DIR);
    QCOMPARE(folder.entryList({"*.wav"}, QDir::Files).size(), 19);
    for (const auto& [name, limit] : expected) {
        QFile file(folder.filePath(name));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(name));
        QVERIFY2(file.size() < limit, qPrintable(name));
        const std::optional<Sound::WavHeaderInfo> info = Sound::ReadWavInfo(file.read(44));
        QVERIFY(info);
        QCOMPARE((QList<int>{info->format, info->channels, info->sampleRate, info->bitsPerSample}),
                 (QList<int>{1, 1, 22050, 16}));
    }
}

TAVRIN_TEST_MAIN(SoundBrowserTest)
#include "tst_sound_browser.moc"

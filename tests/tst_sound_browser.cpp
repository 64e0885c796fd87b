// The sound-file browser in the window: bank 1 at each showing, the folder tree,
// the file list following the folder, the preview, and the base sound set the
// build synthesises. Simulated time, recorded dialogs, a fake player unless the
// real one is under test.
#include "BrowserWindowTest.h"
#include "Controls.h"
#include "SoundFiles.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "common/ui/Media.h"
#include "sound/WavInfo.h"

#include <QAudioDevice>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QTreeView>
#include <sndfile.h>

using namespace BrowserFiles;

class SoundBrowserTest : public QObject, private BrowserWindowTest {
    Q_OBJECT
private slots:
    void init() { startWindows(); }
    void cleanup() { stopWindows(); }

    void browserShowsBank1EachTimeTheWindowIsShown();
    void treeOpensExpandedAtTheListedFolder();
    void listFollowsFilesCopiedInAndRemoved();
    void fileListShowsEveryReadableFormat_data();
    void fileListShowsEveryReadableFormat();
    void previewWithTheRealPlayerRaisesNoDialog();
    void baseSoundSetFitsItsSlots();
};

// ---- The browser in the window ---------------------------------------------

void SoundBrowserTest::browserShowsBank1EachTimeTheWindowIsShown()
{
    writeFile(bank1() + "/b.wav", wavBytes(22050));
    writeFile(bank1() + "/a.wav", wavBytes(22050));
    writeFile(bank1() + "/notes.txt", "not a sound");
    writeFile(f->folder.path() + "/Fonts/other.wav", wavBytes(22050));
    const auto treeFolder = [] {
        const auto* model =
            static_cast<QFileSystemModel*>(control<QTreeView>(setupWindow, "folderTree")->model());
        return model->filePath(control<QTreeView>(setupWindow, "folderTree")->currentIndex());
    };

    setupWindow->show();
    QCOMPARE(listed(), (QStringList{"a.wav", "b.wav"}));
    QCOMPARE(treeFolder(), bank1());

    const auto* model =
        static_cast<QFileSystemModel*>(control<QTreeView>(setupWindow, "folderTree")->model());
    control<QTreeView>(setupWindow, "folderTree")->setCurrentIndex(model->index(f->folder.path() + "/Fonts"));
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
    QTreeView* tree = control<QTreeView>(setupWindow, "folderTree");
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
    QCOMPARE(control<ValueLabel>(setupWindow, "soundFileName")->text(), QString());
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
    QCOMPARE((QStringList{control<ValueLabel>(setupWindow, "soundFormat")->text(),
                          control<ValueLabel>(setupWindow, "soundConversion")->text()}),
             texts);
    QCOMPARE(control<ValueLabel>(setupWindow, "boardSize")->text(), QString("8820 bytes for the board"));
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
        QVERIFY(control<ValueLabel>(setupWindow, "previewNote")->isVisible());
        QCOMPARE(control<ValueLabel>(setupWindow, "previewNote")->value(),
                 QString("No sound output on this machine: no preview."));
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
    setupWindow->sounds()->browser()->closePreview();
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
#include "common/ui/ValueLabel.h"
#include "tst_sound_browser.moc"

// The sound-file browser: the folder tree, the sound files of the chosen
// folder, the "Info File " group, the waveform and the preview of the selected
// file. The slot buttons upload what it has selected.
#pragma once

#include <QList>
#include <QString>
#include <QWidget>
#include <memory>

class InfoFileBox;
class MediaPlayer;
class QChartView;
class QFileSystemModel;
class QLineSeries;
class QListWidget;
class QTemporaryFile;
class QTreeView;

class SoundBrowser : public QWidget {
    Q_OBJECT
public:
    explicit SoundBrowser(QWidget* parent = nullptr);
    ~SoundBrowser() override;

    QTreeView* folderTree = nullptr;      // the file list follows it
    QListWidget* soundFileList = nullptr; // the sound files of soundFolder
    InfoFileBox* fileInfo = nullptr;
    QChartView* waveformChart = nullptr;  // waveform of the selected file
    QList<QLineSeries*> waveformSeries;   // the waveform is drawn in the first
    MediaPlayer* previewPlayer = nullptr; // preview of the selected file
    QString soundFolder;                  // the folder the browser shows

    // Replaces the preview player (tests install a fake).
    void setPreviewPlayer(std::unique_ptr<MediaPlayer> player);
    // Full path of the file selected in the file list; empty when none is.
    QString selectedSoundFile() const;
    // Lists soundFolder and brings it into view in the tree.
    void fillFileList();
    void showWaveform(); // waveform and sample grid of the selected file

signals:
    // A key pressed in the file list, before the list handles it: the window's
    // shortcuts live there.
    void fileListKeyPressed(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchFolders();
    void folderChosen();
    void showFileInfo();
    void playPreview();
    void revealSoundFolder();
    void relistSoundFiles();

    std::unique_ptr<MediaPlayer> m_mediaPlayer;
    QTemporaryFile* m_previewFile = nullptr; // the converted sound, for the preview to play
    QFileSystemModel* m_soundFiles = nullptr;
    bool m_followingFolder = false; // the tree is being pointed at the sound folder
    bool m_revealingFolder = false; // the tree keeps the sound folder in view until the user scrolls
};

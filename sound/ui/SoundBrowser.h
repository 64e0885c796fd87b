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
class QMenu;
class QTemporaryFile;
class QTreeView;

class SoundBrowser : public QWidget {
    Q_OBJECT
public:
    explicit SoundBrowser(QWidget* parent = nullptr);
    ~SoundBrowser() override;

    // The "Info File " group: what the selected file holds, and the skip counts.
    InfoFileBox& fileInfo() const { return *m_fileInfo; }
    // The folder the browser shows.
    QString soundFolder() const { return m_soundFolder; }
    void setSoundFolder(const QString& folder) { m_soundFolder = folder; }
    // The waveform of the selected file is drawn in the first.
    const QList<QLineSeries*>& waveformSeries() const { return m_waveformSeries; }

    // Replaces the preview player (tests install a fake).
    void setPreviewPlayer(std::unique_ptr<MediaPlayer> player);
    // The preview lets go of the file it played, which may be sent or replaced.
    void closePreview();
    // What a context-menu request in the file list shows.
    void setFileMenu(QMenu* menu);
    // Full path of the file selected in the file list; empty when none is.
    QString selectedSoundFile() const;
    // Lists soundFolder and brings it into view in the tree.
    void fillFileList();
    void showWaveform(); // waveform and sample grid of the selected file

signals:
    // A key pressed in the file list, before the list handles it: the window's
    // shortcuts live there.
    void fileListKeyPressed(int key);
    // The start of the selected sound, as the waveform shows it.
    void samplesShown(const QByteArray& sound);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchFolders();
    void folderChosen();
    void showFileInfo();
    void playPreview();
    void revealSoundFolder();
    void relistSoundFiles();

    QTreeView* m_folderTree = nullptr;      // the file list follows it
    QListWidget* m_soundFileList = nullptr; // the sound files of the sound folder
    InfoFileBox* m_fileInfo = nullptr;
    QChartView* m_waveformChart = nullptr; // waveform of the selected file
    QList<QLineSeries*> m_waveformSeries;
    MediaPlayer* m_previewPlayer = nullptr; // preview of the selected file
    QString m_soundFolder;
    std::unique_ptr<MediaPlayer> m_mediaPlayer;
    QTemporaryFile* m_previewFile = nullptr; // the converted sound, for the preview to play
    QFileSystemModel* m_soundFiles = nullptr;
    bool m_followingFolder = false; // the tree is being pointed at the sound folder
    bool m_revealingFolder = false; // the tree keeps the sound folder in view until the user scrolls
};

#include "sound/ui/SoundBrowser.h"

#include "common/Define.h"
#include "common/ui/Media.h"
#include "common/ui/ValueLabel.h"
#include "sound/AudioFile.h"
#include "sound/Waveform.h"
#include "sound/ui/InfoFileBox.h"

#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTemporaryFile>
#include <QTreeView>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {
constexpr int FILE_NAME_COLUMN = 0;
constexpr int WAVEFORM_MIN_HEIGHT = 160;

QFileSystemModel* folderModel(const QTreeView* tree)
{
    return static_cast<QFileSystemModel*>(tree->model());
}

QTreeView* makeFolderTree(QWidget* parent)
{
    auto* tree = new QTreeView(parent);
    tree->setObjectName(QStringLiteral("folderTree"));
    tree->setAccessibleName(QStringLiteral("Sound folders"));
    auto* folders = new QFileSystemModel(tree);
    folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folders->setRootPath(QString());
    tree->setModel(folders);
    tree->setHeaderHidden(true);
    for (int column = FILE_NAME_COLUMN + 1; column < folders->columnCount(); ++column)
        tree->hideColumn(column);
    return tree;
}

// The folder's sound files of every format the reader takes, watched: the model
// sees a file copied in or removed.
QFileSystemModel* makeSoundFileModel(QObject* parent)
{
    auto* files = new QFileSystemModel(parent);
    files->setFilter(QDir::Files);
    files->setNameFilters(Sound::SoundFileFilters());
    files->setNameFilterDisables(false);
    return files;
}

QStringList soundFilesIn(const QString& folder)
{
    return QDir(folder).entryList(Sound::SoundFileFilters(), QDir::Files, QDir::Name);
}

QStringList listedNames(const QListWidget* list)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        names.append(list->item(row)->text());
    return names;
}

// A chart of fixed value range whose sample axis the caller sets per file.
QChartView* makeWaveformChart(QWidget* parent, QList<QLineSeries*>& series)
{
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->hide();
    auto* samples = new QValueAxis(chart);
    auto* values = new QValueAxis(chart);
    values->setRange(0, Define::WAVEFORM_AXIS_MAX);
    chart->addAxis(samples, Qt::AlignBottom);
    chart->addAxis(values, Qt::AlignLeft);
    for (int i = 0; i < Define::WAVEFORM_SERIES; ++i) {
        auto* line = new QLineSeries(chart);
        chart->addSeries(line);
        line->attachAxis(samples);
        line->attachAxis(values);
        // A dense trace: a hairline pen is the cheapest to draw.
        QPen hairline = line->pen();
        hairline.setWidth(0);
        line->setPen(hairline);
        series.append(line);
    }
    auto* view = new QChartView(chart, parent);
    view->setObjectName(QStringLiteral("waveformChart"));
    view->setAccessibleName(QStringLiteral("Waveform of the selected file"));
    view->setMinimumHeight(WAVEFORM_MIN_HEIGHT);
    return view;
}
} // namespace

SoundBrowser::SoundBrowser(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("soundBrowser"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    m_folderTree = makeFolderTree(this);
    auto* foldersCaption = new QLabel(QStringLiteral("Folders"), this);
    foldersCaption->setBuddy(m_folderTree);
    column->addWidget(foldersCaption);
    column->addWidget(m_folderTree, 1);
    auto* filesCaption = new QLabel(QStringLiteral("Sound files"), this);
    m_soundFileList = new QListWidget(this);
    m_soundFileList->setObjectName(QStringLiteral("soundFileList"));
    m_soundFileList->setAccessibleName(QStringLiteral("Sound files"));
    filesCaption->setBuddy(m_soundFileList);
    m_soundFileList->installEventFilter(this);
    column->addWidget(filesCaption);
    column->addWidget(m_soundFileList, 1);
    m_fileInfo = new InfoFileBox(this);
    column->addWidget(m_fileInfo);
    m_waveformChart = makeWaveformChart(this, m_waveformSeries);
    column->addWidget(m_waveformChart, 1);

    m_previewFile = new QTemporaryFile(this);
    m_previewFile->setFileTemplate(QDir::tempPath() + QStringLiteral("/tavrin-preview-XXXXXX.wav"));
    setPreviewPlayer(MakeMediaPlayer(this));
    connect(m_folderTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { folderChosen(); });
    connect(m_soundFileList, &QListWidget::itemSelectionChanged, this, [this] { showFileInfo(); });
    watchFolders();
}

SoundBrowser::~SoundBrowser() = default;

void SoundBrowser::watchFolders()
{
    // The tree fills in as the file system answers: keep the sound folder in view
    // while the folders above it arrive.
    connect(folderModel(m_folderTree), &QFileSystemModel::directoryLoaded, this, [this](const QString& path) {
        if (m_soundFolder.startsWith(path))
            revealSoundFolder();
    });
    // Folders are sorted some time after they load, which moves the rows under the
    // view: until the user scrolls, the sound folder is brought back into view.
    connect(folderModel(m_folderTree), &QAbstractItemModel::layoutChanged, this, [this] {
        if (m_revealingFolder)
            m_folderTree->scrollTo(m_folderTree->currentIndex());
    });
    connect(m_folderTree->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this] { m_revealingFolder = false; });
    m_soundFiles = makeSoundFileModel(this);
    connect(m_soundFiles, &QAbstractItemModel::rowsInserted, this, [this] { relistSoundFiles(); });
    connect(m_soundFiles, &QAbstractItemModel::rowsRemoved, this, [this] { relistSoundFiles(); });
    connect(m_soundFiles, &QFileSystemModel::fileRenamed, this, [this] { relistSoundFiles(); });
}

bool SoundBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_soundFileList && event->type() == QEvent::KeyPress)
        emit fileListKeyPressed(static_cast<QKeyEvent*>(event)->key());
    return QWidget::eventFilter(watched, event);
}

void SoundBrowser::setPreviewPlayer(std::unique_ptr<MediaPlayer> player)
{
    m_mediaPlayer = std::move(player);
    m_previewPlayer = m_mediaPlayer.get();
}

void SoundBrowser::closePreview()
{
    m_previewPlayer->close();
}

void SoundBrowser::setFileMenu(QMenu* menu)
{
    m_soundFileList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_soundFileList, &QWidget::customContextMenuRequested, menu,
            [this, menu](const QPoint& at) { menu->popup(m_soundFileList->viewport()->mapToGlobal(at)); });
}

QString SoundBrowser::selectedSoundFile() const
{
    const QList<QListWidgetItem*> selected = m_soundFileList->selectedItems();
    return selected.isEmpty() ? QString() : QDir(m_soundFolder).filePath(selected.first()->text());
}

void SoundBrowser::fillFileList()
{
    m_revealingFolder = true;
    revealSoundFolder();
    m_soundFileList->clear();
    m_soundFileList->addItems(soundFilesIn(m_soundFolder));
    m_soundFiles->setRootPath(m_soundFolder);
}

void SoundBrowser::revealSoundFolder()
{
    // Pointing the tree at the folder is not a choice of the user's.
    const QScopedValueRollback following(m_followingFolder, true);
    const QModelIndex folder = folderModel(m_folderTree)->index(m_soundFolder);
    m_folderTree->setCurrentIndex(folder);
    for (QModelIndex open = folder; open.isValid(); open = open.parent())
        m_folderTree->expand(open);
    m_folderTree->scrollTo(folder);
}

void SoundBrowser::relistSoundFiles()
{
    const QStringList files = soundFilesIn(m_soundFolder);
    if (files == listedNames(m_soundFileList))
        return;
    const QString selected = m_soundFileList->currentItem() && m_soundFileList->currentItem()->isSelected()
                                 ? m_soundFileList->currentItem()->text()
                                 : QString();
    {
        // The file still selected stays selected and is not shown again.
        const QSignalBlocker quiet(m_soundFileList);
        m_soundFileList->clear();
        m_soundFileList->addItems(files);
        const int row = static_cast<int>(files.indexOf(selected));
        if (!selected.isEmpty() && row >= 0)
            m_soundFileList->setCurrentRow(row);
    }
    if (!selected.isEmpty() && !files.contains(selected))
        showFileInfo(); // the selected file has gone
}

void SoundBrowser::folderChosen()
{
    if (m_followingFolder)
        return;
    m_revealingFolder = false;
    m_soundFolder = folderModel(m_folderTree)->filePath(m_folderTree->currentIndex());
    fillFileList();
}

void SoundBrowser::showFileInfo()
{
    const QString path = selectedSoundFile();
    m_fileInfo->showFile(path);
    if (path.isEmpty())
        return;
    showWaveform();
    playPreview();
}

void SoundBrowser::showWaveform()
{
    m_previewPlayer->close();
    QFile file(selectedSoundFile());
    // The size shown and tested is the whole file's; the picture needs only its
    // start, of the converted sound when the file is not in the board's format.
    const QByteArray& convertedSound = m_fileInfo->convertedSound();
    const QByteArray bytes = !convertedSound.isEmpty()          ? convertedSound.left(Sound::WAVEFORM_READ_BYTES)
                             : file.open(QIODevice::ReadOnly) ? file.read(Sound::WAVEFORM_READ_BYTES)
                                                              : QByteArray();

    // The whole waveform in one replace(): the chart lays a series out again
    // after every change, so this lays it out once instead of once per point.
    for (QLineSeries* series : m_waveformSeries)
        series->clear();
    const QList<QPointF> points = Sound::WaveformPoints(bytes);
    m_waveformSeries.first()->replace(points);
    m_waveformChart->chart()
        ->axes(Qt::Horizontal)
        .first()
        ->setRange(1, points.isEmpty() ? 1 : points.last().x());

    emit samplesShown(bytes);
}

void SoundBrowser::playPreview()
{
    const QString path = selectedSoundFile();
    if (path.isEmpty())
        return;
    // Asked before every play: a sound device may come or go while the program runs.
    const bool audible = m_previewPlayer->hasOutput();
    m_fileInfo->showPreviewNote(audible);
    if (!audible)
        return;
    // A converted sound is played from a temporary copy, as the board will play it.
    const QByteArray& convertedSound = m_fileInfo->convertedSound();
    const bool converted = !convertedSound.isEmpty() && m_previewFile->open() && m_previewFile->resize(0) &&
                           m_previewFile->write(convertedSound) == convertedSound.size() && m_previewFile->flush();
    m_previewPlayer->open(converted ? m_previewFile->fileName() : path);
    m_previewPlayer->play();
}

// The sound-file browser of the "Parameters" tab: the folder tree, the WAV files
// of the chosen folder, the "Info File " group, the waveform and the preview.
#include "app/SetupWindow.h"

#include "app/Forms.h"
#include "comm/ui/TrafficMonitor.h"
#include "common/Define.h"
#include "common/ui/Media.h"
#include "common/ui/ValueLabel.h"
#include "sound/AudioFile.h"
#include "sound/WavInfo.h"
#include "sound/Waveform.h"

#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTemporaryFile>
#include <QTreeView>
#include <QValueAxis>

namespace {
const char* const NO_FILE_NAME = ".................";
const char* const NO_VALUE = "----";
const char* const NO_SKIP = "0";
constexpr int FILE_NAME_COLUMN = 0;
const QColor SIZE_FITS_COLOUR(Qt::black);
const QColor SIZE_TOO_BIG_COLOUR(Qt::red);
constexpr int WAVEFORM_MIN_HEIGHT = 160;

QFileSystemModel* folderModel(const QTreeView* tree)
{
    return static_cast<QFileSystemModel*>(tree->model());
}

ValueLabel* valueLabel(const char* name, const QString& caption, QWidget* parent)
{
    auto* label = new ValueLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setValue(QString::fromLatin1(NO_VALUE));
    return label;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
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

void SetupWindow::buildSoundBrowser()
{
    QWidget* page = soundFileList->parentWidget();
    folderTree = makeFolderTree(page);
    auto* foldersCaption = new QLabel(QStringLiteral("Folders"), page);
    foldersCaption->setBuddy(folderTree);
    sideColumn->insertWidget(0, foldersCaption); // above the file list
    sideColumn->insertWidget(1, folderTree, 1);
    buildInfoFileGroup(page);
    sideColumn->addWidget(infoFileBox);
    waveformChart = makeWaveformChart(page, waveformSeries);
    sideColumn->addWidget(waveformChart, 1);

    setPreviewPlayer(MakeMediaPlayer(this));
    connect(folderTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { folderChosen(); });
    connect(soundFileList, &QListWidget::itemSelectionChanged, this, [this] { showFileInfo(); });

    // The tree fills in as the file system answers: keep the sound folder in view
    // while the folders above it arrive.
    connect(folderModel(folderTree), &QFileSystemModel::directoryLoaded, this,
            [this](const QString& path) {
                if (soundFolder.startsWith(path))
                    revealSoundFolder();
            });
    // Folders are sorted some time after they load, which moves the rows under the
    // view: until the user scrolls, the sound folder is brought back into view.
    connect(folderModel(folderTree), &QAbstractItemModel::layoutChanged, this, [this] {
        if (m_revealingFolder)
            folderTree->scrollTo(folderTree->currentIndex());
    });
    connect(folderTree->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this] { m_revealingFolder = false; });
    m_soundFiles = makeSoundFileModel(this);
    connect(m_soundFiles, &QAbstractItemModel::rowsInserted, this, [this] { relistSoundFiles(); });
    connect(m_soundFiles, &QAbstractItemModel::rowsRemoved, this, [this] { relistSoundFiles(); });
    connect(m_soundFiles, &QFileSystemModel::fileRenamed, this, [this] { relistSoundFiles(); });
}

void SetupWindow::buildInfoFileGroup(QWidget* page)
{
    infoFileBox = new QGroupBox(QStringLiteral("Info File "), page);
    infoFileBox->setObjectName(QStringLiteral("infoFileBox"));
    infoFileBox->setAccessibleName(QStringLiteral("Info File"));
    auto* info = new QFormLayout(infoFileBox);
    soundFileName = valueLabel("soundFileName", QStringLiteral("File name"), infoFileBox);
    soundFileName->setValue(QString::fromLatin1(NO_FILE_NAME));
    info->addRow(soundFileName);
    previewNote = valueLabel("previewNote", QStringLiteral("Preview"), infoFileBox);
    previewNote->setWordWrap(true);
    previewNote->hide();
    info->addRow(previewNote);
    const struct {
        const char* caption;
        ValueLabel*& value;
        const char* name;
        const char* accessible;
    } pairs[] = {{"PCM", formatCode, "formatCode", "Format code"},
                 {"Mono", channelCount, "channelCount", "Channels"},
                 {"Sample rate", sampleRate, "sampleRate", "Sample rate"},
                 {"Bit / Sample", bitsPerSample, "bitsPerSample", "Bits per sample"},
                 {"Size", fileSize, "fileSize", "File size in bytes"}};
    for (const auto& pair : pairs) {
        pair.value = valueLabel(pair.name, QString::fromLatin1(pair.accessible), infoFileBox);
        info->addRow(QString::fromLatin1(pair.caption), pair.value);
    }
    const struct {
        QLineEdit*& edit;
        const char* name;
        const char* caption;
    } skips[] = {{beginSkip, "beginSkip", "Samples to skip (begin)"}, {endSkip, "endSkip", "Samples to skip (end)"}};
    for (const auto& skip : skips) {
        skip.edit = new QLineEdit(QString::fromLatin1(NO_SKIP), infoFileBox);
        skip.edit->setObjectName(QString::fromLatin1(skip.name));
        skip.edit->setAccessibleName(QString::fromLatin1(skip.caption));
        info->addRow(QString::fromLatin1(skip.caption), skip.edit);
    }
    buildBoardFacts(info);
}

void SetupWindow::setPreviewPlayer(std::unique_ptr<MediaPlayer> player)
{
    m_mediaPlayer = std::move(player);
    previewPlayer = m_mediaPlayer.get();
}

QString SetupWindow::selectedSoundFile() const
{
    const QList<QListWidgetItem*> selected = soundFileList->selectedItems();
    return selected.isEmpty() ? QString() : QDir(soundFolder).filePath(selected.first()->text());
}

void SetupWindow::fillFileList()
{
    m_revealingFolder = true;
    revealSoundFolder();
    soundFileList->clear();
    soundFileList->addItems(soundFilesIn(soundFolder));
    m_soundFiles->setRootPath(soundFolder);
}

void SetupWindow::revealSoundFolder()
{
    // Pointing the tree at the folder is not a choice of the user's.
    const QScopedValueRollback following(m_followingFolder, true);
    const QModelIndex folder = folderModel(folderTree)->index(soundFolder);
    folderTree->setCurrentIndex(folder);
    for (QModelIndex open = folder; open.isValid(); open = open.parent())
        folderTree->expand(open);
    folderTree->scrollTo(folder);
}

void SetupWindow::relistSoundFiles()
{
    const QStringList files = soundFilesIn(soundFolder);
    if (files == listedNames(soundFileList))
        return;
    const QString selected = soundFileList->currentItem() && soundFileList->currentItem()->isSelected()
                                 ? soundFileList->currentItem()->text()
                                 : QString();
    {
        // The file still selected stays selected and is not shown again.
        const QSignalBlocker quiet(soundFileList);
        soundFileList->clear();
        soundFileList->addItems(files);
        const int row = static_cast<int>(files.indexOf(selected));
        if (!selected.isEmpty() && row >= 0)
            soundFileList->setCurrentRow(row);
    }
    if (!selected.isEmpty() && !files.contains(selected))
        showFileInfo(); // the selected file has gone
}

void SetupWindow::folderChosen()
{
    if (m_followingFolder)
        return;
    m_revealingFolder = false;
    soundFolder = folderModel(folderTree)->filePath(folderTree->currentIndex());
    fillFileList();
}

void SetupWindow::showFileInfo()
{
    const QString path = selectedSoundFile();
    soundFileName->setValue(QFileInfo(path).fileName());
    showBoardFacts(path);
    if (path.isEmpty())
        return;
    QFile file(path);
    const bool readable = file.open(QIODevice::ReadOnly);
    selectedFileSize = readable ? file.size() : -1;
    const Sound::SizeFlags fits = Sound::SizeFlagsFor(selectedFileSize);
    fitsOneSectorSlot = fits.fitsSlot;
    fitsHumSlot = fits.fitsHum;
    fileSize->setValue(QString::number(selectedFileSize));
    setTextColour(fileSize, fitsOneSectorSlot ? SIZE_FITS_COLOUR : SIZE_TOO_BIG_COLOUR);

    const std::optional<Sound::WavHeaderInfo> header =
        Sound::ReadWavInfo(readable ? file.read(Define::WAV_HEADER_BYTES) : QByteArray());
    const auto shown = [&header](int Sound::WavHeaderInfo::*field) {
        return header ? QString::number((*header).*field) : QString::fromLatin1(NO_VALUE);
    };
    formatCode->setValue(shown(&Sound::WavHeaderInfo::format));
    channelCount->setValue(shown(&Sound::WavHeaderInfo::channels));
    sampleRate->setValue(shown(&Sound::WavHeaderInfo::sampleRate));
    bitsPerSample->setValue(shown(&Sound::WavHeaderInfo::bitsPerSample));
    file.close();

    showWaveform();
    playPreview();
}

void SetupWindow::showWaveform()
{
    previewPlayer->close();
    QFile file(selectedSoundFile());
    // The size shown and tested is the whole file's; the picture needs only its
    // start, of the converted sound when the file is not in the board's format.
    const QByteArray bytes = !convertedSound.isEmpty()          ? convertedSound.left(Sound::WAVEFORM_READ_BYTES)
                             : file.open(QIODevice::ReadOnly) ? file.read(Sound::WAVEFORM_READ_BYTES)
                                                              : QByteArray();

    // The whole waveform in one replace(): the chart lays a series out again
    // after every change, so this lays it out once instead of once per point.
    for (QLineSeries* series : waveformSeries)
        series->clear();
    const QList<QPointF> points = Sound::WaveformPoints(bytes);
    waveformSeries.first()->replace(points);
    waveformChart->chart()->axes(Qt::Horizontal).first()->setRange(1, points.isEmpty() ? 1 : points.last().x());

    QTableWidget* grid = trafficMonitor->sampleGrid;
    grid->clearContents();
    const int cells = Sound::SampleCellCount(bytes);
    for (int i = 0; i < cells; ++i) {
        const Sound::GridCell cell = Sound::SampleCell(i);
        SetCell(grid, cell.column, cell.row, Sound::SampleCellText(Sound::OffsetSample(bytes, i)));
    }
}

void SetupWindow::playPreview()
{
    const QString path = selectedSoundFile();
    if (path.isEmpty())
        return;
    // Asked before every play: a sound device may come or go while the program runs.
    const bool audible = previewPlayer->hasOutput();
    previewNote->setValue(audible ? QString()
                                  : QStringLiteral("No sound output on this machine: no preview."));
    previewNote->setVisible(!audible);
    if (!audible)
        return;
    // A converted sound is played from a temporary copy, as the board will play it.
    const bool converted = !convertedSound.isEmpty() && previewFile->open() && previewFile->resize(0) &&
                           previewFile->write(convertedSound) == convertedSound.size() && previewFile->flush();
    previewPlayer->open(converted ? previewFile->fileName() : path);
    previewPlayer->play();
}

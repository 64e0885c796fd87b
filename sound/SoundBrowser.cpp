// The sound-file browser of the "Parameters" tab: the folder tree, the WAV files
// of the chosen folder, the "Info File " group, the waveform and the preview.
#include "app/Serial1.h"

#include "app/Forms.h"
#include "comm/Hidden.h"
#include "common/Define.h"
#include "common/Media.h"
#include "common/ValueLabel.h"
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
    tree->setObjectName(QStringLiteral("DirectoryListBox1"));
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
    view->setObjectName(QStringLiteral("Chart1"));
    view->setAccessibleName(QStringLiteral("Waveform of the selected file"));
    view->setMinimumHeight(WAVEFORM_MIN_HEIGHT);
    return view;
}
} // namespace

void TSerialForm1::buildSoundBrowser()
{
    QWidget* page = FileListBox1->parentWidget();
    DirectoryListBox1 = makeFolderTree(page);
    auto* foldersCaption = new QLabel(QStringLiteral("Folders"), page);
    foldersCaption->setBuddy(DirectoryListBox1);
    SidePanel->insertWidget(0, foldersCaption); // above the file list
    SidePanel->insertWidget(1, DirectoryListBox1, 1);
    buildInfoFileGroup(page);
    SidePanel->addWidget(GroupBox13);
    Chart1 = makeWaveformChart(page, Chart1Series);
    SidePanel->addWidget(Chart1, 1);

    setMediaPlayer(MakeMediaPlayer(this));
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { DirectoryListBox1Change(); });
    connect(FileListBox1, &QListWidget::itemSelectionChanged, this, [this] { ReadInfoFileClick(); });

    // The tree fills in as the file system answers: keep the sound folder in view
    // while the folders above it arrive.
    connect(folderModel(DirectoryListBox1), &QFileSystemModel::directoryLoaded, this,
            [this](const QString& path) {
                if (SoundFolder.startsWith(path))
                    revealSoundFolder();
            });
    // Folders are sorted some time after they load, which moves the rows under the
    // view: until the user scrolls, the sound folder is brought back into view.
    connect(folderModel(DirectoryListBox1), &QAbstractItemModel::layoutChanged, this, [this] {
        if (m_revealingFolder)
            DirectoryListBox1->scrollTo(DirectoryListBox1->currentIndex());
    });
    connect(DirectoryListBox1->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this] { m_revealingFolder = false; });
    m_soundFiles = makeSoundFileModel(this);
    connect(m_soundFiles, &QAbstractItemModel::rowsInserted, this, [this] { relistSoundFiles(); });
    connect(m_soundFiles, &QAbstractItemModel::rowsRemoved, this, [this] { relistSoundFiles(); });
    connect(m_soundFiles, &QFileSystemModel::fileRenamed, this, [this] { relistSoundFiles(); });
}

void TSerialForm1::buildInfoFileGroup(QWidget* page)
{
    GroupBox13 = new QGroupBox(QStringLiteral("Info File "), page);
    GroupBox13->setObjectName(QStringLiteral("GroupBox13"));
    GroupBox13->setAccessibleName(QStringLiteral("Info File"));
    auto* info = new QFormLayout(GroupBox13);
    Label35 = valueLabel("Label35", QStringLiteral("File name"), GroupBox13);
    Label35->setValue(QString::fromLatin1(NO_FILE_NAME));
    info->addRow(Label35);
    PreviewNote = valueLabel("PreviewNote", QStringLiteral("Preview"), GroupBox13);
    PreviewNote->setWordWrap(true);
    PreviewNote->hide();
    info->addRow(PreviewNote);
    const struct {
        const char* caption;
        ValueLabel*& value;
        const char* name;
        const char* accessible;
    } pairs[] = {{"PCM", Label23, "Label23", "Format code"},
                 {"Mono", Label24, "Label24", "Channels"},
                 {"Sample rate", Label28, "Label28", "Sample rate"},
                 {"Bit / Sample", Label30, "Label30", "Bits per sample"},
                 {"Size", Label37, "Label37", "File size in bytes"}};
    for (const auto& pair : pairs) {
        pair.value = valueLabel(pair.name, QString::fromLatin1(pair.accessible), GroupBox13);
        info->addRow(QString::fromLatin1(pair.caption), pair.value);
    }
    const struct {
        QLineEdit*& edit;
        const char* name;
        const char* caption;
    } skips[] = {{Edit84, "Edit84", "Samples to skip (begin)"}, {Edit86, "Edit86", "Samples to skip (end)"}};
    for (const auto& skip : skips) {
        skip.edit = new QLineEdit(QString::fromLatin1(NO_SKIP), GroupBox13);
        skip.edit->setObjectName(QString::fromLatin1(skip.name));
        skip.edit->setAccessibleName(QString::fromLatin1(skip.caption));
        info->addRow(QString::fromLatin1(skip.caption), skip.edit);
    }
    buildBoardFacts(info);
}

void TSerialForm1::setMediaPlayer(std::unique_ptr<MediaPlayer> player)
{
    m_mediaPlayer = std::move(player);
    MediaPlayer1 = m_mediaPlayer.get();
}

QString TSerialForm1::SelectedSoundFile() const
{
    const QList<QListWidgetItem*> selected = FileListBox1->selectedItems();
    return selected.isEmpty() ? QString() : QDir(SoundFolder).filePath(selected.first()->text());
}

void TSerialForm1::FillFileList()
{
    m_revealingFolder = true;
    revealSoundFolder();
    FileListBox1->clear();
    FileListBox1->addItems(soundFilesIn(SoundFolder));
    m_soundFiles->setRootPath(SoundFolder);
}

void TSerialForm1::revealSoundFolder()
{
    // Pointing the tree at the folder is not a choice of the user's.
    const QScopedValueRollback following(m_followingFolder, true);
    const QModelIndex folder = folderModel(DirectoryListBox1)->index(SoundFolder);
    DirectoryListBox1->setCurrentIndex(folder);
    for (QModelIndex open = folder; open.isValid(); open = open.parent())
        DirectoryListBox1->expand(open);
    DirectoryListBox1->scrollTo(folder);
}

void TSerialForm1::relistSoundFiles()
{
    const QStringList files = soundFilesIn(SoundFolder);
    if (files == listedNames(FileListBox1))
        return;
    const QString selected = FileListBox1->currentItem() && FileListBox1->currentItem()->isSelected()
                                 ? FileListBox1->currentItem()->text()
                                 : QString();
    {
        // The file still selected stays selected and is not shown again.
        const QSignalBlocker quiet(FileListBox1);
        FileListBox1->clear();
        FileListBox1->addItems(files);
        const int row = static_cast<int>(files.indexOf(selected));
        if (!selected.isEmpty() && row >= 0)
            FileListBox1->setCurrentRow(row);
    }
    if (!selected.isEmpty() && !files.contains(selected))
        ReadInfoFileClick(); // the selected file has gone
}

void TSerialForm1::DirectoryListBox1Change()
{
    if (m_followingFolder)
        return;
    m_revealingFolder = false;
    SoundFolder = folderModel(DirectoryListBox1)->filePath(DirectoryListBox1->currentIndex());
    FillFileList();
}

void TSerialForm1::ReadInfoFileClick()
{
    const QString path = SelectedSoundFile();
    Label35->setValue(QFileInfo(path).fileName());
    ShowBoardFacts(path);
    if (path.isEmpty())
        return;
    QFile file(path);
    const bool readable = file.open(QIODevice::ReadOnly);
    FILE_SIZE = readable ? file.size() : -1;
    const Sound::SizeFlags fits = Sound::SizeFlagsFor(FILE_SIZE);
    SIZE_FILE = fits.fitsSlot;
    SIZE_HUM = fits.fitsHum;
    Label37->setValue(QString::number(FILE_SIZE));
    setTextColour(Label37, SIZE_FILE ? SIZE_FITS_COLOUR : SIZE_TOO_BIG_COLOUR);

    const std::optional<Sound::WavHeaderInfo> header =
        Sound::ReadWavInfo(readable ? file.read(Define::WAV_HEADER_BYTES) : QByteArray());
    const auto shown = [&header](int Sound::WavHeaderInfo::*field) {
        return header ? QString::number((*header).*field) : QString::fromLatin1(NO_VALUE);
    };
    Label23->setValue(shown(&Sound::WavHeaderInfo::format));
    Label24->setValue(shown(&Sound::WavHeaderInfo::channels));
    Label28->setValue(shown(&Sound::WavHeaderInfo::sampleRate));
    Label30->setValue(shown(&Sound::WavHeaderInfo::bitsPerSample));
    file.close();

    Office97Button12Click();
    Office97Button11Click();
}

void TSerialForm1::Office97Button12Click()
{
    MediaPlayer1->close();
    QFile file(SelectedSoundFile());
    // The size shown and tested is the whole file's; the picture needs only its
    // start, of the converted sound when the file is not in the board's format.
    const QByteArray bytes = !ConvertedWav.isEmpty()          ? ConvertedWav.left(Sound::WAVEFORM_READ_BYTES)
                             : file.open(QIODevice::ReadOnly) ? file.read(Sound::WAVEFORM_READ_BYTES)
                                                              : QByteArray();

    // The whole waveform in one replace(): the chart lays a series out again
    // after every change, so this lays it out once instead of once per point.
    for (QLineSeries* series : Chart1Series)
        series->clear();
    const QList<QPointF> points = Sound::WaveformPoints(bytes);
    Chart1Series.first()->replace(points);
    Chart1->chart()->axes(Qt::Horizontal).first()->setRange(1, points.isEmpty() ? 1 : points.last().x());

    QTableWidget* grid = HiddenForm->StringGrid2;
    grid->clearContents();
    const int cells = Sound::SampleCellCount(bytes);
    for (int i = 0; i < cells; ++i) {
        const Sound::GridCell cell = Sound::SampleCell(i);
        SetCell(grid, cell.column, cell.row, Sound::SampleCellText(Sound::OffsetSample(bytes, i)));
    }
}

void TSerialForm1::Office97Button11Click()
{
    const QString path = SelectedSoundFile();
    if (path.isEmpty())
        return;
    // Asked before every play: a sound device may come or go while the program runs.
    const bool audible = MediaPlayer1->hasOutput();
    PreviewNote->setValue(audible ? QString()
                                  : QStringLiteral("No sound output on this machine: no preview."));
    PreviewNote->setVisible(!audible);
    if (!audible)
        return;
    // A converted sound is played from a temporary copy, as the board will play it.
    const bool converted = !ConvertedWav.isEmpty() && PreviewFile->open() && PreviewFile->resize(0) &&
                           PreviewFile->write(ConvertedWav) == ConvertedWav.size() && PreviewFile->flush();
    MediaPlayer1->open(converted ? PreviewFile->fileName() : path);
    MediaPlayer1->play();
}

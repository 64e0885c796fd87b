#include "sound/ui/ImportDialog.h"

#include "common/Define.h"
#include "common/Dialogs.h"
#include "sound/BoardFormat.h"
#include "sound/FontNames.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Sound;

namespace {
enum Column { FILE_COLUMN, SLOT_COLUMN, FORMAT_COLUMN, SIZE_COLUMN, FITS_COLUMN, COLUMNS };
const QStringList HEADERS = {QStringLiteral("File"), QStringLiteral("Slot"), QStringLiteral("Format"),
                             QStringLiteral("Size for the board"), QStringLiteral("Fits")};
constexpr int BANKS = 3;
const QColor TOO_BIG_COLOUR(Qt::red);

QPushButton* namedButton(const QString& text, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAccessibleName(text);
    return b;
}

QStringList rowTexts(const FontRow& row)
{
    const QString file = row.path.isEmpty() ? QStringLiteral("(none)") : QFileInfo(row.path).fileName();
    if (row.path.isEmpty())
        return {file, row.name, QString(), QString(), QString()};
    if (!row.facts)
        return {file, row.name, row.problem, QString(), QStringLiteral("no")};
    return {file, row.name, FormatText(row.facts->format),
            QStringLiteral("%1 bytes").arg(row.facts->boardSamples * Define::WAV_SAMPLE_BYTES),
            row.fits ? QStringLiteral("yes") : QStringLiteral("no: too long")};
}
} // namespace

ImportDialog::ImportDialog(Start start, QWidget* parent)
    : QDialog(parent)
    , m_start(std::move(start))
    , m_folder(new QLineEdit(this))
    , m_bank(new QComboBox(this))
    , m_table(new QTableWidget(0, COLUMNS, this))
    , m_unplaced(new QLabel(this))
    , m_upload(namedButton(QStringLiteral("Upload"), "UploadFont", this))
{
    setObjectName(QStringLiteral("ImportDialog"));
    setWindowTitle(QStringLiteral("Import a sound font"));
    setAccessibleName(windowTitle());
    m_folder->setObjectName(QStringLiteral("FontFolder"));
    m_folder->setAccessibleName(QStringLiteral("Sound font folder"));
    m_folder->setReadOnly(true);
    auto* chooseFolder = namedButton(QStringLiteral("Folder..."), "ChooseFontFolder", this);
    m_bank->setObjectName(QStringLiteral("FontBank"));
    m_bank->setAccessibleName(QStringLiteral("Bank"));
    for (int bank = 1; bank <= BANKS; ++bank)
        m_bank->addItem(QStringLiteral("Bank %1").arg(bank), bank);
    m_table->setObjectName(QStringLiteral("FontTable"));
    m_table->setAccessibleName(QStringLiteral("Files and slots"));
    m_table->setHorizontalHeaderLabels(HEADERS);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_unplaced->setObjectName(QStringLiteral("UnplacedFiles"));
    m_unplaced->setAccessibleName(QStringLiteral("Files that match no slot"));
    m_unplaced->setWordWrap(true);
    auto* change = namedButton(QStringLiteral("Choose file..."), "ChangeFontFile", this);
    auto* clear = namedButton(QStringLiteral("Clear"), "ClearFontFile", this);
    auto* close = namedButton(QStringLiteral("Close"), "CloseImport", this);

    auto* top = new QHBoxLayout;
    top->addWidget(m_folder, 1);
    top->addWidget(chooseFolder);
    top->addWidget(m_bank);
    auto* rowButtons = new QHBoxLayout;
    rowButtons->addWidget(change);
    rowButtons->addWidget(clear);
    rowButtons->addStretch(1);
    rowButtons->addWidget(m_upload);
    rowButtons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_unplaced);
    layout->addLayout(rowButtons);

    connect(chooseFolder, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, windowTitle(), m_folder->text());
        if (!folder.isEmpty())
            setFolder(folder);
    });
    connect(m_bank, &QComboBox::currentIndexChanged, this, [this] { replan(); });
    connect(change, &QPushButton::clicked, this, [this] { changeSelectedRow(); });
    connect(clear, &QPushButton::clicked, this, [this] { clearSelectedRow(); });
    connect(m_upload, &QPushButton::clicked, this, [this] { upload(); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    m_upload->setEnabled(false);
}

void ImportDialog::setFolder(const QString& folder)
{
    m_folder->setText(folder);
    replan();
}

void ImportDialog::setBank(int bank)
{
    m_bank->setCurrentIndex(m_bank->findData(bank));
    replan();
}

void ImportDialog::replan()
{
    if (m_folder->text().isEmpty())
        return;
    m_plan = PlanFont(m_folder->text(), m_bank->currentData().toInt());
    showPlan();
}

void ImportDialog::chooseFile(int row, const QString& path)
{
    ChooseFile(m_plan, row, path);
    showPlan();
}

void ImportDialog::showPlan()
{
    m_table->setRowCount(static_cast<int>(m_plan.rows.size()));
    bool anyChosen = false;
    for (int r = 0; r < m_plan.rows.size(); ++r) {
        const FontRow& row = m_plan.rows[r];
        anyChosen = anyChosen || !row.path.isEmpty();
        const QStringList texts = rowTexts(row);
        for (int c = 0; c < COLUMNS; ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            if (!row.path.isEmpty() && !row.fits)
                item->setForeground(TOO_BIG_COLOUR);
            m_table->setItem(r, c, item);
        }
    }
    m_unplaced->setText(m_plan.unplaced.isEmpty()
                            ? QString()
                            : QStringLiteral("Not placed:\n") + m_plan.unplaced.join(QLatin1Char('\n')));
    m_anyChosen = anyChosen;
    m_upload->setEnabled(m_anyChosen && m_boardTakesSounds);
}

void ImportDialog::setBoardTakesSounds(bool takes)
{
    m_boardTakesSounds = takes;
    m_upload->setEnabled(m_anyChosen && m_boardTakesSounds);
}

void ImportDialog::changeSelectedRow()
{
    const int row = m_table->currentRow();
    if (row < 0)
        return;
    const QString filter = QStringLiteral("Sound files (%1)").arg(SoundFileFilters().join(QLatin1Char(' ')));
    const QString path = dialogs().openFileName(QStringLiteral("Sound for %1").arg(m_plan.rows[row].name),
                                                m_folder->text(), filter);
    if (!path.isEmpty())
        chooseFile(row, path);
}

void ImportDialog::clearSelectedRow()
{
    if (m_table->currentRow() >= 0)
        chooseFile(m_table->currentRow(), QString());
}

void ImportDialog::upload()
{
    QStringList tooLong;
    for (const FontRow& row : m_plan.rows)
        if (!row.path.isEmpty() && row.facts && !row.fits)
            tooLong << row.name;
    const bool trim =
        !tooLong.isEmpty() &&
        AskYesNo(
            QStringLiteral("Too long for their slots: %1. Trim their ends, fading out over the last %2 ms, "
                           "so that they fit?")
                .arg(tooLong.join(QStringLiteral(", ")))
                .arg(TRIM_FADE_MS));
    FontCheck check = CheckFontPlan(m_plan, trim);
    if (!check.problems.isEmpty()) {
        ShowMessage(QStringLiteral("Nothing was erased or sent:\n") + check.problems.join(QLatin1Char('\n')));
        return;
    }
    if (m_start(m_plan.bank, std::move(check.uploads)))
        hide();
}

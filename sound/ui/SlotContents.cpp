#include "sound/ui/SlotContents.h"

#include "sound/SlotJournal.h"
#include "sound/SlotMap.h"

#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Sound;

namespace {
enum Column { SLOT_COLUMN, FILE_COLUMN, WRITTEN_COLUMN, CHECKSUM_COLUMN, COLUMNS };
const QStringList HEADERS = {QStringLiteral("Slot"), QStringLiteral("File"), QStringLiteral("Written"),
                             QStringLiteral("SHA-256")};
} // namespace

SlotContentsDialog::SlotContentsDialog(QWidget* parent)
    : QDialog(parent)
    , m_board(new QLabel(this))
    , m_table(new QTableWidget(0, COLUMNS, this))
{
    setObjectName(QStringLiteral("SlotContents"));
    setWindowTitle(QStringLiteral("Slot contents"));
    setAccessibleName(windowTitle());
    m_board->setObjectName(QStringLiteral("SlotContentsBoard"));
    m_board->setWordWrap(true);
    m_table->setObjectName(QStringLiteral("SlotContentsTable"));
    m_table->setAccessibleName(QStringLiteral("What each slot holds"));
    m_table->setHorizontalHeaderLabels(HEADERS);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("CloseSlotContents"));
    close->setAccessibleName(close->text());
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_board);
    layout->addWidget(m_table, 1);
    layout->addWidget(close, 0, Qt::AlignRight);
}

void SlotContentsDialog::showBoard(const QString& serial)
{
    m_board->setText(serial.isEmpty() ? QStringLiteral("The board's serial number is not known yet: read the "
                                                       "board first. Every slot is unknown.")
                                      : QStringLiteral("Board %1").arg(serial));
    m_board->setAccessibleName(m_board->text());
    const QList<JournalEntry> entries = serial.isEmpty() ? QList<JournalEntry>() : SlotJournal().list(serial);
    const QList<SoundSlot>& all = SoundSlots();
    m_table->setRowCount(static_cast<int>(all.size()));
    for (int i = 0; i < all.size(); ++i) {
        const bool known = i < entries.size() && entries[i].known();
        const QStringList texts = {
            all[i].accessibleName, known ? entries[i].fileName : SlotJournal::UnknownText(),
            known ? QLocale().toString(entries[i].written.toLocalTime(), QLocale::ShortFormat) : QString(),
            known ? entries[i].checksum : QString()};
        for (int c = 0; c < COLUMNS; ++c)
            m_table->setItem(i, c, new QTableWidgetItem(texts[c]));
    }
}

// The sound controls: each sound row's erase button and slot buttons, "Erase All
// Sounds" with the rule for sound files, the file list's context menu and the
// journal. All of them come from the slot table.
#include "sound/ui/SlotControls.h"

#include "sound/ui/SoundBrowser.h"

#include "comm/BoardLink.h"
#include "comm/Operation.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Globals.h"
#include "common/ui/Handlers.h"
#include "sound/BoardJournal.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>

using namespace Sound;

namespace {
constexpr int ICON_SIZE = 16;
constexpr int ICON_MARGIN = 3;
constexpr int ICON_PEN = 2;
constexpr int SLOT_BUTTON_WIDTH = 34;
// The journal note and the rule share the room the buttons leave.
constexpr int TEXT_STRETCH = 1;
const QColor CHIP_COLOUR(90, 98, 110);
const QColor CROSS_COLOUR(200, 40, 40);

// The board's own format and sizes, then what the tool does with any other file.
const QString RULE_TEXT =
    QStringLiteral("Sound files must be wav format 22050 Hz - 16 bit. Max size 64 kB (128 kB - Hum only)\n"
                   "Other formats (other WAV, FLAC, OGG, MP3, AIFF) are converted to it before upload.");

// A memory chip struck through: what the row's erase button does.
QIcon eraseIcon()
{
    QPixmap picture(ICON_SIZE, ICON_SIZE);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(CHIP_COLOUR);
    painter.drawRect(ICON_MARGIN, ICON_MARGIN, ICON_SIZE - 2 * ICON_MARGIN, ICON_SIZE - 2 * ICON_MARGIN);
    painter.setPen(QPen(CROSS_COLOUR, ICON_PEN));
    painter.drawLine(1, 1, ICON_SIZE - 1, ICON_SIZE - 1);
    painter.drawLine(ICON_SIZE - 1, 1, 1, ICON_SIZE - 1);
    return QIcon(picture);
}

QPushButton* button(const QString& name, const QString& text, const QString& accessible, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAccessibleName(accessible);
    return b;
}
} // namespace

SlotControls::SlotControls(Params::Board& board, SoundBrowser& browser, OperationRunner runOperation,
                           ProgressView progressView, QWidget* host)
    : QObject(host)
    , m_board(board)
    , m_browser(browser)
    , m_runOperation(std::move(runOperation))
    , m_progressView(std::move(progressView))
    , m_host(host)
{
    buildRows();
    buildActionRow();
    buildSlotMenu();
    buildJournal();
    connect(&m_board, &Params::Board::setUpModeChanged, this, [this](bool on) {
        for (QWidget* control : m_setUpControls)
            control->setEnabled(on);
    });
}

QList<QAction*> SlotControls::menuActions() const
{
    QList<QAction*> actions = m_slotMenu->actions();
    for (const QMenu* bank : m_slotMenu->findChildren<QMenu*>())
        actions += bank->actions();
    return actions;
}

QList<QWidget*> SlotControls::rowWidgets(int row) const
{
    return m_rows.value(row);
}

void SlotControls::buildRows()
{
    const QList<SoundSlot>& table = SoundSlots();
    m_slotButtons = QList<QPushButton*>(table.size(), nullptr);
    const QIcon icon = eraseIcon();
    for (int r = 0; r < Define::BANK_COUNT * Define::SOUND_ROWS_PER_BANK; ++r) {
        const int bankFromZero = r / Define::SOUND_ROWS_PER_BANK;
        const EraseRowEntry& row = EraseRows()[r % Define::SOUND_ROWS_PER_BANK];
        auto* erase = button(QString::fromLatin1(row.buttons[bankFromZero]), QString(),
                             QStringLiteral("Erase bank %1 %2 sounds")
                                 .arg(bankFromZero + 1)
                                 .arg(QString::fromLatin1(row.caption)),
                             m_host);
        erase->setIcon(icon);
        erase->setToolTip(erase->accessibleName());
        connectHandler(erase, &QPushButton::clicked, this,
                       [this, soundRow = row.row, bankFromZero] { eraseRow(soundRow, bankFromZero); });
        QList<QWidget*> widgets{erase};
        for (int index : SlotsOfRow(bankFromZero + 1, row.row)) {
            const SoundSlot& slot = table[index];
            QPushButton* b = button(slot.button, slot.caption, slot.accessibleName, m_host);
            m_slotButtons[index] = b;
            b->setFixedWidth(SLOT_BUTTON_WIDTH);
            connectHandler(b, &QPushButton::clicked, this, [this, index] { uploadToSlot(index); });
            widgets.append(b);
        }
        m_rows.append(widgets);
    }
}

void SlotControls::buildActionRow()
{
    m_actionRow = new QWidget(m_host);
    m_eraseAllButton = button(QStringLiteral("eraseAllButton"), QStringLiteral("Erase All Sounds"),
                              QStringLiteral("Erase All Sounds"), m_actionRow);
    connectHandler(m_eraseAllButton, &QPushButton::clicked, this, [this] { eraseAllSounds(); });
    m_soundFileRule = new QLabel(RULE_TEXT, m_actionRow);
    m_soundFileRule->setObjectName(QStringLiteral("soundFileRule"));
    m_soundFileRule->setAccessibleName(RULE_TEXT);
    m_importFontButton = button(QStringLiteral("importFontButton"), QStringLiteral("Import font..."),
                                QStringLiteral("Import a sound font into a bank"), m_actionRow);
    connectHandler(m_importFontButton, &QPushButton::clicked, this, [this] { importFont(); });
    m_slotContentsButton = button(QStringLiteral("slotContentsButton"), QStringLiteral("Slot contents"),
                                  QStringLiteral("What each slot holds"), m_actionRow);
    connectHandler(m_slotContentsButton, &QPushButton::clicked, this, [this] { showSlotContents(); });
    m_journalNote = new QLabel(m_actionRow);
    m_journalNote->setObjectName(QStringLiteral("journalNote"));
    m_journalNote->setWordWrap(true);
    auto* cells = new QHBoxLayout(m_actionRow);
    cells->setContentsMargins(0, 0, 0, 0);
    cells->addWidget(m_eraseAllButton);
    cells->addWidget(m_importFontButton);
    cells->addWidget(m_slotContentsButton);
    cells->addWidget(m_journalNote, TEXT_STRETCH);
    cells->addWidget(m_soundFileRule, TEXT_STRETCH);
    m_setUpControls = {m_eraseAllButton, m_importFontButton};
    for (QWidget* sending : m_setUpControls)
        sending->setEnabled(false);
}

void SlotControls::buildSlotMenu()
{
    // A submenu per bank, the kinds of several slots in submenus of their own.
    const QList<SoundSlot>& table = SoundSlots();
    m_slotMenu = new QMenu(m_host);
    m_slotMenu->setObjectName(QStringLiteral("slotMenu"));
    for (int b = 0; b < static_cast<int>(BankMenus().size()); ++b) {
        const BankMenuEntry& menu = BankMenus()[b];
        QMenu* bank = m_slotMenu->addMenu(QString::fromLatin1(menu.caption));
        bank->setObjectName(QString::fromLatin1(menu.name));
        QMenu* swing = nullptr;
        QMenu* clash = nullptr;
        QMenu* powerClash = nullptr;
        for (int index = 0; index < table.size(); ++index) {
            const SoundSlot& slot = table[index];
            if (slot.bank != b + 1)
                continue;
            QMenu* into = bank;
            if (slot.kind == SlotKind::Swing)
                into = swing ? swing : (swing = bank->addMenu(QStringLiteral("Swing")));
            else if (slot.kind == SlotKind::Clash)
                into = clash ? clash : (clash = bank->addMenu(QStringLiteral("Clash")));
            else if (slot.kind == SlotKind::PowerClash)
                into = powerClash ? powerClash
                                  : (powerClash = bank->addMenu(QString::fromLatin1(menu.powerClashCaption)));
            QAction* item = into->addAction(slot.menu.caption);
            item->setObjectName(slot.menu.name);
            connectHandler(item, &QAction::triggered, this, [this, index] { uploadFromMenu(index); });
        }
    }
    m_browser.setFileMenu(m_slotMenu);
}

void SlotControls::buildJournal()
{
    m_journal = new BoardJournal([this] { return m_board.readSerialNumber(); }, {}, this);
    // A board not read yet is no fault of the operation: a note, not a message
    // after every upload.
    connect(m_journal, &BoardJournal::unknownBoard, this, &SlotControls::showJournalNote);
    connect(m_journal, &BoardJournal::notRecorded, this,
            [](const QString& why) { ShowMessageWhenSettled(why); });
    // The note holds until a read has told which board this is.
    connect(&m_board, &Params::Board::readEnded, this, [this] {
        if (!m_board.readSerialNumber().isEmpty())
            showJournalNote({});
    });
}

bool SlotControls::runJournalled(Operation* operation, const QString& refusal)
{
    if (refusal.isEmpty())
        return m_runOperation(operation);
    delete operation;
    ShowMessage(refusal);
    return false;
}

bool SlotControls::runManyFiles(Operation* operation, const QString& refusal)
{
    // The board's "End." after each file is kept while the load holds the link
    // and routed once it lets go: it must not report each file as if it had been
    // sent alone. Interactive use resumes after those answers, in their order.
    RICHIESTA = false;
    connect(operation, &Operation::finished, m_board.link(), [link = m_board.link()] {
        QMetaObject::invokeMethod(
            link, [] { appClock().whenNotPaused([] { RICHIESTA = true; }); }, Qt::QueuedConnection);
    });
    const bool started = runJournalled(operation, refusal);
    if (!started)
        RICHIESTA = true;
    return started;
}

void SlotControls::showJournalNote(const QString& text)
{
    m_journalNote->setText(text);
    m_journalNote->setAccessibleName(text);
}

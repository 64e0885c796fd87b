// The sound controls of the "Parameters" tab: each row panel's erase button and
// slot buttons, "Erase All Sounds" with the rule for sound files, and the file
// list's context menu. All of them come from the slot table.
#include "app/SetupWindow.h"
#include "sound/ui/SoundBrowser.h"
#include "sound/ui/InfoFileBox.h"

#include "common/Clock.h"
#include "common/Define.h"
#include "common/ui/Handlers.h"

#include <QAction>
#include <QFrame>
#include <QGroupBox>
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

void SetupWindow::buildSoundControls(const QList<QFrame*>& rowPanels, QGroupBox* parameterGroup)
{
    const QList<SoundSlot>& table = SoundSlots();
    slotButtons = QList<QPushButton*>(table.size(), nullptr);

    const QIcon icon = eraseIcon();
    for (int r = 0; r < rowPanels.size(); ++r) {
        QFrame* panel = rowPanels[r];
        const int bankFromZero = r / Define::SOUND_ROWS_PER_BANK;
        const int rowIndex = r % Define::SOUND_ROWS_PER_BANK;
        const EraseRowEntry& row = EraseRows()[rowIndex];
        auto* erase = button(QString::fromLatin1(row.buttons[bankFromZero]), QString(),
                             QStringLiteral("Erase bank %1 %2 sounds")
                                 .arg(bankFromZero + 1)
                                 .arg(QString::fromLatin1(row.caption)),
                             panel);
        erase->setIcon(icon);
        erase->setToolTip(erase->accessibleName());
        eraseButtons.append(erase);
        connectHandler(
            erase, &QPushButton::clicked, this,
            [this, soundRow = row.row, bankFromZero] { eraseRow(soundRow, bankFromZero); });
        auto* cells = qobject_cast<QHBoxLayout*>(panel->layout());
        cells->addWidget(erase);
        for (int index : SlotsOfRow(bankFromZero + 1, row.row)) {
            const SoundSlot& slot = table[index];
            QPushButton* b = button(slot.button, slot.caption, slot.accessibleName, panel);
            slotButtons[index] = b;
            b->setFixedWidth(SLOT_BUTTON_WIDTH);
            connectHandler(b, &QPushButton::clicked, this, [this, index] { uploadToSlot(index); });
            cells->addWidget(b);
        }
    }

    // "Erase All Sounds" and the rule, above the rows.
    eraseAllButton = button(QStringLiteral("eraseAllButton"), QStringLiteral("Erase All Sounds"),
                          QStringLiteral("Erase All Sounds"), parameterGroup);
    connectHandler(eraseAllButton, &QPushButton::clicked, this, [this] { eraseAllSounds(); });
    soundFileRule = new QLabel(RULE_TEXT, parameterGroup);
    soundFileRule->setObjectName(QStringLiteral("soundFileRule"));
    soundFileRule->setAccessibleName(RULE_TEXT);
    importFontButton = button(QStringLiteral("importFontButton"), QStringLiteral("Import font..."),
                              QStringLiteral("Import a sound font into a bank"), parameterGroup);
    connectHandler(importFontButton, &QPushButton::clicked, this, [this] { importFont(); });
    slotContentsButton = button(QStringLiteral("slotContentsButton"), QStringLiteral("Slot contents"),
                                QStringLiteral("What each slot holds"), parameterGroup);
    connectHandler(slotContentsButton, &QPushButton::clicked, this, [this] { showSlotContents(); });
    journalNote = new QLabel(parameterGroup);
    journalNote->setObjectName(QStringLiteral("journalNote"));
    journalNote->setWordWrap(true);
    auto* soundRow = new QHBoxLayout;
    soundRow->addWidget(eraseAllButton);
    soundRow->addWidget(importFontButton);
    soundRow->addWidget(slotContentsButton);
    soundRow->addWidget(journalNote, 1);
    soundRow->addWidget(soundFileRule, 1);
    qobject_cast<QBoxLayout*>(parameterGroup->layout())->insertLayout(1, soundRow);
    for (QPushButton* sending : {eraseAllButton, importFontButton}) {
        m_setUpControls.append(sending);
        sending->setEnabled(false);
    }

    // The file list's menu: a submenu per bank, the kinds of several slots in
    // submenus of their own.
    slotMenu = new QMenu(this);
    slotMenu->setObjectName(QStringLiteral("slotMenu"));
    for (int b = 0; b < static_cast<int>(BankMenus().size()); ++b) {
        const BankMenuEntry& menu = BankMenus()[b];
        QMenu* bank = slotMenu->addMenu(QString::fromLatin1(menu.caption));
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
    QListWidget* files = m_browser->soundFileList;
    files->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(files, &QWidget::customContextMenuRequested, this,
            [this, files](const QPoint& at) { slotMenu->popup(files->viewport()->mapToGlobal(at)); });
}

// Builds the header and shows what the board says of itself: the release and
// the serial number as their replies are decoded, and the mark on either when
// a read ended without it.
#include "params/ui/HeaderPanel.h"

#include "common/Define.h"
#include "common/ui/Named.h"
#include "common/ui/UnreadMark.h"
#include "common/ui/ValueLabel.h"
#include "params/ParameterLayout.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {
const QColor HEADER_COLOUR(43, 52, 64);
const QColor HEADER_TEXT_COLOUR(230, 234, 238);
} // namespace

HeaderPanel::HeaderPanel(Params::Board& board, HandOverActions actions, QWidget* parent)
    : BoardPanel(board, parent)
    , m_takeFirmwareLossNote(std::move(actions.takeFirmwareLossNote))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    buildIdentityBand();
    row->addWidget(m_identityBand);
    buildServiceGroups();
    buildFirmwareButton(std::move(actions));
    connect(&board, &Params::Board::decoded, this, &HeaderPanel::showDecoded);
    connect(&board, &Params::Board::readEnded, this, &HeaderPanel::showUnreadMarks);
    // "FW" is for set-up mode only.
    connect(&board, &Params::Board::setUpModeChanged, m_firmwareButton, &QWidget::setEnabled);
}

void HeaderPanel::buildIdentityBand()
{
    // Release and serial number, on a dark band so they read at a glance.
    m_identityBand = named(new QFrame(this), "identityBand", QStringLiteral("Board identity"));
    m_identityBand->setAutoFillBackground(true);
    QPalette band = m_identityBand->palette();
    band.setColor(QPalette::Window, HEADER_COLOUR);
    band.setColor(QPalette::WindowText, HEADER_TEXT_COLOUR);
    m_identityBand->setPalette(band);
    auto* identity = new QGridLayout(m_identityBand);
    auto* releaseCaption = named(new QLabel(QStringLiteral("Release n."), m_identityBand), "releaseCaption",
                                 QStringLiteral("Release caption"));
    m_releaseNumber = valueLabel("releaseNumber", QStringLiteral("Firmware release"), m_identityBand);
    auto* serialCaption = named(new QLabel(QStringLiteral("Serial N."), m_identityBand), "serialCaption",
                                QStringLiteral("Serial number caption"));
    m_serialNumber = valueLabel("serialNumber", QStringLiteral("Serial number"), m_identityBand);
    for (QLabel* value : {m_releaseNumber, m_serialNumber}) {
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    identity->addWidget(releaseCaption, 0, 0);
    identity->addWidget(m_releaseNumber, 0, 1);
    identity->addWidget(serialCaption, 1, 0);
    identity->addWidget(m_serialNumber, 1, 1);
    m_writeSerialButton = named(new QPushButton(QStringLiteral("WriteSN"), m_identityBand),
                                "writeSerialButton", QStringLiteral("WriteSN"));
    identity->addWidget(m_writeSerialButton, 0, 2, 2, 1);
}

void HeaderPanel::buildServiceGroups()
{
    m_factoryTestBox =
        named(new QGroupBox(QStringLiteral("Collaudo"), this), "factoryTestBox", QStringLiteral("Collaudo"));
    auto* collaudo = new QHBoxLayout(m_factoryTestBox);
    auto* serialLot = valueLabel("serialLot", QStringLiteral("Serial number, lot"), m_factoryTestBox);
    auto* serialRunningNumber =
        valueLabel("serialRunningNumber", QStringLiteral("Serial number, running serial"), m_factoryTestBox);
    auto* oldSerialNumber =
        valueLabel("oldSerialNumber", QStringLiteral("Old-format serial number"), m_factoryTestBox);
    for (QLabel* l : {serialLot, serialRunningNumber, oldSerialNumber})
        collaudo->addWidget(l);
    m_flashServiceBox = named(new QGroupBox(QStringLiteral("Flash App."), this), "flashServiceBox",
                              QStringLiteral("Flash App."));
    m_bootServiceBox = named(new QGroupBox(QStringLiteral("Boot App."), this), "bootServiceBox",
                             QStringLiteral("Boot App."));
    for (QGroupBox* g : {m_factoryTestBox, m_flashServiceBox, m_bootServiceBox})
        g->hide();
}

void HeaderPanel::fill()
{
    for (QWidget* hidden : std::initializer_list<QWidget*>{m_writeSerialButton, m_factoryTestBox,
                                                           m_flashServiceBox, m_bootServiceBox})
        hidden->hide();
}

void HeaderPanel::showDecoded(const Params::DecoderEffect& effect)
{
    using Kind = Params::DecoderEffect::Kind;
    if (effect.kind == Kind::SetText) {
        if (auto* label = findChild<ValueLabel*>(effect.control))
            label->setValue(effect.text);
    } else if (effect.kind == Kind::FormatSerialNumber) {
        m_serialNumber->setValue(board().shownSerialNumber());
    }
}

void HeaderPanel::showUnreadMarks()
{
    const Params::ReadState& state = board().readState();
    setUnreadMark(m_releaseNumber, state.isUnread(Define::ADDR_VERSIONE), UnreadLook::Frame);
    bool serialUnread = false;
    for (const Params::SerialPartLabel& part : Params::serialPartLabels())
        serialUnread = serialUnread || state.isUnread(part.firstAddress);
    setUnreadMark(m_serialNumber, serialUnread, UnreadLook::Frame);
}

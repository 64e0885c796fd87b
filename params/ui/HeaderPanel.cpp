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

HeaderPanel::HeaderPanel(Params::Board& board, PortActions portActions, QWidget* parent)
    : QWidget(parent)
    , m_board(board)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    buildIdentityBand();
    row->addWidget(identityBand);
    buildServiceGroups();
    buildFirmwareButton(std::move(portActions));
    connect(&m_board, &Params::Board::decoded, this, &HeaderPanel::showDecoded);
    connect(&m_board, &Params::Board::readEnded, this, &HeaderPanel::showUnreadMarks);
    // "FW" is for set-up mode only.
    connect(&m_board, &Params::Board::setUpModeChanged, firmwareButton, &QWidget::setEnabled);
}

void HeaderPanel::buildIdentityBand()
{
    // Release and serial number, on a dark band so they read at a glance.
    identityBand = named(new QFrame(this), "identityBand", QStringLiteral("Board identity"));
    identityBand->setAutoFillBackground(true);
    QPalette band = identityBand->palette();
    band.setColor(QPalette::Window, HEADER_COLOUR);
    band.setColor(QPalette::WindowText, HEADER_TEXT_COLOUR);
    identityBand->setPalette(band);
    auto* identity = new QGridLayout(identityBand);
    releaseCaption = named(new QLabel(QStringLiteral("Release n."), identityBand), "releaseCaption",
                           QStringLiteral("Release caption"));
    releaseNumber = valueLabel("releaseNumber", QStringLiteral("Firmware release"), identityBand);
    serialCaption = named(new QLabel(QStringLiteral("Serial N."), identityBand), "serialCaption",
                          QStringLiteral("Serial number caption"));
    serialNumber = valueLabel("serialNumber", QStringLiteral("Serial number"), identityBand);
    for (QLabel* value : {releaseNumber, serialNumber}) {
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    identity->addWidget(releaseCaption, 0, 0);
    identity->addWidget(releaseNumber, 0, 1);
    identity->addWidget(serialCaption, 1, 0);
    identity->addWidget(serialNumber, 1, 1);
    writeSerialButton =
        named(new QPushButton(QStringLiteral("WriteSN"), identityBand), "writeSerialButton", QStringLiteral("WriteSN"));
    identity->addWidget(writeSerialButton, 0, 2, 2, 1);
}

void HeaderPanel::buildServiceGroups()
{
    factoryTestBox =
        named(new QGroupBox(QStringLiteral("Collaudo"), this), "factoryTestBox", QStringLiteral("Collaudo"));
    auto* collaudo = new QHBoxLayout(factoryTestBox);
    serialLot = valueLabel("serialLot", QStringLiteral("Serial number, lot"), factoryTestBox);
    serialRunningNumber =
        valueLabel("serialRunningNumber", QStringLiteral("Serial number, running serial"), factoryTestBox);
    oldSerialNumber = valueLabel("oldSerialNumber", QStringLiteral("Old-format serial number"), factoryTestBox);
    for (QLabel* l : {serialLot, serialRunningNumber, oldSerialNumber})
        collaudo->addWidget(l);
    flashServiceBox =
        named(new QGroupBox(QStringLiteral("Flash App."), this), "flashServiceBox", QStringLiteral("Flash App."));
    bootServiceBox =
        named(new QGroupBox(QStringLiteral("Boot App."), this), "bootServiceBox", QStringLiteral("Boot App."));
    for (QGroupBox* g : {factoryTestBox, flashServiceBox, bootServiceBox})
        g->hide();
}

void HeaderPanel::windowShown()
{
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{writeSerialButton, factoryTestBox, flashServiceBox, bootServiceBox})
        hidden->hide();
}

void HeaderPanel::showDecoded(const Params::DecoderEffect& effect)
{
    using Kind = Params::DecoderEffect::Kind;
    if (effect.kind == Kind::SetText) {
        if (auto* label = findChild<ValueLabel*>(effect.control))
            label->setValue(effect.text);
    } else if (effect.kind == Kind::FormatSerialNumber) {
        serialNumber->setValue(m_board.shownSerialNumber());
    }
}

void HeaderPanel::showUnreadMarks()
{
    const Params::ReadState& state = m_board.readState();
    setUnreadMark(releaseNumber, state.isUnread(Define::ADDR_VERSIONE), UnreadLook::Frame);
    bool serialUnread = false;
    for (const Params::SerialPartLabel& part : Params::serialPartLabels())
        serialUnread = serialUnread || state.isUnread(part.firstAddress);
    setUnreadMark(serialNumber, serialUnread, UnreadLook::Frame);
}

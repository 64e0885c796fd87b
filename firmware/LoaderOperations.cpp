#include "firmware/LoaderOperations.h"

#include "comm/Frames.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "firmware/BootTexts.h"
#include "firmware/HexReader.h"
#include "firmware/LoaderPace.h"

FirmwareErase::FirmwareErase(BoardLink& link, QObject* parent)
    : Operation(link, parent)
    , m_timer(new WindowTimer(this, Define::FIRMWARE_TICK_MS))
{
    m_timer->setObjectName(QStringLiteral("EraseTimer"));
    m_timer->setOnTimer([this] { tick(); });
    describe({QStringLiteral("Erase"), QStringLiteral("frames"), 1, BoardLink::Blocks::Routed});
    connect(&link, &BoardLink::acknowledged, this, [this](char code) {
        if (running() && code == Define::ERASEFLASHAPP_CMD) {
            halt();
            finish(true);
        }
    });
}

void FirmwareErase::run()
{
    const BoardLink::Sending sending(link());
    if (!link().sendCommand(LoaderFrame(Define::ERASEFLASHAPP_CMD, 0)))
        return;
    progress(1);
    m_ticks = 0;
    m_timer->setEnabled(true);
}

void FirmwareErase::tick()
{
    if (++m_ticks < Define::FIRMWARE_TIMEOUT_TICKS)
        return;
    halt();
    finish(false, BootTexts::EraseTimeout());
}

void FirmwareErase::halt()
{
    m_timer->setEnabled(false);
}

FirmwareRun::FirmwareRun(BoardLink& link, QStringList lines, const Hex::HexSummary& summary, QObject* parent)
    : Operation(link, parent)
    , m_lines(std::move(lines))
    , m_summary(summary)
    , m_timer(new WindowTimer(this, Define::FIRMWARE_TICK_MS))
    , m_msLeft(summary.runMs)
{
    m_timer->setObjectName(QStringLiteral("RunTimer"));
    m_timer->setOnTimer([this] { tick(); });
    describe({QStringLiteral("Program"), QStringLiteral("words"), summary.words, BoardLink::Blocks::Routed});
    // Either acknowledgement releases the next line.
    connect(&link, &BoardLink::acknowledged, this, [this] { m_acknowledged = true; });
}

void FirmwareRun::run()
{
    m_timer->setEnabled(true);
}

void FirmwareRun::halt()
{
    m_timer->setEnabled(false);
}

void FirmwareRun::tick()
{
    if (!m_acknowledged) {
        // The count is of the silence since the last acknowledgement: a board
        // that is slow on every line but answers is never cut off.
        if (++m_silentTicks >= Define::FIRMWARE_TIMEOUT_TICKS) {
            halt();
            finish(false, BootTexts::RunTimeout());
        }
        return;
    }
    m_silentTicks = 0;
    if (m_nextLine >= m_lines.size()) {
        halt();
        finish(true, BootTexts::Done(m_wordsSent));
        return;
    }
    const QString line = m_lines[m_nextLine++];
    const int wordsBefore = m_wordsSent;
    if (!sendLine(line)) {
        halt();
        finish(false, BootTexts::NotIntelHex());
        return;
    }
    if (!running()) // the device went away during a word's pause
        return;
    m_msLeft = std::max<qint64>(0, m_msLeft - Hex::LineMs(m_wordsSent - wordsBefore));
    progress(m_wordsSent);
}

bool FirmwareRun::sendLine(const QString& line)
{
    const Hex::DecodedLine decoded = Hex::DecodeHexRecord(line);
    if (!decoded.intelHex)
        return false;
    int address = decoded.address;
    for (const std::uint16_t word : decoded.words) {
        {
            const BoardLink::Sending sending(link());
            if (!link().sendCommand(LoaderFrame(Define::WRITEFLASHAPP_CMD, word)))
                return true; // the port went under the run; the link reports it
        }
        m_acknowledged = false;
        ++m_wordsSent;
        emit wordSent(address, word);
        address += Define::HEX_WORD_ADDRESS_STEP;
        Sleep(Define::FIRMWARE_WORD_PAUSE_MS);
        // The device went away during the pause: the rest of the line has nowhere to go.
        if (!running())
            return true;
    }
    // A field that is not hexadecimal ends the line after the words before it.
    return decoded.conversionError.isEmpty();
}

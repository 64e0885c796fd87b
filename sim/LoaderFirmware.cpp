#include "sim/LoaderFirmware.h"

#include "common/Define.h"
#include "sim/BoardBlocks.h"
#include "sim/SimDefaults.h"
#include "sim/SimLog.h"

LoaderFirmware::LoaderFirmware(BoardMemory& memory, BoardOutput output)
    : m_memory(memory)
    , m_output(std::move(output))
    , m_parser(Define::LOADER_FRAME_LENGTH, SimDefaults::FRAME_GAP_MS)
{
    m_parser.onDiscarded = [this](const QByteArray& dropped) {
        m_memory.counters.ignoredBytes += dropped.size();
        SimLog::note(QStringLiteral("loader ignored bytes: %1").arg(SimLog::hex(dropped)));
    };
}

void LoaderFirmware::powerUp()
{
    m_parser.reset(Define::LOADER_FRAME_LENGTH);
}

void LoaderFirmware::receive(const QByteArray& chunk, Arrival arrival)
{
    m_parser.append(chunk, arrival);
    while (const auto frame = m_parser.takeFrame())
        handleFrame(*frame);
}

void LoaderFirmware::handleFrame(const Frame& frame)
{
    ++m_memory.counters.frames;
    switch (frame.code) {
    case Define::ERASEFLASHAPP_CMD:
        SimLog::note(QStringLiteral("loader: erase program memory"));
        m_memory.program.erase();
        m_output(BoardBlocks::loaderAck(frame.code), Delivery::Queued, BlockKind::Ack);
        return;
    case Define::WRITEFLASHAPP_CMD:
        if (m_memory.program.append(frame.word())) {
            ++m_memory.counters.programWords;
        } else {
            ++m_memory.counters.programOverflow;
            SimLog::note(QStringLiteral("loader: program memory full, word dropped"));
        }
        m_output(BoardBlocks::loaderAck(frame.code), Delivery::Queued, BlockKind::Ack);
        return;
    default:
        ++m_memory.counters.ignoredFrames;
        SimLog::note(QStringLiteral("loader ignored frame %1")
                         .arg(SimLog::hex(QByteArray(1, frame.code) + frame.payload)));
        return;
    }
}

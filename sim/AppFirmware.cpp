#include "sim/AppFirmware.h"

#include "common/Define.h"
#include "sim/BoardBlocks.h"
#include "sim/ShotShape.h"
#include "sim/SimDefaults.h"
#include "sim/SimLog.h"
#include "sim/Uptime.h"

#include <algorithm>

namespace {

constexpr int MS_PER_S = 1000;
constexpr int ADDRESS_BYTE = 0;      // payload byte 1: the parameter address
constexpr int VALUE_BYTE = 1;        // payload byte 2: the value written
constexpr int ADDRESS_COPY_BYTE = 1; // payload byte 2 of a read request: the address again
constexpr int ADDRESS_DIGITS = 6;
constexpr int HEX_BASE = 16;
// After a late joined block, the next answer comes alone this much later, so
// that the host reads it as a block of its own.
constexpr int SEPARATE_ANSWER_DELAY_MS = 3;
constexpr int BYTE_DIGITS = 2;

bool isBoardStatus(quint8 value)
{
    return value >= Define::STATO_TAVRIN_ACTIVE && value <= Define::STATO_TAVRIN_COMMAND_MODE_NOTX;
}

QString hexAddress(quint32 address)
{
    return QStringLiteral("0x%1").arg(address, ADDRESS_DIGITS, HEX_BASE, QLatin1Char('0'));
}

} // namespace

std::span<const AppFirmware::Command> AppFirmware::commands()
{
    using SimDefaults::SECTOR_ERASE_BUSY_MS;
    using SimDefaults::WRITE_BUSY_MS;
    static const Command table[] = {
        {Define::WRITE_CMD, static_cast<Handler>(&AppFirmware::writeParameter), "write parameter",
         WRITE_BUSY_MS},
        {Define::READ_CMD, &AppFirmware::readParameter, "read parameter", 0},
        {Define::CLOSEREADFLASH_CMD, &AppFirmware::armEraseAll, "close read sequence", 0},
        {Define::ERASEALL_CMD, &AppFirmware::eraseAll, "erase all", 0},
        {Define::ERASESECTOR_CMD, &AppFirmware::eraseSector, "erase sector", SECTOR_ERASE_BUSY_MS},
        {Define::DATAFILE_CMD, &AppFirmware::startUpload, "upload", 0},
        {Define::SOUND_SECT_CMD_64, &AppFirmware::acceptSlotRequest, "slot request", 0},
        {Define::LOOP_CMD, &AppFirmware::acceptSlotRequest, "bank 1 hum request", 0},
        {Define::LOOP1_CMD, &AppFirmware::acceptSlotRequest, "bank 2 hum request", 0},
        {Define::LOOP2_CMD, &AppFirmware::acceptSlotRequest, "bank 3 hum request", 0},
    };
    return table;
}

AppFirmware::AppFirmware(BoardMemory& memory, BoardOutput output, int rate, int idleMs, QObject* parent)
    : QObject(parent)
    , m_memory(memory)
    , m_output(std::move(output))
    , m_parser(Define::COMAND_LENGHT, SimDefaults::FRAME_GAP_MS)
    , m_rate(rate)
{
    m_parser.onDiscarded = [this](const QByteArray& dropped) {
        m_memory.counters.ignoredBytes += dropped.size();
        SimLog::note(QStringLiteral("ignored bytes: %1").arg(SimLog::hex(dropped)));
    };
    m_telemetryTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_telemetryTimer, &QTimer::timeout, this, &AppFirmware::sendTelemetry);
    m_uploadIdle.setSingleShot(true);
    m_uploadIdle.setInterval(idleMs);
    connect(&m_uploadIdle, &QTimer::timeout, this, &AppFirmware::finishUpload);
}

void AppFirmware::powerUp()
{
    halt();
    m_memory.parameters.write(Define::ADDR_STATO_TAVRIN, Define::STATO_TAVRIN_ACTIVE);
}

void AppFirmware::halt()
{
    m_telemetryTimer.stop();
    m_uploadIdle.stop();
    m_uploading = false;
    m_eraseAllArmed = false;
    m_parser.reset(Define::COMAND_LENGHT);
    m_pacing.reset();
}

quint8 AppFirmware::status() const
{
    return m_memory.parameters.read(Define::ADDR_STATO_TAVRIN);
}

void AppFirmware::receive(const QByteArray& chunk, Arrival arrival)
{
    if (m_deaf) {
        m_memory.counters.deafBytes += chunk.size();
        return;
    }
    if (m_uploading) {
        feedUpload(chunk);
        return;
    }
    m_parser.append(chunk, arrival);
    while (const auto frame = m_parser.takeFrame()) {
        handleFrame(*frame);
        if (m_deafAfter == frame->code) {
            goDeaf();
            m_memory.counters.deafBytes += m_parser.takeRemaining().size();
            return;
        }
        if (m_uploading) {
            // Every byte after the upload request belongs to the sample stream.
            feedUpload(m_parser.takeRemaining());
            return;
        }
    }
}

void AppFirmware::handleFrame(const Frame& frame)
{
    ++m_memory.counters.frames;
    const auto table = commands();
    const auto command =
        std::find_if(table.begin(), table.end(), [&](const Command& c) { return c.code == frame.code; });
    const bool known = command != table.end();
    if (!m_pacing.admit(frame, known ? command->busyMs : 0))
        return; // busy: the frame never reaches the firmware
    const bool armed = std::exchange(m_eraseAllArmed, false);
    if (!known) {
        ++m_memory.counters.ignoredFrames;
        SimLog::note(QStringLiteral("ignored frame with code 0x%1")
                         .arg(quint8(frame.code), BYTE_DIGITS, HEX_BASE, QLatin1Char('0')));
        return;
    }
    SimLog::note(QStringLiteral("%1: %2").arg(QLatin1String(command->name), SimLog::hex(frame.payload)));
    if (command->handler == &AppFirmware::eraseAll && !armed) {
        ++m_memory.counters.ignoredFrames;
        SimLog::note(QStringLiteral("erase all ignored: it must follow the close read sequence"));
        return;
    }
    (this->*command->handler)(frame);
}

void AppFirmware::writeParameter(const Frame& frame)
{
    writeParameter(frame.byte(ADDRESS_BYTE), frame.byte(VALUE_BYTE));
}

void AppFirmware::writeParameter(quint8 address, quint8 value)
{
    if (address == Define::ADDR_STATO_TAVRIN) {
        setStatus(value);
        return;
    }
    m_memory.parameters.write(address, value);
}

void AppFirmware::readParameter(const Frame& frame)
{
    const quint8 address = frame.byte(ADDRESS_BYTE);
    if (frame.byte(ADDRESS_COPY_BYTE) != address) {
        ++m_memory.counters.malformedFrames;
        SimLog::note(QStringLiteral("read request with two different addresses ignored"));
        return;
    }
    if (const auto injected = m_injections.find(address); injected != m_injections.end()) {
        inject(injected->second);
        m_injections.erase(injected);
    }
    const QByteArray reply = BoardBlocks::readAnswer(address, m_memory.parameters.read(address));
    if (m_late && m_late->address == address && m_late->answer.isEmpty()) {
        m_late->answer = reply;
        return;
    }
    answer(address, reply);
    if (m_late && !m_late->answer.isEmpty() && --m_late->later <= 0) {
        const LateAnswer late = *std::exchange(m_late, std::nullopt);
        answer(late.address, late.answer);
    }
}

void AppFirmware::answerLate(quint8 address, int later)
{
    m_late = LateAnswer{address, later, {}};
}

void AppFirmware::answer(quint8 address, const QByteArray& reply)
{
    QByteArray delayed;
    for (const QByteArray& block : m_replyJoin.answer(address, reply, &delayed))
        m_output(block, Delivery::Queued, BlockKind::Reply);
    if (!delayed.isEmpty())
        QTimer::singleShot(SEPARATE_ANSWER_DELAY_MS, this,
                           [this, delayed] { m_output(delayed, Delivery::Queued, BlockKind::Reply); });
}

void AppFirmware::inject(const QByteArray& bytes)
{
    m_output(bytes, Delivery::Queued, BlockKind::Reply);
}

void AppFirmware::injectBefore(quint8 address, const QByteArray& bytes)
{
    m_injections[address] = bytes;
}

void AppFirmware::armEraseAll(const Frame&)
{
    m_eraseAllArmed = true;
}

void AppFirmware::eraseAll(const Frame&)
{
    m_memory.sound.eraseAll();
}

void AppFirmware::eraseSector(const Frame& frame)
{
    if (!m_memory.sound.eraseSectorAt(frame.address()))
        SimLog::note(QStringLiteral("sector erase beyond sound memory at %1 ignored")
                         .arg(hexAddress(frame.address())));
}

void AppFirmware::startUpload(const Frame& frame)
{
    m_uploadAddress = frame.address();
    m_uploadLength = 0;
    m_uploading = true;
    m_uploadIdle.start();
}

void AppFirmware::acceptSlotRequest(const Frame&)
{
    // The board gets ready to play or store the slot; nothing is answered.
}

void AppFirmware::setStatus(quint8 status)
{
    if (!isBoardStatus(status)) {
        SimLog::note(QStringLiteral("board status %1 ignored").arg(status));
        return;
    }
    m_memory.parameters.write(Define::ADDR_STATO_TAVRIN, status);
    if (status != Define::STATO_TAVRIN_COMMAND_MODE_TX) {
        m_telemetryTimer.stop();
        return;
    }
    if (!m_telemetryTimer.isActive()) {
        m_telemetryTimer.start(telemetryIntervalMs());
        sendTelemetry(); // the stream answers the TX write at once
    }
}

void AppFirmware::feedUpload(const QByteArray& bytes)
{
    for (const char byte : bytes) {
        if (m_memory.sound.program(m_uploadAddress, static_cast<quint8>(byte)))
            ++m_memory.counters.uploadBytes;
        else
            ++m_memory.counters.overflowBytes;
        ++m_uploadAddress;
    }
    m_uploadLength += bytes.size();
    m_uploadIdle.start();
}

void AppFirmware::finishUpload()
{
    m_uploading = false;
    ++m_memory.counters.uploads;
    SimLog::note(QStringLiteral("sample stream ended after %1 bytes").arg(m_uploadLength));
    m_output(BoardBlocks::uploadDone(), Delivery::Queued, BlockKind::End);
}

void AppFirmware::deafenAfter(char code)
{
    m_deafAfter = code;
}

void AppFirmware::hearAgain()
{
    m_deafAfter.reset();
    m_deaf = false;
}

void AppFirmware::goDeaf()
{
    m_deafAfter.reset();
    m_deaf = true;
    m_uploadIdle.stop();
    m_uploading = false;
    SimLog::note(QStringLiteral("deaf from here on"));
}

void AppFirmware::setRate(int perSecond)
{
    m_rate = perSecond;
    if (m_telemetryTimer.isActive())
        m_telemetryTimer.setInterval(telemetryIntervalMs());
}

int AppFirmware::telemetryIntervalMs() const
{
    return std::max(1, MS_PER_S / m_rate);
}

LedSetting AppFirmware::bladeLight() const
{
    using namespace Define;
    const ParameterMemory& p = m_memory.parameters;
    int bank = p.read(ADDR_BANK);
    if (bank < 1 || bank > BANK_COUNT)
        bank = 1;
    const int base = EEPROM_PAGE_SIZE * bank;
    const int page2 = EEPROM_PAGE2 + EEPROM_PAGE_SIZE * bank;
    const auto level = [&](int address) { return std::min<int>(p.read(address), PARAMETER_MAX_VALUE); };
    LedSetting led;
    led.red = level(base + ADDR_R1_BANK);
    led.green = level(base + ADDR_G1_BANK);
    led.blue = level(base + ADDR_B1_BANK);
    led.flickerRed = p.read(page2 + ADDR_RFBK_BANK);
    led.flickerGreen = p.read(page2 + ADDR_GFBK_BANK);
    led.flickerBlue = p.read(page2 + ADDR_BFBK_BANK);
    return led;
}

void AppFirmware::sendTelemetry()
{
    ++m_memory.counters.telemetryFrames;
    const TelemetryValues values = m_motion.sample(uptimeMs(), bladeLight());
    m_output(BoardBlocks::telemetry(values, status(), m_sequence++), Delivery::Droppable,
             BlockKind::Telemetry);
}

void AppFirmware::sendShot()
{
    ++m_memory.counters.shots;
    m_output(BoardBlocks::shot(dampedOscillation(m_shotCount++)), Delivery::Queued, BlockKind::Shot);
}

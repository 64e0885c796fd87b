// The real set-up window behind a scripted port, on simulated time: a run of
// blocks as the board might send them goes through the receive callback, the
// routing, every decoder and the widgets they fill. One window serves every
// input, as one window serves a whole session with the board.
//
// Input: a byte whose bit 0 tells whether an upload waits for its end, then
// records of one header byte (bit 7: a parameter reply is expected; bits 0-6:
// the block's length) followed by the block's bytes.
#include "FuzzInput.h"

#include "SetupWindowFixture.h"
#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/BoardLink.h"
#include "common/Define.h"
#include "common/Globals.h"
#include "common/ui/Application.h"
#include "motion/TelemetryFrame.h"

#include <QSet>

namespace {

constexpr std::uint8_t REPLY_EXPECTED = 0x80;
constexpr std::uint8_t UPLOAD_WAITING = 0x01;
constexpr std::uint8_t LENGTH_BITS = 0x7F;
// Past the board's pause after a "B" block, which holds what came after it.
constexpr int SETTLE_MS = Define::BLOCK_B_PAUSE_MS + 1000;

SetupWindowFixture* fixture = nullptr;

bool knownMessage(const QString& text)
{
    static const QSet<QString> known = {QStringLiteral(" Scrittura completata "),
                                        QStringLiteral("Uploading file completed."), QStringLiteral("r")};
    return known.contains(text);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_ACCESSIBILITY", "0");
    // The application lives until the process ends: Qt's own clean-up at exit
    // must not find it half destroyed. The windows and their folder go first.
    new TavrinApplication(*argc, *argv);
    fixture = new SetupWindowFixture;
    std::atexit([] { delete fixture; });
    fixture->setPortList({QStringLiteral("COM3")});
    fixture->openPort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    RICHIESTA = (input.byte() & UPLOAD_WAITING) != 0;
    while (!input.atEnd()) {
        const std::uint8_t header = input.byte();
        const ExactBlock block = input.take(header & LENGTH_BITS);
        setupWindow->board()->link()->setExpectingReply((header & REPLY_EXPECTED) != 0);
        fixture->port->feed(block.bytes());
        fixture->sim.clock.settle();
    }
    fixture->sim.clock.advance(SETTLE_MS);

    // Nothing escaped as an error box, only the board's own messages were
    // shown, and the link is still up.
    FUZZ_CHECK(fixture->dialogs.errors.isEmpty());
    FUZZ_CHECK(std::all_of(fixture->dialogs.messages.begin(), fixture->dialogs.messages.end(), knownMessage));
    FUZZ_CHECK(fixture->port->IsOpen() && fixture->port->closeCount == 0);
    FUZZ_CHECK(Telemetry.STATO >= 0 && Telemetry.STATO <= 0xFF);
    fixture->dialogs.clear();
    fixture->port->clearSent();
    return 0;
}

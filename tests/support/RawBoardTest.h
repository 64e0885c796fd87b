// The simulated board alone, reached byte by byte through a raw port on its
// pseudo-terminal: the set-up shared by the programs that check what the tool
// relies on from the board. Each test starts a fresh board and, at its end,
// checks the frames it sent while the (strict) board was busy.
#pragma once

#include "EndToEndFixture.h"
#include "RawPort.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <optional>

namespace RawBoard {
inline constexpr int ANSWER_TIMEOUT_MS = 2000; // the tool gives the board 2 s to answer
inline constexpr int END_TIMEOUT_MS = 5000;    // idle time of the stream plus slack
inline constexpr int STATE_TIMEOUT_MS = 5000;

QByteArray hex(const char* text);
// "#", "2", A, A, 0, 0, LF: the tool's read request.
QByteArray readRequest(int address);
} // namespace RawBoard

class RawBoardTest {
protected:
    // The test function's start and end (called from the test's init() and cleanup()).
    void startTest();
    void endTest();

    bool startBoard(const QStringList& arguments = {}, bool strict = true);
    bool openPort();
    bool closePort();
    int readParameter(int address);
    // Sends the upload request and the stream, and waits for "End.".
    bool upload(const QByteArray& request, const QList<QByteArray>& writes);
    // Sends a frame that has no answer and waits until the board has taken it.
    bool frameProcessed(const QByteArray& frame);
    // Sends a frame once the board is ready for it, as the tool paces its frames.
    bool writeWhenReady(const QByteArray& frame);
    // Waits until the board has taken or dropped count frames after the first before.
    bool framesTaken(qint64 before, qint64 count);

    EndToEndFixture m_e2e;
    SimBoard* m_board = nullptr;
    RawPort m_port;
    // Frames each test sends while the board is busy; unset when it cannot know.
    std::optional<qint64> m_expectedLate;
};

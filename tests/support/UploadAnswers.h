// The scripted board's answer to a sample stream, as a real board gives it:
// "End." once the stream after an upload request has left the line and the line
// has been quiet for a while. Scripted-port tests of uploads get it by default;
// a test of a board that never answers turns it off.
#pragma once

#include <QObject>

class BoardLink;
class ScriptedPort;
class WindowTimer;

class UploadAnswers : public QObject {
    Q_OBJECT
public:
    // The quiet line after which the board answers, as the simulator's default.
    static constexpr int QUIET_MS = 300;

    UploadAnswers(BoardLink& link, ScriptedPort& port, QObject* parent = nullptr);

    bool enabled = true;

private:
    void watch();

    ScriptedPort& m_port;
    WindowTimer* m_watch;
};

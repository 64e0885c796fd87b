// The record of what the board received: one line per chunk read from the port,
// "<ms since start> RX <bytes in hexadecimal>", for example
// "1234 RX 23 32 0A 0A 00 00 0A", and a line for each frame that came while the
// board was busy (see Pacing.h). Lines are flushed as they are written.
#pragma once

#include "sim/Pacing.h"

#include <QFile>
#include <QString>

class TrafficLog {
public:
    // Appends to path from now on (a running log is closed first).
    bool start(const QString& path, QString* error);
    void stop();
    bool active() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }

    void received(qint64 ms, const QByteArray& chunk);
    void late(const LateFrame& frame);

private:
    void writeLine(const QString& line);

    QFile m_file;
};

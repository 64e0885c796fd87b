// A serial device path opened the way a serial tool opens it (raw, O_NOCTTY),
// for tests that talk to a simulated board byte by byte. Reads wait for data up
// to a deadline; nothing here sleeps for a fixed time.
#pragma once

#include <QByteArray>
#include <QString>

class RawPort {
public:
    RawPort() = default;
    ~RawPort();
    RawPort(const RawPort&) = delete;
    RawPort& operator=(const RawPort&) = delete;

    bool open(const QString& path);
    void close();
    bool isOpen() const { return m_fd >= 0; }

    // Writes the bytes, in one write() call unless the line is backed up.
    bool write(const QByteArray& bytes);

    // The bytes of the first read() after data arrives: one block as the board
    // sent it (when the reader keeps up). Empty on time-out.
    QByteArray readBlock(int timeoutMs);
    // Reads until at least count bytes have arrived or the time is up.
    QByteArray read(int count, int timeoutMs);
    // Reads until the bytes received contain needle or the time is up.
    QByteArray readUntil(const QByteArray& needle, int timeoutMs);
    // Everything that arrives during the next ms milliseconds.
    QByteArray readFor(int ms);
    // What has arrived already, without waiting.
    QByteArray readPending();
    // Waits until the device hangs up (the far end went away).
    bool waitForHangup(int timeoutMs);

private:
    // One read() if data arrives before the deadline; false on hang-up or error.
    bool readOnce(QByteArray& into, int timeoutMs);

    int m_fd = -1;
    bool m_hungUp = false;
};

// A pseudo-terminal pair for tests of the serial component: the test holds the
// master side (the "device"), the component opens the slave path.
#pragma once

#include <QByteArray>
#include <QString>

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isValid() const { return m_master >= 0; }
    const QString& slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }

    // Writes bytes from the device side.
    void write(const QByteArray& bytes);
    // Reads what the component sent, waiting up to timeoutMs for at least `count` bytes.
    QByteArray read(int count, int timeoutMs = 2000);
    // The device goes away (the master side is closed).
    void closeMaster();

private:
    int m_master = -1;
    int m_slaveKeepAlive = -1; // keeps the slave configured until the component opens it
    QString m_slavePath;
};

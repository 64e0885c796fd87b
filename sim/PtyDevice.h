// The board's end of the serial link: the master side of a pseudo-terminal.
//
// Open and close of the slave (the tool's end) are seen on the master: while no
// process holds the slave open, poll() reports POLLHUP on the master and read()
// fails with EIO. The device therefore has two states:
//  - closed: the read notifier is off (a hung-up master would wake it without
//    end) and a timer polls the master every few milliseconds; the first poll
//    without POLLHUP means that someone opened the slave;
//  - open: a notifier reads every chunk as it arrives; EIO (or end of file)
//    means that the last holder of the slave closed it.
// The simulator never keeps the slave open itself, so each open by the tool is
// seen. An open and close quicker than the poll period can go unnoticed.
//
// Each chunk read comes with the bounds of its arrival (sim/Arrival.h): while
// open, the input is also looked at every few milliseconds, and each look or
// read that finds it empty moves the earliest moment the next chunk can have come.
#pragma once

#include "sim/Arrival.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

class PtyDevice : public QObject {
    Q_OBJECT
public:
    explicit PtyDevice(QObject* parent = nullptr);
    ~PtyDevice() override;

    // A new pseudo-terminal with its slave in raw mode. False with error on failure.
    bool create(QString* error);
    // Closes the master: whoever holds the slave sees a hang-up. Emits closed()
    // if the slave was open.
    void destroy();

    bool exists() const { return m_master >= 0; }
    bool isOpen() const { return m_open; }
    QString slavePath() const { return m_slavePath; }

    // Writes the bytes in one write when the slave is open, keeping what the
    // terminal does not take yet for later; drops them while it is closed. What
    // may wait and what is dropped is decided before (sim/WireShape.h).
    void write(const QByteArray& bytes);
    // Bytes written but not yet taken by the terminal.
    qsizetype backlog() const { return m_pending.size(); }

signals:
    void opened();
    void closed();
    // The backlog has just been taken in full.
    void drained();
    void received(const QByteArray& chunk, Arrival arrival);

private:
    void configureSlave();
    void watchForOpen();
    void watchInput();
    void readAvailable();
    void writePending();
    void enterOpen();
    void enterClosed();
    void discardUnreadOutput();
    qsizetype writeSome(const char* data, qsizetype size);

    int m_master = -1;
    QString m_slavePath;
    bool m_open = false;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QTimer m_openWatch;
    QTimer m_inputWatch;
    qint64 m_seenEmptyMs = 0; // the last moment the input was seen empty
    QByteArray m_pending;
};

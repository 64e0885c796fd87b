// The serial bridge between the board and the tool, as it shapes what the board
// sends. A real USB serial bridge does not hand the host the board's messages
// whole: it delivers what came in pieces of at most 62 to 64 bytes (fewer when
// its latency timer runs out) and joins consecutive messages in one read. Between
// the board's output and the pseudo-terminal this:
//  - decides what is dropped: droppable blocks while earlier output still waits
//    (pieces not written yet, or bytes the terminal has not taken), any block
//    beyond the backlog limit, and everything while the port is closed;
//  - records what is handed on (SentRecord) and counts it;
//  - joins consecutive blocks, `bundle` at a time, into one write; a bundle that
//    has not filled is written a short hold after its first block;
//  - cuts each write into pieces of at most `pieces.size` bytes, `pieces.gapMs`
//    apart; later writes queue behind the pieces, so the order is kept.
// Closing the port discards what waits, as the terminal's own backlog is.
#pragma once

#include "sim/BoardOutput.h"
#include "sim/PtyDevice.h"
#include "sim/SentRecord.h"
#include "sim/WireSettings.h"

#include <QList>
#include <QObject>
#include <QTimer>

class WireShape : public QObject {
    Q_OBJECT
public:
    explicit WireShape(PtyDevice& pty, QObject* parent = nullptr);

    void send(const QByteArray& block, Delivery delivery, BlockKind kind);

    // Pieces off: what still waits goes in one write at once.
    void setPieces(Pieces pieces);
    Pieces pieces() const { return m_pieces; }
    // 0: off. A bundle that is full (or no longer wanted) is written at once.
    void setBundle(int count);
    int bundle() const { return m_bundle; }

    SentRecord& sentRecord() { return m_record; }
    qint64 telemetrySent() const { return m_telemetrySent; }
    // Writes handed to the pseudo-terminal: a whole block, a bundle or a piece.
    qint64 writes() const { return m_writes; }

private:
    bool waiting() const;
    void hold(const QByteArray& block);
    void writeBundle();
    void pass(const QByteArray& bytes);
    void writePieces();
    void writeToPty(const QByteArray& bytes);
    void discard();

    PtyDevice& m_pty;
    SentRecord m_record;
    Pieces m_pieces;
    int m_bundle = 0;
    QByteArray m_held; // the bundle being filled
    int m_heldCount = 0;
    QTimer m_hold;
    QList<QByteArray> m_queue; // pieces still to write, in order
    qsizetype m_queuedBytes = 0;
    QTimer m_gap;
    qint64 m_telemetrySent = 0;
    qint64 m_writes = 0;
};

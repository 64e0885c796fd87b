// The two operations on the board's loader. The loader acknowledges each command
// by echoing its code; the link reports that as acknowledged().
//
// FirmwareErase: the erase command, then up to 4 s for its acknowledgement.
// FirmwareRun: the file's lines, one per 20 ms tick once the last word of the
// line before was acknowledged; each word is a frame of its own, 4 ms after the
// one before. The loader stores the words in the order they come, so neither
// can be stopped halfway without leaving the board's application incomplete:
// neither offers Cancel.
#pragma once

#include "comm/Operation.h"
#include "firmware/HexFile.h"

#include <QStringList>

class WindowTimer;

class FirmwareErase : public Operation {
    Q_OBJECT
public:
    explicit FirmwareErase(BoardLink& link, QObject* parent = nullptr);

protected:
    void run() override;
    void halt() override;

private:
    void tick();

    WindowTimer* m_timer;
    int m_ticks = 0;
};

class FirmwareRun : public Operation {
    Q_OBJECT
public:
    // lines: what the run sends, up to the end-of-file record.
    FirmwareRun(BoardLink& link, QStringList lines, const Hex::HexSummary& summary, QObject* parent = nullptr);

    int wordsSent() const { return m_wordsSent; }
    int linesSent() const { return m_nextLine; }
    qint64 msLeft() const { return m_msLeft; }

signals:
    // The word that just went out, and the flash address it is meant for.
    void wordSent(int address, int word);

protected:
    void run() override;
    void halt() override;

private:
    void tick();
    // False when the line is not Intel HEX, or a field of it is not hexadecimal
    // (the words before that field have gone out).
    bool sendLine(const QString& line);

    QStringList m_lines;
    Hex::HexSummary m_summary;
    WindowTimer* m_timer;
    bool m_acknowledged = true; // the loader answered the last word sent
    int m_silentTicks = 0;      // since the last acknowledgement
    int m_nextLine = 0;
    int m_wordsSent = 0;
    qint64 m_msLeft = 0;
};

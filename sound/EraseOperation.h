// Erasing sound memory: a row of a bank sector by sector, or the whole memory
// with one command. Cancel stops a row erase between two sectors, never inside
// one; the whole-memory erase is two frames and runs to its end.
#pragma once

#include "comm/FramePacer.h"
#include "comm/Operation.h"
#include "sound/SlotMap.h"

class EraseOperation : public Operation {
    Q_OBJECT
public:
    // The row of a bank (0 to 2) given.
    static EraseOperation* row(BoardLink& link, int bankFromZero, Sound::SoundRow row, QObject* parent);
    // "Erase All Sounds".
    static EraseOperation* all(BoardLink& link, QObject* parent);

    QString cancelQuestion() const override;
    // A row erase counts its sectors: "Erase bank 1 Guard sounds: sector 2 of 4".
    QString progressText() const override;
    // Sectors whose frames have all gone out, and how many the operation erases.
    int sectorsDone() const { return m_sectorsDone; }
    int sectorCount() const { return static_cast<int>(m_sectors.size()); }

protected:
    void run() override;
    void halt() override;
    void stopSafely() override;

private:
    EraseOperation(BoardLink& link, const QString& name, QList<QList<PacedFrame>> sectors, bool cancellable,
                   QObject* parent);
    void eraseNextSector();

    QList<QList<PacedFrame>> m_sectors; // the frames of each sector, in order
    bool m_cancellable;
    FramePacer m_pacer;
    int m_sectorsDone = 0;
    int m_framesBefore = 0; // frames of the sectors already erased
};

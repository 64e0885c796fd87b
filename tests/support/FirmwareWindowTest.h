// The firmware window on simulated time, with a scripted port standing in for
// the board's loader: the set-up and the user's steps shared by the programs
// that test the window and its programming run.
#pragma once

#include "SetupWindowFixture.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

namespace FirmwareScript {
inline const QByteArray THREE_RECORDS = ":0400000001020304F2\n"
                                        ":020004000102F7\n"
                                        ":020006000C9458\n"
                                        ":00000001FF\n";
inline const QString DONE_FOUR_WORDS =
    "Programming done: 4 words written. The board has its new application.";
inline const QString ACTIVE_DIPS = "Set the dipswitches for active status.";
inline constexpr int TICK = 20;
} // namespace FirmwareScript

class FirmwareWindowTest {
protected:
    // The set-up window's port opened on the scripted board, nothing sent yet.
    void startWindows();
    void stopWindows() { f.reset(); }

    QString writeHex(const QByteArray& content, const QString& name = "app.hex");
    void chooseFile(const QString& path);
    // "Erase", answered Yes, and the loader's "C" at the next tick.
    void erase();
    void startRun(const QByteArray& content);
    // Advances one tick at a time, answering "A" after each tick that sent words.
    void runAcknowledging(int ticks);
    QList<QByteArray> wordFrames() const;
    void tick() { f->sim.clock.advance(FirmwareScript::TICK); }

    std::unique_ptr<SetupWindowFixture> f;
};

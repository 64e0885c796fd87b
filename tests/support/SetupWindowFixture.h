// The six windows on simulated time, with recorded dialogs, a temporary
// installation folder and a scripted port in the set-up window.
#pragma once

#include "RecordingDialogs.h"
#include "ScriptedPort.h"
#include "SimClock.h"
#include "UploadAnswers.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class SetupWindowFixture {
public:
    enum class Mode {
        Scripted, // simulated time and a scripted port
        RealPort, // real time and the real serial component (end-to-end tests)
    };
    explicit SetupWindowFixture(Mode mode = Mode::Scripted);
    // Scripted, with the one port given listed and opened.
    static std::unique_ptr<SetupWindowFixture> withPortOpen(const QString& port);
    ~SetupWindowFixture();

    // Writes Bin/COM_1.INI with the two lines given.
    void writeSettings(const QByteArray& content) const;
    QByteArray readSettings() const;
    QString settingsPath() const;
    // Fills the port list as the port enumeration would.
    void setPortList(const QStringList& ports) const;
    // Opens the port of the list at index through "Open ".
    void openPort(int index = 0) const;
    // The frames sent so far, one entry per Send call.
    QList<QByteArray> sentFrames() const;

    ScopedSimClock sim;
    RecordingDialogs dialogs;
    QTemporaryDir folder;
    ScriptedPort* port = nullptr; // owned by the set-up window
    // The scripted board's "End." after each sample stream (scripted mode only).
    std::unique_ptr<UploadAnswers> uploadAnswers;
};

// "23 31 02 04 00 00 0A" -> bytes.
QByteArray hexBytes(const char* spaced);

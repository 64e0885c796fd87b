// A preview player for tests: records what it was asked ("open <file name>",
// "play", "close") and plays nothing.
#pragma once

#include "common/ui/Media.h"

#include <QFileInfo>
#include <QStringList>

class RecordingPlayer final : public MediaPlayer {
public:
    explicit RecordingPlayer(QStringList* calls = nullptr)
        : m_calls(calls)
    {
    }
    bool hasOutput() const override { return output; }
    void open(const QString& path) override { record("open " + QFileInfo(path).fileName()); }
    void play() override { record(QStringLiteral("play")); }
    void close() override { record(QStringLiteral("close")); }

    bool output = true; // a machine with a sound device

private:
    void record(const QString& call)
    {
        if (m_calls)
            m_calls->append(call);
    }
    QStringList* m_calls;
};

// Preview playback of a sound file by name. Production plays through Qt
// Multimedia; tests give the window a fake that records what it was asked.
#pragma once

#include <QString>
#include <memory>

class QObject;

class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;
    // Whether the machine has a sound output; without one nothing may be opened
    // or played (the media back end cannot run without it).
    virtual bool hasOutput() const = 0;
    // Loads the file; nothing is heard until play().
    virtual void open(const QString& path) = 0;
    virtual void play() = 0;
    // Stops and lets go of the file, so that it can be read or replaced meanwhile.
    virtual void close() = 0;
};

// The player of the running program; its Qt objects are children of owner.
std::unique_ptr<MediaPlayer> MakeMediaPlayer(QObject* owner);

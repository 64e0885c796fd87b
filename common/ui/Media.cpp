#include "common/ui/Media.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QPointer>
#include <QUrl>

namespace {

// Qt's GStreamer back end crashes while building its player when the GStreamer
// plugin packages are missing, which Debian only recommends; the FFmpeg back end
// comes with Qt Multimedia's own dependencies. Someone who sets the variable
// themselves keeps their choice.
void chooseBackEnd()
{
    static const char* const BACK_END_VARIABLE = "QT_MEDIA_BACKEND";
    if (qEnvironmentVariableIsEmpty(BACK_END_VARIABLE))
        qputenv(BACK_END_VARIABLE, "ffmpeg");
}

class QtMediaPlayer final : public MediaPlayer {
public:
    explicit QtMediaPlayer(QObject* owner)
        : m_owner(owner)
    {
    }

    bool hasOutput() const override { return !QMediaDevices::audioOutputs().isEmpty(); }

    void open(const QString& path) override
    {
        if (hasOutput())
            player()->setSource(QUrl::fromLocalFile(path));
    }

    void play() override
    {
        if (m_player && hasOutput())
            m_player->play();
    }

    void close() override
    {
        if (!m_player)
            return;
        m_player->stop();
        m_player->setSource(QUrl());
    }

private:
    // Made on first use: a window that never previews never starts the media back end.
    QMediaPlayer* player()
    {
        if (!m_player) {
            chooseBackEnd();
            m_player = new QMediaPlayer(m_owner);
            m_player->setObjectName(QStringLiteral("previewPlayer"));
            m_player->setAudioOutput(new QAudioOutput(m_player));
            // The preview is a convenience: a machine without a sound device (or a
            // file the back end cannot decode) just stays silent, with no box to dismiss.
            QObject::connect(m_player, &QMediaPlayer::errorOccurred, m_player,
                             [player = m_player] { player->stop(); });
        }
        return m_player;
    }

    QObject* m_owner;
    QPointer<QMediaPlayer> m_player;
};

} // namespace

std::unique_ptr<MediaPlayer> MakeMediaPlayer(QObject* owner)
{
    return std::make_unique<QtMediaPlayer>(owner);
}

// "Record..." beside the live chart: every decoded telemetry frame goes to a
// CSV file until "Stop", leaving TX, losing the device or closing the program.
#include "motion/ui/MotionPanel.h"

#include "common/Clock.h"
#include "common/Dialogs.h"
#include "common/ui/Handlers.h"
#include "motion/TelemetryFrame.h"
#include "motion/TelemetryRecorder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString CSV_FILTER = QStringLiteral("CSV files (*.csv);;All files (*)");
const QString CSV_SUFFIX = QStringLiteral(".csv");
} // namespace

void MotionPanel::buildRecording()
{
    m_recorder = std::make_unique<Motion::TelemetryRecorder>();
    m_recordButton = new QPushButton(this);
    m_recordButton->setObjectName(QStringLiteral("recordButton"));
    layout()->addWidget(m_recordButton);
    connectHandler(m_recordButton, &QPushButton::clicked, this, [this] { toggleRecording(); });
    // The file is complete however the program ends.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] { stopRecording(); });
    showRecordingState();
}

void MotionPanel::toggleRecording()
{
    if (m_recorder->recording()) {
        stopRecording();
        return;
    }
    const QString folder = m_recordingFolder.isEmpty() ? QDir::homePath() : m_recordingFolder;
    QString path = dialogs().saveFileName(QStringLiteral("Record telemetry"), folder, CSV_FILTER);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += CSV_SUFFIX;
    m_recordingFolder = QFileInfo(path).absolutePath();
    QString error;
    if (!m_recorder->start(path, appClock().now(), &error))
        ShowMessage(QStringLiteral("Cannot record telemetry to %1: %2").arg(path, error));
    showRecordingState();
}

void MotionPanel::recordTelemetryFrame()
{
    if (!m_recorder->recording())
        return;
    const bool written = m_recorder->record(Telemetry, appClock().now());
    showRecordingState();
    if (!written)
        reportRecordingFailure();
}

void MotionPanel::stopRecording()
{
    if (!m_recorder || !m_recorder->recording())
        return;
    const bool complete = m_recorder->stop();
    showRecordingState();
    if (!complete)
        reportRecordingFailure();
}

// The recorder has already stopped: frames that arrive while the message is
// open are not recorded and bring no second message.
void MotionPanel::reportRecordingFailure()
{
    ShowMessage(QStringLiteral("Telemetry recording stopped after %1 frames: cannot write %2: %3")
                    .arg(m_recorder->frames())
                    .arg(m_recorder->path(), m_recorder->errorString()));
}

void MotionPanel::showRecordingState()
{
    if (m_recorder->recording()) {
        m_recordButton->setText(QStringLiteral("Stop (%1 frames)").arg(m_recorder->frames()));
        m_recordButton->setAccessibleName(
            QStringLiteral("Stop recording telemetry, %1 frames recorded").arg(m_recorder->frames()));
        return;
    }
    m_recordButton->setText(QStringLiteral("Record..."));
    m_recordButton->setAccessibleName(QStringLiteral("Record telemetry to a file"));
}

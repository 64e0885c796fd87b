#include "EndToEndFixture.h"

#include "Controls.h"
#include "RecordingPlayer.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "comm/ComPort.h"
#include "common/Define.h"
#include "common/Globals.h"

#include <QComboBox>
#include <QRadioButton>

namespace {
// The board notices an open, or a change of mode, within a few milliseconds;
// this leaves room for a loaded machine.
constexpr int NOTICE_MS = 15000;
} // namespace

EndToEndFixture::~EndToEndFixture()
{
    stop();
}

bool EndToEndFixture::start(const SimBoard::Options& options, const Steps& steps, QString* why)
{
    stop();
    m_board = std::make_unique<SimBoard>(options);
    if (!m_board->isRunning()) {
        *why = m_board->errorOutput();
        return false;
    }
    if (steps.withWindows) {
        setPublishedPortsFolder(m_board->portsDir());
        m_windows = std::make_unique<SetupWindowFixture>(SetupWindowFixture::Mode::RealPort);
    }
    *why = runSteps(steps);
    return why->isEmpty();
}

QString EndToEndFixture::runSteps(const Steps& steps) const
{
    const bool needsWindows = steps.recordingPlayer || steps.announceUploads || steps.soundFolder ||
                              steps.openPort || steps.waitUntilOpen || steps.setUpFlag || steps.setUpMode;
    if (!m_windows)
        return needsWindows ? QStringLiteral("these steps need the windows") : QString();
    if (steps.recordingPlayer)
        setupWindow->sounds()->browser()->setPreviewPlayer(std::make_unique<RecordingPlayer>());
    if (steps.soundFolder)
        setupWindow->sounds()->browser()->setSoundFolder(m_windows->folder.path());
    if (steps.announceUploads || steps.soundFolder)
        RICHIESTA = true;
    if (steps.openPort && !openBoardPort())
        return QStringLiteral("the simulator's port %1 did not open").arg(m_board->portPath());
    if (steps.waitUntilOpen && !WaitFor([&] { return m_board->portState() == "open"; }, NOTICE_MS))
        return QStringLiteral("the board did not notice its port open");
    if (steps.setUpFlag)
        setupWindow->board()->setSetUpMode(true);
    if (steps.setUpMode) {
        control<QRadioButton>(setupWindow, "setUpModeButton")->click();
        if (!WaitFor([&] { return m_board->mode() == Define::STATO_TAVRIN_COMMAND_MODE_NOTX; }, NOTICE_MS))
            return QStringLiteral("the board did not go into set-up mode");
        if (!waitUntilBoardIsReady())
            return QStringLiteral("the board stayed busy after going into set-up mode");
    }
    return {};
}

bool EndToEndFixture::finish(QString* report)
{
    // A board that did not start has failed the test already.
    const bool checked = m_board && m_board->isRunning();
    const bool paced = !checked || m_board->violations() == 0;
    if (checked)
        *report = m_board->violationReport();
    stop();
    return paced;
}

void EndToEndFixture::stop()
{
    if (m_windows) {
        m_windows.reset();
        setPublishedPortsFolder(QString());
    }
    m_board.reset();
}

bool EndToEndFixture::openBoardPort() const
{
    setupWindow->ports()->listPorts();
    const int index = control<QComboBox>(setupWindow, "portList")->findText(m_board->portPath());
    if (index < 0)
        return false;
    m_windows->openPort(index);
    return setupWindow->board()->serialPort()->IsOpen();
}

bool EndToEndFixture::waitUntilBoardIsReady() const
{
    return WaitFor([&] { return m_board->busyMs() == 0; }, SimBoard::CONTROL_TIMEOUT_MS);
}

void EndToEndFixture::moveDipSwitchesWhenAsked() const
{
    static const QString loaderDips =
        QStringLiteral("Please put the dipswitch in position for bootloader procedure and then press OK");
    static const QString activeDips = QStringLiteral("Set the dipswitches for active status.");
    SimBoard* board = m_board.get();
    m_windows->dialogs.onMessage = [board](const QString& text) {
        if (text == loaderDips)
            board->controlOk(QStringLiteral("switch loader"));
        if (text == activeDips)
            board->controlOk(QStringLiteral("switch app"));
    };
}

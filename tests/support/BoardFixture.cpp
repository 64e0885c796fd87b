#include "BoardFixture.h"

#include "WaitFor.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ComPort.h"

#include <QComboBox>

BoardFixture::BoardFixture()
    : BoardFixture(SimBoard::Options{})
{
}

BoardFixture::BoardFixture(const SimBoard::Options& options)
    : board(options)
{
    setPublishedPortsFolder(board.portsDir());
}

BoardFixture::~BoardFixture()
{
    setPublishedPortsFolder(QString());
}

bool BoardFixture::ready(QString* why) const
{
    *why = board.errorOutput();
    return board.isRunning();
}

bool BoardFixture::openBoardPort() const
{
    setupWindow->ports()->listPorts();
    const int index = setupWindow->ports()->portList->findText(board.portPath());
    if (index < 0)
        return false;
    windows.openPort(index);
    return setupWindow->board()->serialPort()->IsOpen();
}

bool BoardFixture::waitUntilBoardIsReady() const
{
    return WaitFor([&] { return board.busyMs() == 0; }, SimBoard::CONTROL_TIMEOUT_MS);
}

bool BoardFixture::paced(QString* report) const
{
    if (!board.isRunning())
        return true; // a board that did not start has failed the test already
    *report = board.violationReport();
    return board.violations() == 0;
}

#include "ToolOnPort.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "common/Framework.h"

#include <QComboBox>

ToolOnPort::ToolOnPort(const QString& port)
{
    CreateForms();
    auto* portList = setupWindow->findChild<QComboBox*>(QStringLiteral("portList"));
    portList->addItem(port);
    portList->setCurrentIndex(portList->count() - 1);
    m_failure = open();
}

ToolOnPort::~ToolOnPort()
{
    setupWindow->ports()->closePort();
    DestroyForms();
}

QString ToolOnPort::open()
{
    try {
        setupWindow->ports()->openPort();
    } catch (const Exception& e) {
        return QStringLiteral("the port did not open: ") + e.message();
    }
    return {};
}

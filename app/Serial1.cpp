#include "app/Serial1.h"

#include "comm/ComPort.h"
#include "common/Define.h"

TSerialForm1::TSerialForm1(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("SerialForm1"));
    setWindowTitle(QStringLiteral("SetUp Kordex"));
    auto port = std::make_unique<TComPort>(this);
    port->setObjectName(QStringLiteral("ComPort1"));
    port->setBaud(Define::LINK_BAUD);
    port->setReceiveMode(rmRAW);
    port->SetTerminator(QStringLiteral("#13"));
    setComPort(std::move(port));
}

TSerialForm1::~TSerialForm1() = default;

void TSerialForm1::setComPort(std::unique_ptr<SerialPort> port)
{
    m_ownedPort = std::move(port);
    ComPort1 = m_ownedPort.get();
}

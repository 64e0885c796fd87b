#include "ToolOnPort.h"

#include "app/Forms.h"
#include "app/Serial1.h"
#include "common/Framework.h"

#include <QComboBox>

ToolOnPort::ToolOnPort(const QString& port)
{
    CreateForms();
    SerialForm1->cbports->addItem(port);
    SerialForm1->cbports->setCurrentIndex(SerialForm1->cbports->count() - 1);
    m_failure = open();
}

ToolOnPort::~ToolOnPort()
{
    SerialForm1->ClosePort();
    DestroyForms();
}

QString ToolOnPort::open()
{
    try {
        SerialForm1->OpenPort();
    } catch (const Exception& e) {
        return QStringLiteral("the port did not open: ") + e.message();
    }
    return {};
}

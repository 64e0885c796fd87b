#include "firmware/Boot.h"

TBootForm::TBootForm(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("BootForm"));
    setWindowTitle(QStringLiteral("BootForm"));
    resize(640, 360);
}

#include "comm/ui/PortComboBox.h"

void PortComboBox::showPopup()
{
    emit aboutToShowPopup();
    QComboBox::showPopup();
}

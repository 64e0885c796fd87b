// Port panel and settings file of the set-up window.
#include "app/Serial1.h"

#include "comm/SerialPort.h"

void TSerialForm1::InitSeriale() {}

void TSerialForm1::LoadSeriale() {}

void TSerialForm1::CloseSeriale() { ComPort1->Close(); }

void TSerialForm1::RadioButton9Click() {}

void TSerialForm1::StopBulkLoad() {}

// tavrin-list-ports: prints the serial ports the tool's port list would show,
// one per line, in the same order. The run script uses it to write a settings
// file that names the simulated board's port at its position in the list.
#include "comm/ComPort.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList ports;
    EnumPorts(&ports);
    for (const QString& port : ports)
        std::printf("%s\n", port.toLocal8Bit().constData());
    return 0;
}

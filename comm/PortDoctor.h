// Why a serial device that is there cannot be opened, and what the user can do
// about it: the commonest trouble of serial tools on Linux.
#pragma once

#include <QList>
#include <QString>
#include <optional>

struct PortTrouble {
    QString device;
    int error = 0;  // errno of the failed open
    QString group;  // the device's group, for a permission problem
    QString holder; // the program holding the device, when the system tells
    qint64 pid = 0; // and its process id
};

// What stops device from being opened now; nothing when it opens or is absent.
std::optional<PortTrouble> DiagnosePort(const QString& device);
// The USB serial devices and simulated boards that exist but cannot be opened,
// leaving out ownPort, the one this program holds.
QList<PortTrouble> DiagnoseUnopenablePorts(const QString& ownPort = {});
// One sentence per trouble, in a paragraph of its own; empty for none.
QString AdviceParagraph(const QList<PortTrouble>& troubles);

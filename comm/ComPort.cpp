// Placeholder until the reader thread lands.
#include "comm/ComPort.h"

#include "common/BuildConfig.h"

TComPort::TComPort(QObject* owner) : SerialPort(owner) {}
TComPort::~TComPort() { Close(); }
void TComPort::Open() { throw EComError(QStringLiteral("TCOMPORT : cannot open ") + Port()); }
void TComPort::Close() {}
void TComPort::Send(const QByteArray&) {}
void TComPort::SetRTS(bool) {}
QString TComPort::GetTerminator() const { return {}; }
void TComPort::SetTerminator(const QString&) {}
void TComPort::ReceiveNotify(quint32) {}
void TComPort::EventNotify(quint32, quint32) {}
QString TComPort::NextToken(QString& s, const QString&) { return std::exchange(s, QString()); }
void TComPort::deviceLost(quint64) {}
void EnumPorts(QStringList*) {}
QString PublishedPortsFolder() { return QString::fromLatin1(BuildConfig::PORTS_DIR); }

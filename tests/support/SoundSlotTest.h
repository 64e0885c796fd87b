// The sound slots on simulated time, with a scripted port: the set-up window's
// port open, its sound folder a fresh one, and the steps shared by the programs
// that test the slot table, the slot buttons, erasing and uploading.
#pragma once

#include "ScriptedPort.h"
#include "SetupWindowFixture.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class QLineEdit;

namespace SlotScript {
inline const QString SIZE_64K = " is more than 64 kbytes.  Uploaded deleted.";

// The board's header and the samples, little-endian: sent byte for byte.
QByteArray wav(const QList<quint16>& samples);
QList<quint16> ramp(int count);
inline QByteArray frame(const char* spaced)
{
    return hexBytes(spaced);
}
} // namespace SlotScript

class SoundSlotTest {
protected:
    void startWindows();
    void stopWindows() { f.reset(); }

    // Writes the file into the sound folder and selects it in the browser; its path.
    QString select(const QString& name, const QByteArray& content);
    // The browser owns the skip fields; when it is not built in, a stand-in field
    // of the same name serves.
    QLineEdit* skipField(const char* name);
    QList<ScriptedPort::Sent> framesFrom(qsizetype first) const;
    static QStringList runningTimers();

    std::unique_ptr<SetupWindowFixture> f;
    QString folder;
};

// The sound-file browser in the set-up window on simulated time, with recorded
// dialogs and a player that only records: the set-up and the steps shared by
// the programs that test the browser and the file information it shows.
#pragma once

#include "SetupWindowFixture.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace BrowserFiles {
// A canonical header (format, channels, rate, bits as given) and the samples.
QByteArray wavBytes(int rate, const QList<qint16>& samples = {}, int channels = 1, int bits = 16);
// A file of exactly `size` bytes that starts with a canonical header.
QByteArray wavOfSize(int size);
} // namespace BrowserFiles

class BrowserWindowTest {
protected:
    void startWindows();
    void stopWindows() { f.reset(); }

    QString bank1() const { return f->folder.path() + "/Fonts/bank1"; }
    void writeFile(const QString& path, const QByteArray& bytes) const;
    void select(const QString& name) const;
    static QStringList listed();

    std::unique_ptr<SetupWindowFixture> f;
    QStringList playerCalls;
};

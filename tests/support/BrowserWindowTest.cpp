#include "BrowserWindowTest.h"

#include "Controls.h"
#include "RecordingPlayer.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTest>

QByteArray BrowserFiles::wavBytes(int rate, const QList<qint16>& samples, int channels, int bits)
{
    QByteArray out("RIFF\0\0\0\0WAVEfmt \x10\0\0\0", 20);
    const auto le = [&out](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.append(static_cast<char>(value >> (8 * i) & 0xFF));
    };
    le(1, 2);
    le(channels, 2);
    le(rate, 4);
    le(rate * 2, 4);
    le(2, 2);
    le(bits, 2);
    out.append("data", 4);
    le(samples.size() * 2, 4);
    for (qint16 s : samples)
        le(static_cast<quint16>(s), 2);
    return out;
}

QByteArray BrowserFiles::wavOfSize(int size)
{
    QByteArray bytes = wavBytes(22050);
    bytes.resize(size, '\0');
    return bytes;
}

void BrowserWindowTest::startWindows()
{
    f = std::make_unique<SetupWindowFixture>();
    playerCalls.clear();
    setupWindow->sounds()->browser()->setPreviewPlayer(std::make_unique<RecordingPlayer>(&playerCalls));
    QDir().mkpath(bank1());
}

void BrowserWindowTest::writeFile(const QString& path, const QByteArray& bytes) const
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void BrowserWindowTest::select(const QString& name) const
{
    const QList<QListWidgetItem*> found =
        control<QListWidget>(setupWindow, "soundFileList")->findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    control<QListWidget>(setupWindow, "soundFileList")->setCurrentItem(found.first());
}

QStringList BrowserWindowTest::listed()
{
    QStringList names;
    for (int i = 0; i < control<QListWidget>(setupWindow, "soundFileList")->count(); ++i)
        names.append(control<QListWidget>(setupWindow, "soundFileList")->item(i)->text());
    return names;
}

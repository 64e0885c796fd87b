#include "FirmwareWindowTest.h"

#include "app/Forms.h"
#include "firmware/ui/FirmwareWindow.h"

#include <QFile>
#include <QPushButton>

void FirmwareWindowTest::startWindows()
{
    f = std::make_unique<SetupWindowFixture>();
    f->setPortList({"COM3"});
    f->openPort();
    firmwareWindow->timeOfDay = [this] { return QString::number(f->sim.clock.now()); };
    f->port->clearSent();
}

QString FirmwareWindowTest::writeHex(const QByteArray& content, const QString& name)
{
    const QString path = f->folder.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return path;
}

void FirmwareWindowTest::chooseFile(const QString& path)
{
    f->dialogs.files.enqueue(path);
    firmwareWindow->fileButton->click();
}

void FirmwareWindowTest::erase()
{
    firmwareWindow->eraseButton->click();
    f->port->feed("C");
    tick();
}

void FirmwareWindowTest::startRun(const QByteArray& content)
{
    chooseFile(writeHex(content));
    erase();
    f->port->clearSent();
    f->dialogs.clear();
    firmwareWindow->programButton->click();
}

void FirmwareWindowTest::runAcknowledging(int ticks)
{
    for (int i = 0; i < ticks; ++i) {
        const auto before = f->port->sent.size();
        tick();
        if (f->port->sent.size() > before && f->port->sent.last().bytes.startsWith("#A"))
            f->port->feed("A");
    }
}

QList<QByteArray> FirmwareWindowTest::wordFrames() const
{
    QList<QByteArray> words;
    for (const QByteArray& frame : f->sentFrames())
        if (frame.startsWith("#A"))
            words.append(frame);
    return words;
}

#include "SoundSlotTest.h"

#include "Controls.h"
#include "SoundFiles.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "common/Clock.h"
#include "common/Globals.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>

QByteArray SlotScript::wav(const QList<quint16>& samples)
{
    QByteArray bytes = BoardFormatHeader();
    for (quint16 s : samples) {
        bytes.append(char(s & 0xFF));
        bytes.append(char(s >> 8));
    }
    return bytes;
}

QList<quint16> SlotScript::ramp(int count)
{
    QList<quint16> samples;
    for (int i = 0; i < count; ++i)
        samples.append(quint16(i));
    return samples;
}

void SoundSlotTest::startWindows()
{
    f = std::make_unique<SetupWindowFixture>();
    folder = f->folder.path() + "/sounds";
    QDir().mkpath(folder);
    setupWindow->sounds()->browser()->setSoundFolder(folder);
    f->setPortList({"/dev/ttyACM0"});
    f->openPort();
    f->port->clearSent();
    RICHIESTA = true;
}

QString SoundSlotTest::select(const QString& name, const QByteArray& content)
{
    QFile file(folder + "/" + name);
    file.open(QIODevice::WriteOnly);
    file.write(content);
    file.close();
    setupWindow->sounds()->browser()->fillFileList();
    const auto items = control<QListWidget>(setupWindow, "soundFileList")->findItems(name, Qt::MatchExactly);
    control<QListWidget>(setupWindow, "soundFileList")->setCurrentItem(items.value(0));
    return folder + "/" + name;
}

QLineEdit* SoundSlotTest::skipField(const char* name)
{
    auto* field = setupWindow->findChild<QLineEdit*>(name);
    if (!field) {
        field = new QLineEdit("0", setupWindow);
        field->setObjectName(name);
    }
    return field;
}

QList<ScriptedPort::Sent> SoundSlotTest::framesFrom(qsizetype first) const
{
    return f->port->sent.mid(first);
}

QStringList SoundSlotTest::runningTimers()
{
    QStringList running;
    for (const WindowTimer* t : setupWindow->findChildren<WindowTimer*>())
        if (t->Enabled())
            running << t->objectName();
    return running;
}

#include "SetupWindowFixture.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "app/WaitDialog.h"
#include "comm/ComPort.h"
#include "comm/ui/PortPanel.h"
#include "common/Globals.h"
#include "common/Paths.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

SetupWindowFixture::SetupWindowFixture(Mode mode)
    : sim(mode == Mode::Scripted)
{
    QDir(folder.path()).mkpath(QStringLiteral("Bin"));
    setInstallFolder(folder.path());
    setDocumentationFolder(folder.path());
    RICHIESTA = false;
    READY = 0;
    CalibrationConfirmed = false;
    CreateForms();
    if (mode == Mode::Scripted) {
        auto owned = std::make_unique<ScriptedPort>();
        port = owned.get();
        setupWindow->board()->setPort(std::move(owned));
        uploadAnswers = std::make_unique<UploadAnswers>(*setupWindow->board()->link(), *port);
        // Port advice scans the simulators' folder; boards other tests publish
        // there must not reach this test's messages.
        QDir(folder.path()).mkpath(QStringLiteral("ports"));
        setPublishedPortsFolder(folder.path() + QStringLiteral("/ports"));
    }
}

SetupWindowFixture::~SetupWindowFixture()
{
    // What waits for the top of the event loop (an operation's end message)
    // belongs to this test: it runs while this test's dialogs still record.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    uploadAnswers.reset();
    DestroyForms();
    if (port)
        setPublishedPortsFolder(QString());
    setInstallFolder(QString());
    setDocumentationFolder(QString());
}

QString SetupWindowFixture::settingsPath() const
{
    return folder.path() + QStringLiteral("/Bin/COM_1.INI");
}

void SetupWindowFixture::writeSettings(const QByteArray& content) const
{
    QFile file(settingsPath());
    file.open(QIODevice::WriteOnly);
    file.write(content);
}

QByteArray SetupWindowFixture::readSettings() const
{
    QFile file(settingsPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::unique_ptr<SetupWindowFixture> SetupWindowFixture::withPortOpen(const QString& port)
{
    auto fixture = std::make_unique<SetupWindowFixture>();
    fixture->setPortList({port});
    fixture->openPort();
    return fixture;
}

// The fuzzers share this fixture without the test library: the port list is
// found by its name directly.
static QComboBox* portList()
{
    return setupWindow->findChild<QComboBox*>(QStringLiteral("portList"));
}

void SetupWindowFixture::setPortList(const QStringList& ports) const
{
    QComboBox* list = portList();
    list->clear();
    list->addItems(ports);
    if (!ports.isEmpty())
        list->setCurrentIndex(0);
}

void SetupWindowFixture::openPort(int index) const
{
    portList()->setCurrentIndex(index);
    setupWindow->ports()->openPort();
}

QList<QByteArray> SetupWindowFixture::sentFrames() const
{
    QList<QByteArray> frames;
    if (port)
        for (const ScriptedPort::Sent& s : port->sent)
            frames.append(s.bytes);
    return frames;
}

QByteArray hexBytes(const char* spaced)
{
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

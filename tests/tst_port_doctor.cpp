// The connection doctor: a port that is there but cannot be opened is named,
// with why and what to do, after the messages the user already gets.
#include "Controls.h"
#include "PtyPair.h"
#include "SetupWindowFixture.h"
#include "TestMain.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "comm/ComPort.h"
#include "comm/ConnectionCheck.h"
#include "comm/PortDoctor.h"
#include "common/ui/Application.h"

#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
constexpr int HOLD_TIMEOUT_MS = 5000;
constexpr int CHECK_STEP_MS = 4000; // one step of the connection check, 2000 ms, with room
constexpr uid_t NOBODY = 65534;
const QString NOT_FOUND = "Kordex Serial ComPort not found .... Please select a right ComPort. ";

// Diagnoses device as a user without privileges: as root, in a child process
// that gives them up; otherwise by taking the owner's own permission away.
QString adviceAsUnprivilegedUser(const QString& device)
{
    if (::geteuid() != 0) {
        ::chmod(QFile::encodeName(device).constData(), 0);
        const auto trouble = DiagnosePort(device);
        return trouble ? AdviceParagraph({*trouble}) : QString();
    }
    int channel[2];
    if (::pipe(channel) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (::setgroups(0, nullptr) == 0 && ::setgid(NOBODY) == 0 && ::setuid(NOBODY) == 0) {
            const auto trouble = DiagnosePort(device);
            const QByteArray text = trouble ? AdviceParagraph({*trouble}).toUtf8() : QByteArray();
            [[maybe_unused]] const ssize_t written = ::write(channel[1], text.constData(), text.size());
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    QByteArray text;
    char buffer[512];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    return QString::fromUtf8(text);
}
} // namespace

class PortDoctorTest : public QObject {
    Q_OBJECT
private slots:
    void portHeldBySecondProcessNamesProgramAndPid();
    void deviceTheUserMayNotOpenNamesGroupAndFix();
    void openablePortNeedsNoAdvice();
};

void PortDoctorTest::portHeldBySecondProcessNamesProgramAndPid()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    QTemporaryDir ports;
    QVERIFY(QFile::link(pty.slavePath(), ports.filePath("held-board")));
    QProcess holder;
    holder.start("flock", {"-x", "-n", pty.slavePath(), "sleep", "30"});
    QVERIFY(holder.waitForStarted());
    std::optional<PortTrouble> trouble;
    QVERIFY(WaitFor([&] { return (trouble = DiagnosePort(pty.slavePath())) && trouble->pid != 0; },
                    HOLD_TIMEOUT_MS));
    QVERIFY2(trouble->holder == "flock" || trouble->holder == "sleep", qPrintable(trouble->holder));
    const QString advice =
        QString("%1 is held by %2 (process %3): close it, or wait until it lets the port go, "
                "and try again.")
            .arg(pty.slavePath(), trouble->holder)
            .arg(trouble->pid);
    QCOMPARE(AdviceParagraph({*trouble}), advice);

    // After an open failure, the component's message comes first, unchanged.
    SetupWindowFixture f(SetupWindowFixture::Mode::RealPort);
    f.setPortList({pty.slavePath()});
    runGuarded([] { setupWindow->ports()->openPort(); }); // as the default error box would show it
    QCOMPARE(f.dialogs.errors.size(), 1);
    QVERIFY2(f.dialogs.errors[0].startsWith("TCOMPORT : cannot open " + pty.slavePath() + "\r"),
             qPrintable(f.dialogs.errors[0]));
    QVERIFY(f.dialogs.errors[0].endsWith("\n\n" + advice));

    // With no port open, the connection check names it after its message.
    setPublishedPortsFolder(ports.path());
    control<QComboBox>(setupWindow, "portList")->setEnabled(true);
    QVERIFY(setupWindow->ports()->connectionCheck()->start()); // its first step, with no port open
    QTRY_VERIFY_WITH_TIMEOUT(!setupWindow->ports()->connectionCheck()->running(), CHECK_STEP_MS);
    setPublishedPortsFolder(QString());
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY2(f.dialogs.messages[0].startsWith(NOT_FOUND + "\n\n"), qPrintable(f.dialogs.messages[0]));
    QVERIFY(f.dialogs.messages[0].contains(ports.filePath("held-board") + " is held by "));
    holder.kill();
    holder.waitForFinished();
}

void PortDoctorTest::deviceTheUserMayNotOpenNamesGroupAndFix()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(pty.slavePath()).constData(), &info), 0);
    const group* owner = ::getgrgid(info.st_gid);
    QVERIFY(owner);
    const QString name = QString::fromLocal8Bit(owner->gr_name);
    QCOMPARE(
        adviceAsUnprivilegedUser(pty.slavePath()),
        QString(
            "%1 is there, but you may not open it (it belongs to the group %2): add yourself to the group "
            "%2: sudo usermod -aG %2 $USER, then log out and in.")
            .arg(pty.slavePath(), name));
}

void PortDoctorTest::openablePortNeedsNoAdvice()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    QVERIFY(!DiagnosePort(pty.slavePath()));
    QVERIFY(!DiagnosePort("/dev/ttyACM-no-such-device"));
    QCOMPARE(AdviceParagraph({}), QString());
}

TAVRIN_TEST_MAIN(PortDoctorTest)
#include "tst_port_doctor.moc"

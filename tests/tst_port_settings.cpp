// The port panel and its settings file: the saved port opened at start, the
// file written at close, and what is said when either goes wrong. Simulated
// time, scripted port.
#include "Controls.h"
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "common/ui/Handlers.h"
#include "app/MainWindow.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "app/Shape.h"
#include "comm/ui/TrafficMonitor.h"
#include "comm/ui/LogMemo.h"
#include "common/ui/Application.h"
#include "common/BuildConfig.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <unistd.h>

namespace {
const QColor YELLOW(255, 255, 0);
const QColor GREY(128, 128, 128);
} // namespace

class PortSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { f = std::make_unique<SetupWindowFixture>(); }
    void cleanup() { f.reset(); }

    void savedPortAtSavedPositionOpensAtStartSpeed();
    void savedPortElsewhereIsSelectedButNotOpened();
    void missingSettingsFileIsReportedAndNeverCreated();
    void badIndexLineShowsConversionErrorAndOpensNothing();
    void closingWindowSavesLastOpenedPortWithNewIndex();
    void closingMainWindowLeavesTheSetUpCloseHandlerAlone_data();
    void closingMainWindowLeavesTheSetUpCloseHandlerAlone();
    void settingsFileIsKeptWhenNoPortWasChosen_data();
    void settingsFileIsKeptWhenNoPortWasChosen();
    void unreadableSettingsFileSaysWhy_data();
    void unreadableSettingsFileSaysWhy();
    void overlongSettingsLinesAreInvalid_data();
    void overlongSettingsLinesAreInvalid();
    void savingWorksWhereOnlyTheFileIsWritable();
    void installerLeavesASettingsFileEveryUserCanWrite();
    void openFailureShowsReasonAndKeepsListDisabledUntilClose();
    void openFailureAtStartKeepsSetUpWindowClosed();
    void openWithEmptyListIsAListIndexError();

private:
    std::unique_ptr<SetupWindowFixture> f;
};

// ---- Settings file and port panel ---------------------------------------------

void PortSettingsTest::savedPortAtSavedPositionOpensAtStartSpeed()
{
    f->writeSettings("COM4\r\n1\r\n");
    f->setPortList({"COM3", "COM4"});
    setupWindow->ports()->openSavedPort();
    QCOMPARE(control<QComboBox>(setupWindow, "portList")->currentText(), QString("COM4"));
    QVERIFY(f->port->IsOpen());
    QCOMPARE(f->port->Port(), QString("COM4"));
    QCOMPARE(f->port->Baud(), 9600u);
    QCOMPARE(f->port->Parity(), ptNONE);
    QCOMPARE(f->port->StopBits(), sbONE);
    QVERIFY(f->port->rts);
    QCOMPARE(control<Shape>(setupWindow, "portOpenIndicator")->BrushColor(), YELLOW);
    QVERIFY(!control<QComboBox>(setupWindow, "portList")->isEnabled());
    QVERIFY(control<QGroupBox>(setupWindow, "modeBox")->isEnabled());
    QCOMPARE(trafficMonitor->receivedLog->LinesCount(), 0);
}

void PortSettingsTest::savedPortElsewhereIsSelectedButNotOpened()
{
    f->writeSettings("COM4\r\n1\r\n");
    f->setPortList({"COM3", "COM5"});
    setupWindow->ports()->openSavedPort();
    QCOMPARE(control<QComboBox>(setupWindow, "portList")->currentIndex(), 1);
    QVERIFY(!f->port->IsOpen());
    QCOMPARE(f->port->openCount, 0);
    QVERIFY(f->dialogs.messages.isEmpty());
}

void PortSettingsTest::missingSettingsFileIsReportedAndNeverCreated()
{
    f->setPortList({"COM3"});
    setupWindow->ports()->openSavedPort();
    const QString expected = "FILE INESISTENTE : " + f->settingsPath();
    QCOMPARE(f->dialogs.messages, QStringList{expected});
    setupWindow->close();
    QCOMPARE(f->dialogs.messages, QStringList({expected, expected}));
    QVERIFY(!QFile::exists(f->settingsPath()));
}

void PortSettingsTest::badIndexLineShowsConversionErrorAndOpensNothing()
{
    f->writeSettings("COM3\r\nfirst\r\n");
    f->setPortList({"COM3"});
    runGuarded([] { setupWindow->ports()->openSavedPort(); });
    QCOMPARE(f->dialogs.errors, QStringList{"'first' is not a valid integer value"});
    QCOMPARE(f->port->openCount, 0);
}

void PortSettingsTest::closingWindowSavesLastOpenedPortWithNewIndex()
{
    f->writeSettings("COM9\r\n0\r\n");
    f->setPortList({"COM3", "COM4"});
    f->openPort(0);
    setupWindow->ports()->closePort();
    control<QComboBox>(setupWindow, "portList")->setCurrentIndex(1);
    setupWindow->close();
    QCOMPARE(f->readSettings(), QByteArray("COM3\r\n1\r\n"));
}

void PortSettingsTest::closingMainWindowLeavesTheSetUpCloseHandlerAlone_data()
{
    QTest::addColumn<QByteArray>("settings"); // empty: no settings file
    QTest::newRow("no settings file") << QByteArray();
    QTest::newRow("port open, another entry picked") << QByteArray("COM4\r\n1\r\n");
}

void PortSettingsTest::closingMainWindowLeavesTheSetUpCloseHandlerAlone()
{
    QFETCH(QByteArray, settings);
    if (!settings.isEmpty())
        f->writeSettings(settings);
    f->setPortList({"COM3", "COM4"});
    mainWindow->show();
    f->sim.clock.advance(1000); // the set-up window opens
    QVERIFY(setupWindow->isVisible());
    control<QComboBox>(setupWindow, "portList")->setCurrentIndex(0);
    f->dialogs.clear();
    // The user closes the main window while the program runs.
    QTimer::singleShot(0, mainWindow, [] { mainWindow->close(); });
    QApplication::exec();
    QCOMPARE(f->dialogs.messages, QStringList{});
    QCOMPARE(f->readSettings(), settings);
    QVERIFY(!f->port->IsOpen());
}

void PortSettingsTest::settingsFileIsKeptWhenNoPortWasChosen_data()
{
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<int>("picked"); // -1: the user picks nothing
    QTest::newRow("no port found (another copy holds it)") << QStringList{} << -1;
    QTest::newRow("saved port gone, another one listed") << QStringList{"COM3"} << -1;
    QTest::newRow("an entry picked but never opened") << QStringList{"COM3", "COM4"} << 1;
}

void PortSettingsTest::settingsFileIsKeptWhenNoPortWasChosen()
{
    QFETCH(QStringList, ports);
    QFETCH(int, picked);
    f->writeSettings("COM4\r\n0\r\n");
    f->setPortList(ports);
    setupWindow->ports()->openSavedPort();
    setupWindow->show();
    if (picked >= 0)
        control<QComboBox>(setupWindow, "portList")->setCurrentIndex(picked);
    setupWindow->close();
    QCOMPARE(f->readSettings(), QByteArray("COM4\r\n0\r\n"));
    QVERIFY(f->dialogs.messages.isEmpty());
}

void PortSettingsTest::unreadableSettingsFileSaysWhy_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no read permission") << false << "Permission denied";
    QTest::newRow("a folder in its place") << true << "file to open is a directory";
}

void PortSettingsTest::unreadableSettingsFileSaysWhy()
{
    QFETCH(bool, folder);
    QFETCH(QString, reason);
    if (folder) {
        QVERIFY(QDir().mkpath(f->settingsPath()));
    } else {
        if (::geteuid() == 0)
            QSKIP("the administrator reads every file");
        f->writeSettings("COM3\r\n0\r\n");
        QVERIFY(QFile::setPermissions(f->settingsPath(), QFileDevice::WriteOwner));
    }
    f->setPortList({"COM3"});
    setupWindow->ports()->openSavedPort();
    QCOMPARE(f->dialogs.messages,
             QStringList{"Cannot read the settings file " + f->settingsPath() + ": " + reason});
    QCOMPARE(f->port->openCount, 0);
}

void PortSettingsTest::overlongSettingsLinesAreInvalid_data()
{
    const QByteArray huge(10 * 1024 * 1024, '7');
    const QByteArray blanks(5000, ' ');
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("opened");
    QTest::newRow("10 MB index line")
        << "COM3\r\n" + huge + "\r\n"
        << "'" + QString(80, '7') + "...' is not a valid integer value" << 0 << false;
    QTest::newRow("index past 4 KiB of blanks")
        << "COM3\r\n" + blanks + "0\r\n"
        << "'" + QString(80, ' ') + "...' is not a valid integer value" << 0 << false;
    QTest::newRow("4097-byte index line")
        << "COM3\r\n0" + QByteArray(4096, ' ') + "\r\n"
        << "'0" + QString(79, ' ') + "...' is not a valid integer value" << 0 << false;
    QTest::newRow("10 MB port line, index still read") << huge + "\r\n1\r\n" << QString() << 1 << false;
    QTest::newRow("4 KiB index line is still a setting") << "COM3\r\n0" + QByteArray(4095, ' ') + "\r\n"
                                                         << QString() << 0 << true;
}

void PortSettingsTest::overlongSettingsLinesAreInvalid()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    QFETCH(int, selected);
    QFETCH(bool, opened);
    f->writeSettings(content);
    f->setPortList({"COM3", "COM4"});
    runGuarded([] { setupWindow->ports()->openSavedPort(); });
    QCOMPARE(f->dialogs.errors, error.isNull() ? QStringList{} : QStringList{error});
    QCOMPARE(control<QComboBox>(setupWindow, "portList")->currentIndex(), selected);
    QCOMPARE(f->port->IsOpen(), opened);
    QVERIFY(f->dialogs.messages.isEmpty());
}

void PortSettingsTest::savingWorksWhereOnlyTheFileIsWritable()
{
    if (::geteuid() == 0)
        QSKIP("the administrator writes in every folder");
    f->writeSettings("COM9\r\n0\r\n");
    const QString bin = QFileInfo(f->settingsPath()).path();
    QVERIFY(QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    f->setPortList({"COM3", "COM4"});
    f->openPort(1);
    setupWindow->close();
    QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(f->readSettings(), QByteArray("COM4\r\n1\r\n"));
    QVERIFY(f->dialogs.messages.isEmpty());
}

void PortSettingsTest::installerLeavesASettingsFileEveryUserCanWrite()
{
    QTemporaryDir root;
    QProcess install;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DESTDIR", root.path());
    install.setProcessEnvironment(environment);
    install.start(CMAKE_COMMAND, {"--install", TAVRIN_BINARY_DIR});
    QVERIFY(install.waitForFinished(60000));
    QCOMPARE(install.exitCode(), 0);
    const QFileInfo installed(root.path() + BuildConfig::INSTALL_DIR + "/Bin/COM_1.INI");
    QVERIFY(installed.exists());
    const auto everyone = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                          QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    QCOMPARE(installed.permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser), everyone);
}

void PortSettingsTest::openFailureShowsReasonAndKeepsListDisabledUntilClose()
{
    f->setPortList({"COM3"});
    f->port->failOpenReason = "No such file or directory";
    runGuarded([] { control<QPushButton>(setupWindow, "openButton")->click(); });
    QCOMPARE(f->dialogs.errors, QStringList{"TCOMPORT : cannot open COM3\rNo such file or directory"});
    QVERIFY(!control<QComboBox>(setupWindow, "portList")->isEnabled());
    QCOMPARE(control<Shape>(setupWindow, "portOpenIndicator")->BrushColor(), GREY);
    QVERIFY(!f->port->rts);
    control<QPushButton>(setupWindow, "closeButton")->click();
    QVERIFY(control<QComboBox>(setupWindow, "portList")->isEnabled());
}

void PortSettingsTest::openFailureAtStartKeepsSetUpWindowClosed()
{
    f->writeSettings("COM3\r\n0\r\n");
    f->port->failOpenReason = "Permission denied";
    // The port list is filled by the main window from the system's ports; give it ours.
    control<QComboBox>(setupWindow, "portList")->addItem("COM3");
    mainWindow->show();
    QCOMPARE(f->dialogs.errors, QStringList{"TCOMPORT : cannot open COM3\rPermission denied"});
    f->sim.clock.advance(5000);
    QVERIFY(!setupWindow->isVisible());
}

void PortSettingsTest::openWithEmptyListIsAListIndexError()
{
    runGuarded([] { setupWindow->ports()->openPort(); });
    QCOMPARE(f->dialogs.errors, QStringList{"List index out of bounds (-1)"});
    QCOMPARE(f->port->openCount, 0);
}

TAVRIN_TEST_MAIN(PortSettingsTest)
#include "tst_port_settings.moc"

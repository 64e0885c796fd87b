// The serial component's device-independent rules: terminator text, token
// splitting, line-event reporting and the line settings given to the driver.
#include "TestMain.h"

#include "comm/ComPort.h"
#include "comm/LineSettings.h"

class ComPortTest : public QObject {
    Q_OBJECT
private slots:
    void newComponentIsClosedWithLinkDefaults();
    void closedComponentIgnoresSendCloseAndRts();

    void terminatorTextRoundTrips_data();
    void terminatorTextRoundTrips();
    void badTerminatorTextIsRefused_data();
    void badTerminatorTextIsRefused();
    void nextTokenSplitsAtFirstSeparator_data();
    void nextTokenSplitsAtFirstSeparator();

    void lineEventsReportInOrderWithStatusBeforeChange_data();
    void lineEventsReportInOrderWithStatusBeforeChange();

    void lineSettingsMapToTermios_data();
    void lineSettingsMapToTermios();
    void unknownBaudKeepsTheSpeed();

    void onlyBoardDevicesAreBoardPorts_data();
    void onlyBoardDevicesAreBoardPorts();
};

void ComPortTest::newComponentIsClosedWithLinkDefaults()
{
    const ComPort port;
    QVERIFY(!port.IsOpen());
    QCOMPARE(port.Port(), QStringLiteral("COM1"));
    QCOMPARE(port.Baud(), 9600u);
    QCOMPARE(port.DataBits(), quint8(8));
    QCOMPARE(port.Parity(), ptNONE);
    QCOMPARE(port.StopBits(), sbONE);
    QCOMPARE(port.WinQSizeIn(), 8192u);
    QCOMPARE(port.WinQSizeOut(), 8192u);
    QCOMPARE(port.ReceiveMode(), rmTERM);
    QCOMPARE(port.TerminatorBytes(), QByteArray("\r\n"));
    QCOMPARE(port.GetTerminator(), QStringLiteral("#13#10"));
}

void ComPortTest::closedComponentIgnoresSendCloseAndRts()
{
    ComPort port;
    int closes = 0;
    port.OnPortClose = [&](QObject*) { ++closes; };
    port.Send("dropped");
    port.SetRTS(true);
    port.Close();
    QCOMPARE(closes, 0);
    QCOMPARE(port.writeCalls(), 0u);
}

void ComPortTest::terminatorTextRoundTrips_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("CR LF") << "#13#10" << QByteArray("\r\n") << "#13#10";
    QTest::newRow("lone CR") << "#13" << QByteArray("\r") << "#13";
    QTest::newRow("three letters") << "#65#66#67" << QByteArray("ABC") << "#65#66#67";
    QTest::newRow("NUL") << "#0" << QByteArray(1, '\0') << "#0";
    QTest::newRow("top of the 8-bit range") << "#255" << QByteArray(1, '\xFF') << "#255";
    QTest::newRow("trailing separator") << "#13#" << QByteArray("\r") << "#13";
    QTest::newRow("first character is not checked") << "x10" << QByteArray("\n") << "#10";
}

void ComPortTest::terminatorTextRoundTrips()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, readBack);
    ComPort port;
    port.SetTerminator(text);
    QCOMPARE(port.TerminatorBytes(), bytes);
    QCOMPARE(port.GetTerminator(), readBack);
}

void ComPortTest::badTerminatorTextIsRefused_data()
{
    const QString illegal = QStringLiteral("Illegal terminator string.\r"
                                           "format : #<asciicode>#<asciicode>#<...>\r"
                                           "example: #13#10");
    const QString empty = QStringLiteral("Terminator string cannot be empty!");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("left");
    QTest::newRow("letter after #") << "#A" << illegal << QByteArray("\r\n");
    QTest::newRow("bad second code") << "#13#x" << illegal << QByteArray("\r\n");
    QTest::newRow("empty code between separators") << "#13##10" << illegal << QByteArray("\r\n");
    QTest::newRow("empty text") << "" << empty << QByteArray();
    QTest::newRow("lone #") << "#" << empty << QByteArray();
}

void ComPortTest::badTerminatorTextIsRefused()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QByteArray, left);
    ComPort port;
    port.SetTerminator(QStringLiteral("#59"));
    try {
        port.SetTerminator(text);
        QFAIL("no error raised");
    } catch (const EComError& e) {
        QCOMPARE(e.message(), message);
    }
    QCOMPARE(port.TerminatorBytes(), left);
}

void ComPortTest::nextTokenSplitsAtFirstSeparator_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("rest");
    QTest::newRow("two tokens") << "13#10"
                                << "13"
                                << "10";
    QTest::newRow("no separator") << "13"
                                  << "13"
                                  << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("separator first") << "#10"
                                     << ""
                                     << "10";
    QTest::newRow("separator last") << "13#"
                                    << "13"
                                    << "";
}

void ComPortTest::nextTokenSplitsAtFirstSeparator()
{
    QFETCH(QString, text);
    QFETCH(QString, token);
    QFETCH(QString, rest);
    QCOMPARE(ComPort::NextToken(text, QStringLiteral("#")), token);
    QCOMPARE(text, rest);
}

void ComPortTest::lineEventsReportInOrderWithStatusBeforeChange_data()
{
    QTest::addColumn<quint32>("eventMask");
    QTest::addColumn<quint32>("modemStatus");
    QTest::addColumn<QStringList>("reports");
    QTest::newRow("CTS came on") << 0x0008u << 0x0000u << QStringList{"CTS on"};
    QTest::newRow("CTS went off") << 0x0008u << 0x0010u << QStringList{"CTS off"};
    QTest::newRow("DSR went off") << 0x0010u << 0x0020u << QStringList{"DSR off"};
    QTest::newRow("carrier came on") << 0x0020u << 0x0000u << QStringList{"RLSD on"};
    QTest::newRow("ring went off") << 0x0100u << 0x0040u << QStringList{"RING off"};
    QTest::newRow("line error") << 0x0080u << 0x0000u << QStringList{"ERR"};
    QTest::newRow("everything, fixed order")
        << 0x01B9u << 0x00F0u << QStringList{"CTS off", "DSR off", "RLSD off", "RING off", "ERR"};
    QTest::newRow("status bits of other lines do not matter") << 0x0008u << 0x00E0u << QStringList{"CTS on"};
    QTest::newRow("received data alone") << 0x0001u << 0x00F0u << QStringList{};
}

void ComPortTest::lineEventsReportInOrderWithStatusBeforeChange()
{
    QFETCH(quint32, eventMask);
    QFETCH(quint32, modemStatus);
    QFETCH(QStringList, reports);
    ComPort port;
    QStringList got;
    const auto recorder = [&got](const char* line) {
        return [&got, line](bool on) { got.append(QString::fromLatin1(line) + (on ? " on" : " off")); };
    };
    port.OnCTSChanged = recorder("CTS");
    port.OnDSRChanged = recorder("DSR");
    port.OnRLSDChanged = recorder("RLSD");
    port.OnRingChanged = recorder("RING");
    port.OnError = [&](QObject* sender) {
        QCOMPARE(sender, &port);
        got.append("ERR");
    };
    port.EventNotify(eventMask, modemStatus);
    QCOMPARE(got, reports);
}

void ComPortTest::lineSettingsMapToTermios_data()
{
    QTest::addColumn<quint32>("baud");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<uint>("frame"); // CSIZE, parity and stop-bit flags
    QTest::addColumn<uint>("speed");
    QTest::newRow("board link 115200 8N1")
        << 115200u << 8 << int(ptNONE) << int(sbONE) << uint(CS8) << uint(B115200);
    QTest::newRow("start-up 9600 8N1") << 9600u << 8 << int(ptNONE) << int(sbONE) << uint(CS8) << uint(B9600);
    QTest::newRow("7 odd 2") << 19200u << 7 << int(ptODD) << int(snTWO)
                             << uint(CS7 | PARENB | PARODD | CSTOPB) << uint(B19200);
    QTest::newRow("8 even 1") << 9600u << 8 << int(ptEVEN) << int(sbONE) << uint(CS8 | PARENB) << uint(B9600);
    QTest::newRow("mark parity") << 9600u << 8 << int(ptMARK) << int(sbONE)
                                 << uint(CS8 | PARENB | CMSPAR | PARODD) << uint(B9600);
    QTest::newRow("space parity") << 9600u << 8 << int(ptSPACE) << int(sbONE) << uint(CS8 | PARENB | CMSPAR)
                                  << uint(B9600);
    QTest::newRow("5 bits, 1.5 stop bits")
        << 1200u << 5 << int(ptNONE) << int(sbONE5) << uint(CS5 | CSTOPB) << uint(B1200);
    QTest::newRow("6 bits") << 4800u << 6 << int(ptNONE) << int(sbONE) << uint(CS6) << uint(B4800);
    QTest::newRow("9 bits fall back to 8")
        << 57600u << 9 << int(ptNONE) << int(sbONE) << uint(CS8) << uint(B57600);
}

// Starts from a cooked, flow-controlled line so that every flag the component
// must clear is really set.
static termios cookedLine()
{
    termios tio{};
    tio.c_iflag = ICRNL | IXON | IXOFF | IXANY | INPCK | ISTRIP | BRKINT;
    tio.c_oflag = OPOST | ONLCR;
    tio.c_lflag = ICANON | ECHO | ECHOE | ISIG | IEXTEN;
    tio.c_cflag = CS7 | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL;
    cfsetispeed(&tio, B300);
    cfsetospeed(&tio, B300);
    return tio;
}

void ComPortTest::lineSettingsMapToTermios()
{
    QFETCH(quint32, baud);
    QFETCH(int, dataBits);
    QFETCH(int, parity);
    QFETCH(int, stopBits);
    QFETCH(uint, frame);
    QFETCH(uint, speed);
    termios tio = cookedLine();
    applyLineSettings(tio, baud, quint8(dataBits), ParityMode(parity), StopBitCount(stopBits));
    QCOMPARE(uint(tio.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB)), frame);
    QCOMPARE(uint(cfgetospeed(&tio)), speed);
    QCOMPARE(uint(cfgetispeed(&tio)), speed);
    QCOMPARE(uint(tio.c_cflag & (CLOCAL | CREAD)), uint(CLOCAL | CREAD));
    QCOMPARE(uint(tio.c_cflag & (CRTSCTS | HUPCL)), 0u);
    QCOMPARE(uint(tio.c_iflag & (IXON | IXOFF | IXANY | ICRNL | ISTRIP | INPCK | BRKINT)), 0u);
    QCOMPARE(uint(tio.c_oflag & OPOST), 0u);
    QCOMPARE(uint(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)), 0u);
}

void ComPortTest::unknownBaudKeepsTheSpeed()
{
    termios tio = cookedLine();
    applyLineSettings(tio, 12345, 8, ptNONE, sbONE);
    QCOMPARE(uint(cfgetospeed(&tio)), uint(B300));
    QCOMPARE(uint(tio.c_cflag & CSIZE), uint(CS8));
}

void ComPortTest::onlyBoardDevicesAreBoardPorts_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("board");
    QTest::newRow("USB CDC board") << "/dev/ttyACM0" << true;
    QTest::newRow("USB serial adapter, two digits") << "/dev/ttyUSB12" << true;
    QTest::newRow("simulated board") << "/tmp/simulated-boards/kordex-sim" << true;
    QTest::newRow("built-in UART") << "/dev/ttyS0" << false;
    QTest::newRow("Raspberry Pi UART") << "/dev/ttyAMA0" << false;
    QTest::newRow("the controlling terminal") << "/dev/tty" << false;
    QTest::newRow("a pseudo-terminal") << "/dev/pts/3" << false;
    QTest::newRow("a board name in another folder") << "/tmp/elsewhere/ttyACM0" << false;
    QTest::newRow("a simulator's name in another folder") << "/tmp/elsewhere/kordex-sim" << false;
}

void ComPortTest::onlyBoardDevicesAreBoardPorts()
{
    QFETCH(QString, path);
    setPublishedPortsFolder("/tmp/simulated-boards");
    const bool board = IsBoardPortName(path);
    setPublishedPortsFolder({});
    QTEST(board, "board");
}

TAVRIN_TEST_MAIN(ComPortTest)
#include "tst_comport.moc"

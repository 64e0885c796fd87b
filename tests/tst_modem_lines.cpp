// The modem lines as the port's thread reads them: which line events a change of
// status stands for, and a device without lines (a pseudo-terminal) told apart
// from a device that has gone.
#include "PtyPair.h"
#include "TestMain.h"

#include "comm/ModemLines.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

Q_DECLARE_METATYPE(LineQuery)

class ModemLinesTest : public QObject {
    Q_OBJECT
private slots:
    void eventsOfAStatusChange_data();
    void eventsOfAStatusChange();
    void queriesOnAPseudoTerminal_data();
    void queriesOnAPseudoTerminal();
};

void ModemLinesTest::eventsOfAStatusChange_data()
{
    // Status bits: CTS 0x10, DSR 0x20, RING 0x40, RLSD 0x80. Event bits: CTS 0x08,
    // DSR 0x10, RLSD 0x20, RING 0x100.
    QTest::addColumn<quint32>("before");
    QTest::addColumn<quint32>("after");
    QTest::addColumn<quint32>("events");
    QTest::newRow("nothing changed") << quint32(0xF0) << quint32(0xF0) << quint32(0);
    QTest::newRow("CTS up") << quint32(0) << quint32(0x10) << quint32(0x08);
    QTest::newRow("DSR down") << quint32(0x20) << quint32(0) << quint32(0x10);
    QTest::newRow("ring") << quint32(0) << quint32(0x40) << quint32(0x100);
    QTest::newRow("carrier lost") << quint32(0x80) << quint32(0) << quint32(0x20);
    QTest::newRow("all four at once") << quint32(0) << quint32(0xF0) << quint32(0x138);
    QTest::newRow("CTS down while DSR stays up") << quint32(0x30) << quint32(0x20) << quint32(0x08);
    QTest::newRow("bits that are no line") << quint32(0x0F) << quint32(0) << quint32(0);
}

void ModemLinesTest::eventsOfAStatusChange()
{
    QFETCH(quint32, before);
    QFETCH(quint32, after);
    QFETCH(quint32, events);
    QCOMPARE(lineEvents(before, after), events);
}

void ModemLinesTest::queriesOnAPseudoTerminal_data()
{
    QTest::addColumn<bool>("deviceGone");
    QTest::addColumn<LineQuery>("expected");
    QTest::newRow("no modem lines: not a failure") << false << LineQuery::Unsupported;
    QTest::newRow("the other side closed: gone") << true << LineQuery::Gone;
}

void ModemLinesTest::queriesOnAPseudoTerminal()
{
    QFETCH(bool, deviceGone);
    QFETCH(LineQuery, expected);
    PtyPair pty;
    QVERIFY(pty.isValid());
    const int fd = ::open(pty.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    QVERIFY(fd >= 0);
    if (deviceGone)
        pty.closeMaster();
    // Whatever the answer, a value the query could not read is left as it was.
    quint32 status = 0xAB;
    quint64 errors = 7;
    QCOMPARE(readModemStatus(fd, status), expected);
    QCOMPARE(readErrorCount(fd, errors), expected);
    QCOMPARE(status, quint32(0xAB));
    QCOMPARE(errors, quint64(7));
    setModemLines(fd, TIOCM_DTR | TIOCM_RTS, true); // refused by the pseudo-terminal, no harm
    ::close(fd);
}

TAVRIN_TEST_MAIN(ModemLinesTest)
#include "tst_modem_lines.moc"

#include "RawBoardTest.h"

#include <QTest>

using namespace RawBoard;

QByteArray RawBoard::hex(const char* text)
{
    return QByteArray::fromHex(text);
}

QByteArray RawBoard::readRequest(int address)
{
    QByteArray frame = hex("23 32 00 00 00 00 0A");
    frame[2] = static_cast<char>(address);
    frame[3] = static_cast<char>(address);
    return frame;
}

void RawBoardTest::startTest()
{
    m_expectedLate = 0;
    QVERIFY(startBoard());
}

void RawBoardTest::endTest()
{
    m_port.close();
    const bool checked = m_expectedLate && m_board && m_board->isRunning();
    const qint64 late = checked ? m_board->violations() : 0;
    const QString report = checked ? m_board->violationReport() : QString();
    m_e2e.stop();
    m_board = nullptr;
    if (checked)
        QVERIFY2(late == *m_expectedLate, qPrintable(report));
}

bool RawBoardTest::startBoard(const QStringList& arguments, bool strict)
{
    m_port.close();
    m_board = nullptr;
    QString why;
    const bool started =
        m_e2e.start(SimBoard::Options{QString(), QStringLiteral("kordex-sim"), arguments, strict},
                    {.withWindows = false}, &why);
    if (!started) {
        qWarning("simulator did not start: %s", qPrintable(why));
        return false;
    }
    m_board = &m_e2e.board();
    return true;
}
bool RawBoardTest::openPort()
{
    if (!m_port.open(m_board->portPath()))
        return false;
    return QTest::qWaitFor([&] { return m_board->portState() == QLatin1String("open"); }, STATE_TIMEOUT_MS);
}

bool RawBoardTest::closePort()
{
    m_port.close();
    return QTest::qWaitFor([&] { return m_board->portState() == QLatin1String("closed"); }, STATE_TIMEOUT_MS);
}

int RawBoardTest::readParameter(int address)
{
    m_port.write(readRequest(address));
    const QByteArray answer = m_port.readBlock(ANSWER_TIMEOUT_MS);
    if (answer.size() != 3 || answer[0] != '2' || quint8(answer[1]) != address)
        return -1;
    return quint8(answer[2]);
}

bool RawBoardTest::upload(const QByteArray& request, const QList<QByteArray>& writes)
{
    if (!m_port.write(request))
        return false;
    for (const QByteArray& bytes : writes)
        if (!m_port.write(bytes))
            return false;
    return m_port.readBlock(END_TIMEOUT_MS) == "End.";
}

bool RawBoardTest::frameProcessed(const QByteArray& frame)
{
    const qint64 before = m_board->counter(QStringLiteral("frames"));
    return m_port.write(frame) && framesTaken(before, 1);
}

bool RawBoardTest::writeWhenReady(const QByteArray& frame)
{
    return QTest::qWaitFor([&] { return m_board->busyMs() == 0; }, STATE_TIMEOUT_MS) && m_port.write(frame);
}

bool RawBoardTest::framesTaken(qint64 before, qint64 count)
{
    return QTest::qWaitFor([&] { return m_board->counter(QStringLiteral("frames")) == before + count; },
                           STATE_TIMEOUT_MS);
}

// How far an operation on the link has got: its name, what it counts, how many
// of how many, as the loss message, the close question and observers read it.
#include "RecordingDialogs.h"
#include "ScriptedPort.h"
#include "TestMain.h"

#include "comm/BoardLink.h"
#include "comm/Operation.h"

#include <functional>
#include <memory>
#include <vector>

namespace {

// An operation that counts only when told to.
class Counted final : public Operation {
public:
    Counted(BoardLink& link, const char* name, const char* unit, int total)
        : Operation(link)
    {
        describe({QString::fromLatin1(name), QString::fromLatin1(unit), total, BoardLink::Blocks::Deferred, {}});
    }
    using Operation::finish;
    using Operation::progress;
    using Operation::restate;
    using Operation::setTotal;

protected:
    void run() override {}
    void halt() override {}
};

struct Operations {
    BoardLink& link;
    std::vector<std::unique_ptr<Counted>> started;
    Counted& last() { return *started.back(); }
};

using Step = std::function<void(Operations&)>;

Step begin(const char* name, const char* unit, int total)
{
    return [=](Operations& ops) {
        ops.started.push_back(std::make_unique<Counted>(ops.link, name, unit, total));
        ops.last().start();
    };
}

Step setDone(int done)
{
    return [=](Operations& ops) { ops.started.front()->progress(done); };
}

Step end()
{
    return [](Operations& ops) { ops.last().finish(true); };
}

} // namespace

Q_DECLARE_METATYPE(Step)

class LinkProgressTest : public QObject {
    Q_OBJECT
private slots:
    void progressAndLossMessage_data();
    void progressAndLossMessage();
};

void LinkProgressTest::progressAndLossMessage_data()
{
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("total");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("lost");

    QTest::newRow("counting up") << QList<Step>{begin("Write Parameters", "values", 85), setDone(20)}
                                 << "Write Parameters"
                                 << "values" << 20 << 85 << QStringList{}
                                 << "Write Parameters stopped after 20 of 85 values: the connection to "
                                    "COM3 was lost.";
    QTest::newRow("the total grows on the way")
        << QList<Step>{begin("Read Parameters", "values", 226), setDone(226),
                       [](Operations& ops) { ops.last().setTotal(240); }}
        << "Read Parameters"
        << "values" << 226 << 240 << QStringList{}
        << "Read Parameters stopped after 226 of 240 values: the connection to COM3 was lost.";
    QTest::newRow("counting something else from zero")
        << QList<Step>{begin("Calibration", "samples", 197), setDone(10),
                       [](Operations& ops) { ops.last().restate(QStringLiteral("values"), 4); }}
        << "Calibration"
        << "values" << 0 << 4 << QStringList{}
        << "Calibration stopped after 0 of 4 values: the connection to COM3 was lost.";
    QTest::newRow("a second operation is refused and changes nothing")
        << QList<Step>{begin("Erase All Sounds", "erase frames", 2), setDone(1),
                       begin("Write Parameters", "values", 85)}
        << "Erase All Sounds"
        << "erase frames" << 1 << 2 << QStringList{"Erase All Sounds is running. Wait until it has finished."}
        << "Erase All Sounds stopped after 1 of 2 erase frames: the connection to COM3 was lost.";
    QTest::newRow("the next operation starts from zero")
        << QList<Step>{begin("Erase All Sounds", "erase frames", 2), setDone(2),
                       end(), begin("Upload", "bytes", 11520)}
        << "Upload"
        << "bytes" << 0 << 11520 << QStringList{}
        << "Upload stopped after 0 of 11520 bytes: the connection to COM3 was lost.";
    QTest::newRow("an ended operation is still told, and nothing is cut short")
        << QList<Step>{begin("Write Parameters", "values", 85), setDone(85),
                       end()}
        << "Write Parameters"
        << "values" << 85 << 85 << QStringList{} << QString();
}

void LinkProgressTest::progressAndLossMessage()
{
    QFETCH(QList<Step>, steps);
    QFETCH(QString, name);
    QFETCH(QString, unit);
    QFETCH(int, done);
    QFETCH(int, total);
    QFETCH(QStringList, messages);
    QFETCH(QString, lost);
    RecordingDialogs dialogs;
    BoardLink link;
    auto port = std::make_unique<ScriptedPort>();
    port->Open();
    link.setPort(std::move(port));

    Operations ops{link, {}};
    for (const Step& step : steps)
        step(ops);

    const OperationProgress progress = link.progress();
    QCOMPARE(progress.name, name);
    QCOMPARE(progress.unit, unit);
    QCOMPARE(progress.done, done);
    QCOMPARE(progress.total, total);
    QCOMPARE(dialogs.messages, messages);
    QCOMPARE(link.deviceLost(QStringLiteral("COM3")), lost);
    QVERIFY(!link.busy());
}

TAVRIN_TEST_MAIN(LinkProgressTest)
#include "tst_link_progress.moc"

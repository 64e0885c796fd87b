// Applying a checked profile to one board on the scripted port, in simulated
// time, run as the window and the terminal run every operation: the release
// refused before anything is sent, the parameters written and read back, slots
// the journal knows left alone, Cancel in and between the steps, and the journal
// checked again at the end; the report of each end and what the view was told.
#include "ProfileSamples.h"
#include "RecordingDialogs.h"
#include "ScriptedPort.h"
#include "SimClock.h"
#include "TestMain.h"
#include "UploadAnswers.h"

#include "comm/BoardLink.h"
#include "comm/Frames.h"
#include "comm/OperationRunner.h"
#include "params/ProfileApply.h"
#include "DiskFull.h"
#include "sound/BoardJournal.h"
#include "sound/JournalledOperation.h"
#include "sound/SlotJournal.h"
#include "sound/SlotMap.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QPointer>
#include <QTemporaryDir>

using namespace Params;
using namespace ProfileSamples;

namespace {
const QString SERIAL = QStringLiteral("1523-0300");
constexpr int CLASH_RED_ADDRESS = 39; // bank 1 Clash red
constexpr qint64 LONG_ENOUGH_MS = 60000;
constexpr quint8 BOARD_BYTE = 0xAA;
// SHA-256 of the uploads' stream here, 64 bytes of 0x80.
const QString STREAM_SUM = QStringLiteral("1df1b7ce1fd8fcbe20cde61646875e54fe38d8945ea7911afd59e025cc520a68");
// What another file left in the slot the profile fills.
const Sound::SlotSource OLD_FILE{QStringLiteral("Old.wav"), SUM_B, QStringLiteral("/fonts/Old.wav"), SUM_A};

// Writes its one slot as soon as it starts: an import's journalling without a board.
class OneSlotWrite final : public JournalledOperation {
public:
    OneSlotWrite(BoardLink& link, int slot)
        : JournalledOperation(link)
        , m_slot(slot)
    {
    }
    QList<int> slotsToWrite() const override { return {m_slot}; }

protected:
    void run() override
    {
        emit slotWritten(m_slot,
                         {QStringLiteral("New.wav"), SUM_A, QStringLiteral("/fonts/New.wav"), STREAM_SUM});
        finish(true);
    }
    void halt() override {}

private:
    int m_slot;
};

// What a run shows: the wait dialog's and the terminal's part, recorded.
class RecordingView final : public OperationView {
public:
    void starting(const QString& name, bool stoppable) override
    {
        startedAs = name;
        offersCancel = stoppable;
    }
    void running() override { ++shown; }
    void renamed(const QString& name) override
    {
        titles << name;
        if (onRenamed)
            onRenamed(name);
    }
    void progressed(const OperationProgress&, const QString& line) override { text = line; }
    void ended(bool ok, const QString& message) override
    {
        endedOk = ok;
        endMessage = message;
        ++ends;
        if (onEnded)
            onEnded();
    }

    QString startedAs;
    bool offersCancel = false;
    int shown = 0;
    QStringList titles; // the steps' names as they came
    QString text;       // the last progress line
    bool endedOk = false;
    QString endMessage;
    int ends = 0;
    std::function<void(const QString& title)> onRenamed;
    std::function<void()> onEnded;
};

BoardLink::Request valuesRequest(const QString& name)
{
    BoardLink::Request request;
    request.name = name;
    request.unit = QStringLiteral("values");
    request.total = 1;
    return request;
}

// Keeps what the parameter writes send and answers every read 1 ms after it,
// except the addresses whose writes it drops.
class ParameterBoard {
public:
    ParameterBoard(BoardLink& link, ScriptedPort& port)
        : m_port(port)
        , m_timer(nullptr, 1)
    {
        QObject::connect(&link, &BoardLink::frameSent, [this](const QByteArray& frame) {
            const int address = static_cast<quint8>(frame.at(2));
            if (frame.startsWith("#1") && !dropsWrites.contains(address))
                memory[static_cast<std::size_t>(address)] = static_cast<quint8>(frame.at(3));
            else if (frame.startsWith("#2"))
                m_reads.append(address);
        });
        m_timer.setOnTimer([this] {
            for (int address : std::exchange(m_reads, {}))
                m_port.feed(QByteArray("2") + static_cast<char>(address) +
                            static_cast<char>(memory[static_cast<std::size_t>(address)]));
        });
        m_timer.setEnabled(true);
    }

    std::array<quint8, 256> memory{};
    QList<int> dropsWrites;
    int writes() const
    {
        return static_cast<int>(std::count_if(m_port.sent.begin(), m_port.sent.end(), [](const auto& s) {
            return s.bytes.startsWith("#1");
        }));
    }

private:
    ScriptedPort& m_port;
    WindowTimer m_timer;
    QList<int> m_reads;
};
} // namespace

class ProfileApplyTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void endsAsTheBoardAndJournalAllow_data();
    void endsAsTheBoardAndJournalAllow();
    void onlyTheValuesTheBoardLacksAreWritten_data();
    void onlyTheValuesTheBoardLacksAreWritten();
    void journalThatCannotBeWrittenRefusesTheUploadBeforeItsErase();
    void journalThatCannotBeKeptAfterTheWriteLeavesTheSlotUnknown();
    void cancelStopsBetweenTwoValuesAndNothingFollows();
    void slotsCountAsTheBoardConfirmsThem_data();
    void slotsCountAsTheBoardConfirmsThem();
    void theLinkStaysHeldFromTheFirstStepToTheLast();
    void cancelReachesTheStepUnderWayAndNothingFollows_data();
    void cancelReachesTheStepUnderWayAndNothingFollows();
    void reportReadsAsJsonAndSummary();

private:
    // Applies the all-ones profile for release 16.0 with one swing file in
    // bank 2, to a board running `release`, to its end.
    ProfileApplyReport apply(const QString& release);
    // Starts applying the all-ones profile with no font, the journal empty; its
    // report comes into `ended`.
    void startValuesOnly();
    // The board as a read just made found it: what the apply need not write.
    ProfileApply::Board boardAsRead(const QString& release) const;
    // Runs `apply` on a fresh `view`; its report comes into `ended`.
    void run(ProfileApply* apply, std::function<void(const QString& title)> onRenamed = {});

    std::unique_ptr<ScopedSimClock> sim;
    std::unique_ptr<BoardLink> link;
    ScriptedPort* port = nullptr;
    std::unique_ptr<ParameterBoard> board;
    std::unique_ptr<QTemporaryDir> journals;
    std::unique_ptr<Sound::BoardJournal> journal;
    // What the journal says now, call by call; the last one stays.
    QList<QList<Sound::JournalEntry>> journalSays;
    QPointer<ProfileApply> running; // disposes of itself once it has ended
    std::shared_ptr<RecordingView> view;
    std::optional<ProfileApplyReport> ended;
};

void ProfileApplyTest::init()
{
    sim = std::make_unique<ScopedSimClock>();
    link = std::make_unique<BoardLink>();
    auto scripted = std::make_unique<ScriptedPort>();
    port = scripted.get();
    port->Open();
    link->setPort(std::move(scripted));
    board = std::make_unique<ParameterBoard>(*link, *port);
    board->memory.fill(BOARD_BYTE); // no value of the profiles here: every one is written
    journals = std::make_unique<QTemporaryDir>();
    journal = std::make_unique<Sound::BoardJournal>([] { return SERIAL; }, journals->path());
    journalSays.clear();
}

void ProfileApplyTest::cleanup()
{
    delete running.data();
    // Steps disposed of at the apply's end go while their clock and link are here.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    journal.reset();
    board.reset();
    link.reset();
    sim.reset();
}

ProfileApplyReport ProfileApplyTest::apply(const QString& release)
{
    BoardProfile profile;
    profile.parameters = AllOnes();
    profile.firmwareRelease = QStringLiteral("16.0");
    ProfileCheck check = CheckProfile(profile);
    const int swing3 = Sound::SlotIndex(2, Sound::SlotKind::Swing, 3);
    check.uploads = {{swing3, QStringLiteral("Swing 3"), QStringLiteral("/fonts/blue/Swing_03.wav"),
                      QByteArray(64, '\x80'), SUM_A}};
    run(new ProfileApply(*link, *journal, profile, check,
                         boardAsRead(release),
                         [this] { return journalSays.size() > 1 ? journalSays.takeFirst() : journalSays.value(0); },
                         false));
    sim->clock.advanceUntil([this] { return ended.has_value(); }, LONG_ENOUGH_MS);
    return ended.value_or(ProfileApplyReport{});
}

void ProfileApplyTest::startValuesOnly()
{
    journalSays = {{}};
    BoardProfile profile;
    profile.parameters = AllOnes();
    run(new ProfileApply(*link, *journal, profile, CheckProfile(profile),
                         boardAsRead("16.0"),
                         [this] { return journalSays.value(0); }, false));
}

ProfileApply::Board ProfileApplyTest::boardAsRead(const QString& release) const
{
    return {QStringLiteral("COM3"), SERIAL, release, [this](int address) -> std::optional<quint8> {
                return board->memory[static_cast<std::size_t>(address)];
            }};
}

void ProfileApplyTest::run(ProfileApply* apply, std::function<void(const QString& title)> onRenamed)
{
    ended.reset();
    running = apply;
    view = std::make_shared<RecordingView>();
    view->onRenamed = std::move(onRenamed);
    view->onEnded = [this, apply] { ended = apply->report(); };
    RunOperation(apply, view);
}

void ProfileApplyTest::endsAsTheBoardAndJournalAllow_data()
{
    const int swing3 = Sound::SlotIndex(2, Sound::SlotKind::Swing, 3);
    const QList<Sound::JournalEntry> holdsIt = {
        Known(swing3, QStringLiteral("Swing_03.wav"), SUM_A, STREAM_SUM)};
    const QList<Sound::JournalEntry> forgotIt = {
        Known(swing3, QStringLiteral("Swing_03.wav"), SUM_B, STREAM_SUM)};
    QTest::addColumn<QString>("release");
    QTest::addColumn<QList<QList<Sound::JournalEntry>>>("journalSays");
    QTest::addColumn<QList<int>>("dropsWrites");
    QTest::addColumn<int>("writes");
    QTest::addColumn<int>("verified");
    QTest::addColumn<QString>("failure");

    QTest::newRow("other release: nothing sent")
        << "15.0" << QList<QList<Sound::JournalEntry>>{holdsIt} << QList<int>{} << 0 << 0
        << "This board runs release 15.0; the profile is for release 16.0. Nothing was sent.";
    QTest::newRow("slot on the board already: values only")
        << "16.0" << QList<QList<Sound::JournalEntry>>{holdsIt} << QList<int>{} << 86 << 86 << "";
    QTest::newRow("a value the board does not keep")
        << "16.0" << QList<QList<Sound::JournalEntry>>{holdsIt} << QList<int>{CLASH_RED_ADDRESS} << 86 << 85
        << "85 of 86 values verified: Bank 1 Clash red: written 1, board 170";
    QTest::newRow("journal no longer knows the slot at the end")
        << "16.0" << QList<QList<Sound::JournalEntry>>{holdsIt, forgotIt} << QList<int>{} << 86 << 86
        << "the slot journal does not record these slots as holding their file: Bank 2 Swing 3.";
}

void ProfileApplyTest::endsAsTheBoardAndJournalAllow()
{
    QFETCH(QString, release);
    QFETCH(QList<QList<Sound::JournalEntry>>, journalSays);
    QFETCH(QList<int>, dropsWrites);
    QFETCH(int, writes);
    QFETCH(int, verified);
    QFETCH(QString, failure);
    this->journalSays = journalSays;
    board->dropsWrites = dropsWrites;

    const ProfileApplyReport report = apply(release);
    QCOMPARE(report.failure, failure);
    QCOMPARE(board->writes(), writes);
    QCOMPARE(report.valuesVerified, verified);
    QCOMPARE(report.serialNumber, SERIAL);
    QCOMPARE(report.release, release);
    QCOMPARE(report.slotsUploaded, 0);
    QCOMPARE(report.slotsSkipped, 1);
    if (writes == 0)
        QVERIFY(port->sent.isEmpty());
    else // 86 writes 100 ms apart, the last one's pause, then the reads
        QVERIFY2(report.durationMs > 8600, qPrintable(QString::number(report.durationMs)));
    QVERIFY(!link->busy());
}

void ProfileApplyTest::onlyTheValuesTheBoardLacksAreWritten_data()
{
    QTest::addColumn<bool>("readJustBefore"); // what the board holds is given, or compared first
    QTest::addColumn<bool>("force");
    QTest::addColumn<QList<int>>("writtenTo");
    QTest::newRow("compared first") << false << false << QList<int>{CLASH_RED_ADDRESS};
    QTest::newRow("read just before") << true << false << QList<int>{CLASH_RED_ADDRESS};
    QTest::newRow("forced") << true << true << QList<int>{};
}

void ProfileApplyTest::onlyTheValuesTheBoardLacksAreWritten()
{
    QFETCH(bool, readJustBefore);
    QFETCH(bool, force);
    QFETCH(QList<int>, writtenTo);
    journalSays = {{}};
    BoardProfile profile;
    profile.parameters = AllOnes();
    profile.parameters.frequencyMode = 3;
    profile.parameters.defaultBank = 2;
    ProfileCheck check = CheckProfile(profile);
    QVERIFY(check.ok());
    // The board holds the profile but for Bank 1 Clash red.
    for (const ParameterWrite& write : check.parameters.all())
        board->memory[static_cast<std::size_t>(write.address)] = write.value;
    board->memory[CLASH_RED_ADDRESS] = 7;
    ProfileApply::Board which = boardAsRead("16.0");
    if (!readJustBefore)
        which.heldByte = {};
    run(new ProfileApply(*link, *journal, profile, check, which, [this] { return journalSays.value(0); },
                         force));
    QVERIFY(sim->clock.advanceUntil([this] { return ended.has_value(); }, LONG_ENOUGH_MS));
    QVERIFY2(ended->ok(), qPrintable(ended->failure));
    QList<int> written;
    for (const ScriptedPort::Sent& sent : port->sent)
        if (sent.bytes.startsWith("#1"))
            written.append(static_cast<quint8>(sent.bytes.at(2)));
    // Forced: the 85 values and the default bank, as "Write Parameters" orders them.
    QCOMPARE(written.size(), force ? 86 : writtenTo.size());
    if (!force)
        QCOMPARE(written, writtenTo);
    QCOMPARE(ended->valuesWritten, written.size());
    QCOMPARE(ended->valuesVerified, 86);
    QCOMPARE(board->memory[CLASH_RED_ADDRESS], 1);

    // Applied again to the board that now matches: nothing is written.
    port->clearSent();
    run(new ProfileApply(*link, *journal, profile, check, which, [this] { return journalSays.value(0); }, false));
    QVERIFY(sim->clock.advanceUntil([this] { return ended.has_value(); }, LONG_ENOUGH_MS));
    QVERIFY2(ended->ok(), qPrintable(ended->failure));
    QCOMPARE(board->writes(), 0);
    QCOMPARE(ended->valuesVerified, 86);
}

void ProfileApplyTest::slotsCountAsTheBoardConfirmsThem_data()
{
    QTest::addColumn<bool>("answers");
    QTest::addColumn<bool>("cancelAfterFirst");
    QTest::addColumn<int>("uploaded");
    QTest::addColumn<QString>("failure");
    QTest::newRow("all answered") << true << false << 3 << "";
    // Cancel during the second file: it is completed, the third is not begun.
    QTest::newRow("stopped part-way through the bank")
        << true << true << 2
        << "The import into bank 2 was stopped after 2 of 3 files; the other slots keep what they held.";
    QTest::newRow("never answered")
        << false << false << 0
        << "The board did not confirm the upload into Bank 2 Swing 3: no \"End.\" came after the sound was sent. "
           "The slot may hold only part of it; upload it again. The import into bank 2 was stopped after 0 of 3 "
           "files; the other slots keep what they held.";
}

void ProfileApplyTest::slotsCountAsTheBoardConfirmsThem()
{
    QFETCH(bool, answers);
    QFETCH(bool, cancelAfterFirst);
    QFETCH(int, uploaded);
    QFETCH(QString, failure);
    UploadAnswers board(*link, *port);
    board.enabled = answers;
    BoardProfile profile;
    profile.parameters = AllOnes();
    ProfileCheck check = CheckProfile(profile);
    const int swing3 = Sound::SlotIndex(2, Sound::SlotKind::Swing, 3);
    const int swing4 = Sound::SlotIndex(2, Sound::SlotKind::Swing, 4);
    const int swing5 = Sound::SlotIndex(2, Sound::SlotKind::Swing, 5);
    check.uploads = {
        {swing3, QStringLiteral("Swing 3"), QStringLiteral("/fonts/blue/Swing_03.wav"), QByteArray(64, '\x80'), SUM_A},
        {swing4, QStringLiteral("Swing 4"), QStringLiteral("/fonts/blue/Swing_04.wav"), QByteArray(64, '\x80'), SUM_B},
        {swing5, QStringLiteral("Swing 5"), QStringLiteral("/fonts/blue/Swing_05.wav"), QByteArray(64, '\x80'), SUM_A}};
    const Sound::SlotJournal kept(journals->path());
    run(new ProfileApply(*link, *journal, profile, check, boardAsRead("16.0"),
                         [&kept] { return kept.list(SERIAL); }, false));
    if (cancelAfterFirst) {
        QVERIFY(sim->clock.advanceUntil([&] { return kept.list(SERIAL).at(swing3).known(); }, LONG_ENOUGH_MS));
        running->cancel();
    }
    QVERIFY(sim->clock.advanceUntil([this] { return ended.has_value(); }, LONG_ENOUGH_MS));
    QCOMPARE(ended->failure, failure);
    QCOMPARE(ended->slotsUploaded, uploaded);
    // The journal holds exactly the slots counted.
    QCOMPARE(kept.list(SERIAL).at(swing3).known(), uploaded >= 1);
    QCOMPARE(kept.list(SERIAL).at(swing4).known(), uploaded >= 2);
    QCOMPARE(kept.list(SERIAL).at(swing5).known(), uploaded == 3);
    QCOMPARE(kept.list(SERIAL).at(swing3).sentChecksum, uploaded >= 1 ? STREAM_SUM : QString());
    QVERIFY(!link->busy());
}


void ProfileApplyTest::journalThatCannotBeWrittenRefusesTheUploadBeforeItsErase()
{
    const int swing3 = Sound::SlotIndex(2, Sound::SlotKind::Swing, 3);
    Sound::SlotJournal onDisk(journals->path());
    const QString path = onDisk.fileFor(SERIAL);
    // What another file left in the slot: still true while nothing is erased.
    QCOMPARE(onDisk.record(SERIAL, swing3, OLD_FILE, QDateTime::currentDateTime()), QString());
    journalSays = {{Known(swing3, QStringLiteral("Old.wav"), SUM_B)}};
    ProfileApplyReport report;
    {
        const DiskFull full(WriteStep::Write, path);
        report = apply(QStringLiteral("16.0"));
    }
    QCOMPARE(report.failure, QStringLiteral("The slot journal %1 cannot be written: No space left on device. Nothing "
                                            "was erased or sent: the journal would go on naming what the slots held "
                                            "before.")
                                 .arg(path));
    QCOMPARE(report.valuesVerified, 86);
    QCOMPARE(report.slotsUploaded, 0);
    // The values went; no slot request, erase or sample followed them.
    for (const ScriptedPort::Sent& sent : port->sent)
        QVERIFY2(sent.bytes.startsWith("#1") || sent.bytes.startsWith("#2"), sent.bytes.toHex(' ').constData());
    QCOMPARE(onDisk.list(SERIAL).at(swing3).fileName, QStringLiteral("Old.wav"));
    QVERIFY(!link->busy());
}

void ProfileApplyTest::journalThatCannotBeKeptAfterTheWriteLeavesTheSlotUnknown()
{
    const int swing3 = Sound::SlotIndex(2, Sound::SlotKind::Swing, 3);
    Sound::SlotJournal onDisk(journals->path());
    const QString path = onDisk.fileFor(SERIAL);
    QCOMPARE(onDisk.record(SERIAL, swing3, OLD_FILE, QDateTime::currentDateTime()), QString());
    QStringList told;
    connect(journal.get(), &Sound::BoardJournal::notRecorded, this, [&told](const QString& why) { told << why; });
    auto* write = new OneSlotWrite(*link, swing3);
    {
        // The slot is forgotten before it is erased; the record of the new file fails.
        const DiskFull full(WriteStep::Write, path, 1);
        QCOMPARE(journal->follow(write), QString());
        QVERIFY(write->start());
    }
    write->deleteLater();
    QCOMPARE(told, QStringList{QStringLiteral("The slot journal %1 cannot be written: No space left on device. "
                                              "Bank 2 Swing 3 holds New.wav but counts as unknown until it is "
                                              "written again.")
                                   .arg(path)});
    QVERIFY(!onDisk.list(SERIAL).at(swing3).known());
}

void ProfileApplyTest::cancelStopsBetweenTwoValuesAndNothingFollows()
{
    startValuesOnly();
    sim->clock.advance(1050); // frames at 0, 100, ..., 1000 ms
    running->cancel();
    sim->clock.advance(LONG_ENOUGH_MS);
    QVERIFY(ended.has_value());
    QCOMPARE(board->writes(), 11);
    QCOMPARE(port->sentBytes().count("#2"), 0); // no read-back after a stop
    QCOMPARE(ended->failure, QStringLiteral("Write Parameters was stopped after 11 of 86 values: the board now "
                                            "holds the new values up to there and its former values after."));
    QCOMPARE(ended->durationMs, 1050);
    QCOMPARE(ended->valuesWritten, 11);
}

void ProfileApplyTest::theLinkStaysHeldFromTheFirstStepToTheLast()
{
    // Write and read-back are two operations; nothing may slip in between them.
    RecordingDialogs dialogs;
    QList<bool> busyChanges;
    int sentWhileFree = 0;
    connect(link.get(), &BoardLink::busyChanged, this, [&busyChanges](bool busy) { busyChanges << busy; });
    connect(link.get(), &BoardLink::frameSent, this, [&] { sentWhileFree += link->busy() ? 0 : 1; });
    startValuesOnly();
    sim->clock.advance(50);
    QVERIFY(!link->begin(valuesRequest(QStringLiteral("Read Parameters"))));
    QCOMPARE(dialogs.messages, QStringList{"Apply profile is running. Wait until it has finished."});
    sim->clock.advanceUntil([this] { return ended.has_value(); }, LONG_ENOUGH_MS);
    QVERIFY(ended.has_value());
    QVERIFY2(ended->ok(), qPrintable(ended->failure));
    QCOMPARE(busyChanges, (QList<bool>{true, false}));
    QCOMPARE(sentWhileFree, 0);
    QCOMPARE(board->writes(), 86);
    // The run showed one operation, named after each step as it came, and ended with the report.
    QCOMPARE(view->startedAs, QStringLiteral("Apply profile"));
    QVERIFY(view->offersCancel);
    QCOMPARE(view->shown, 1);
    QCOMPARE(view->titles, (QStringList{"Write Parameters", "Verify"}));
    QCOMPARE(view->text, QStringLiteral("86 of 86 values"));
    QCOMPARE(view->ends, 1);
    QVERIFY(view->endedOk);
    QVERIFY2(view->endMessage.startsWith(
                 QStringLiteral("COM3 (serial 1523-0300, release 16.0): 86 values written, 86 verified;")),
             qPrintable(view->endMessage));
}

void ProfileApplyTest::cancelReachesTheStepUnderWayAndNothingFollows_data()
{
    QTest::addColumn<QString>("step");     // the step under way, or just ended, when it comes
    QTest::addColumn<bool>("betweenSteps"); // right after that step's end, before the next begins
    QTest::addColumn<bool>("deviceLost");   // the board goes away instead
    QTest::addColumn<int>("reads");
    QTest::addColumn<QString>("lost");
    QTest::addColumn<QString>("failure");
    // Verify stops before its first read; the upload never begins.
    QTest::newRow("during Verify") << "Verify" << false << false << 0 << ""
                                   << "Verify was stopped after 0 of 86 values.";
    QTest::newRow("between Write Parameters and Verify")
        << "Write Parameters" << true << false << 0 << ""
        << "stopped after Write Parameters; nothing after it was sent.";
    QTest::newRow("device lost between Write Parameters and Verify")
        << "Write Parameters" << true << true << 0
        << "Write Parameters stopped after 86 of 86 values: the connection to COM3 was lost."
        << "the connection to the board was lost during Write Parameters.";
}

void ProfileApplyTest::cancelReachesTheStepUnderWayAndNothingFollows()
{
    QFETCH(QString, step);
    QFETCH(bool, betweenSteps);
    QFETCH(bool, deviceLost);
    QFETCH(int, reads);
    QFETCH(QString, lost);
    QFETCH(QString, failure);
    RecordingDialogs dialogs;
    journalSays = {{}};
    BoardProfile profile;
    profile.parameters = AllOnes();
    ProfileCheck check = CheckProfile(profile);
    const int swing3 = Sound::SlotIndex(2, Sound::SlotKind::Swing, 3);
    check.uploads = {{swing3, QStringLiteral("Swing 3"), QStringLiteral("/fonts/blue/Swing_03.wav"),
                      QByteArray(64, '\x80'), SUM_A}};
    auto* apply = new ProfileApply(*link, *journal, profile, check,
                                   boardAsRead("16.0"),
                                   [this] { return journalSays.value(0); }, false);
    QString cutShort;
    const auto stop = [&] {
        if (deviceLost)
            cutShort = link->deviceLost(QStringLiteral("COM3"));
        else
            QVERIFY(CancelOperation(*link->current(), {}));
    };
    run(apply, [&](const QString& title) {
        if (title != step)
            return;
        Operation* under = link->current();
        QVERIFY(under && under->host() == apply);
        if (betweenSteps) // at the step's own end, before the go-ahead to the next one
            connect(under, &Operation::finished, this, stop);
        else
            stop();
    });
    QVERIFY(sim->clock.advanceUntil([this] { return ended.has_value(); }, LONG_ENOUGH_MS));
    QCOMPARE(ended->failure, failure);
    QCOMPARE(cutShort, lost);
    QCOMPARE(board->writes(), 86);
    QCOMPARE(port->sentBytes().count("#2"), reads);
    for (const ScriptedPort::Sent& sent : port->sent) // no slot request, erase or sample
        QVERIFY2(sent.bytes.startsWith("#1") || sent.bytes.startsWith("#2"), sent.bytes.toHex(' ').constData());
    QCOMPARE(view->ends, 1);
    QCOMPARE(view->endedOk, false);
    // A lost device is told by the loss message; any other end by the report.
    if (deviceLost)
        QCOMPARE(view->endMessage, QString());
    else
        QVERIFY2(view->endMessage.endsWith(QStringLiteral("\nCOM3: ") + failure), qPrintable(view->endMessage));
    QVERIFY(dialogs.messages.isEmpty());
    QVERIFY(!link->busy());
}

void ProfileApplyTest::reportReadsAsJsonAndSummary()
{
    ProfileApplyReport report;
    report.port = QStringLiteral("/dev/ttyACM0");
    report.serialNumber = SERIAL;
    report.release = QStringLiteral("16.0");
    report.valuesWritten = 86;
    report.valuesVerified = 86;
    report.slotsUploaded = 19;
    report.slotsSkipped = 2;
    report.durationMs = 41200;
    QCOMPARE(ReportSummary(report), QStringLiteral("/dev/ttyACM0 (serial 1523-0300, release 16.0): 86 values "
                                                   "written, 86 verified; 19 slots uploaded, 2 left as they "
                                                   "were; 41.2 s."));
    QCOMPARE(QJsonDocument(ReportJson(report)).toJson(QJsonDocument::Compact),
             QByteArray(R"({"durationMs":41200,"ok":true,"port":"/dev/ttyACM0","release":"16.0",)"
                        R"("serialNumber":"1523-0300","slotsSkipped":2,"slotsUploaded":19,"started":true,)"
                        R"("valuesVerified":86,"valuesWritten":86})"));
    report.failure = QStringLiteral("the connection to the board was lost during Write Parameters.");
    QVERIFY(ReportJson(report).value(QStringLiteral("failure")).toString() == report.failure);
    QVERIFY(!ReportJson(report).value(QStringLiteral("ok")).toBool());
    QVERIFY(ReportSummary(report).endsWith(
        QStringLiteral("\n/dev/ttyACM0: the connection to the board was lost during Write Parameters.")));

    // A board that never got to the apply: its failure names the port already.
    ProfileApplyReport unreached;
    unreached.port = QStringLiteral("/dev/ttyACM1");
    unreached.failure = QStringLiteral("No board answered on /dev/ttyACM1.");
    unreached.started = false;
    QCOMPARE(ReportSummary(unreached), QStringLiteral("/dev/ttyACM1: the profile was not applied; nothing of it "
                                                      "was sent.\nNo board answered on /dev/ttyACM1."));
    QCOMPARE(QJsonDocument(ReportJson(unreached)).toJson(QJsonDocument::Compact),
             QByteArray(R"({"durationMs":0,"failure":"No board answered on /dev/ttyACM1.","ok":false,)"
                        R"("port":"/dev/ttyACM1","release":"","serialNumber":"","slotsSkipped":0,)"
                        R"("slotsUploaded":0,"started":false,"valuesVerified":0,"valuesWritten":0})"));
}

TAVRIN_TEST_MAIN(ProfileApplyTest)
#include "tst_profile_apply.moc"

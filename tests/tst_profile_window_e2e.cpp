// Board profiles in the set-up window, end to end: the real windows and serial
// component, a strict simulated board. A profile saved from the board matches
// it; a value changed behind the tool's back is the one difference listed, and
// applying the profile mends it and shows the board's values again. A slot the
// journal does not know is listed from the journal and uploaded by the apply,
// which journals it. A profile that cannot be applied sends nothing at all.
#include "CliRun.h"
#include "Controls.h"
#include "DiskFull.h"
#include "EndToEndFixture.h"
#include "ProfileSamples.h"
#include "TestMain.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "app/WaitDialog.h"
#include "sound/ui/SoundBrowser.h"
#include "sound/ui/SoundPanel.h"
#include "comm/BoardLink.h"
#include "comm/Operation.h"
#include "params/BoardProfile.h"
#include "params/ui/ProfileDifferencesView.h"
#include "sound/SlotJournal.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>

using CliRun::CLASH_RED_ADDRESS;

namespace {
constexpr int OPERATION_MS = 60000;
const QStringList BOARD_OPTIONS = {"--idle-ms", "1500"};
// A serial number of this test's own: its journal starts empty.
constexpr int SERIAL = 9301;
const QString SERIAL_TEXT = QStringLiteral("1523-9301");
constexpr int SERIAL_HIGH_ADDRESS = 106;
constexpr int SERIAL_LOW_ADDRESS = 107;
// Bank 1 Clash red as the board holds it when the profile is saved, and as it
// is changed behind the tool's back.
constexpr int SAVED_CLASH_RED = 77;
constexpr int CHANGED_CLASH_RED = 7;

// The saved profile, with `entries` laid over it, written back as a JSON profile.
bool addToProfile(const QString& path, const QJsonObject& entries)
{
    const Params::BoardProfileRead saved = Params::ReadBoardProfileFile(path);
    if (!saved.profile)
        return false;
    QJsonObject root = QJsonDocument::fromJson(Params::WriteBoardProfile(*saved.profile)).object();
    for (auto it = entries.begin(); it != entries.end(); ++it)
        root.insert(it.key(), it.value());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(root).toJson()) > 0;
}
} // namespace

class ProfileWindowEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void savedProfileFindsAChangedValueAndApplyMendsIt();
    void profileSavedAfterAWriteHoldsWhatWasWritten();
    void slotUnknownToTheJournalIsListedThenUploaded();
    void cancelInTheWaitDialogStopsTheApplyAtASafePoint();
    void profileThatCannotBeAppliedSendsNothing_data();
    void profileThatCannotBeAppliedSendsNothing();

private:
    // Reads the board through "Read Parameters" and saves its profile; its path.
    QString readAndSave();
    // Clicks `button`, then waits until the board is idle again.
    bool clickUntilIdle(QPushButton* button);
    // The same with `profile` chosen.
    bool clickWithProfile(QPushButton* button, const QString& profile);
    // Clicks "Apply profile..." with `profile` chosen; its report.
    QString apply(const QString& profile);
    // The rows of the differences view, each "setting | profile | board | source".
    QStringList differenceRows() const;

    EndToEndFixture e2e;
    SetupWindowFixture* f = nullptr;
};

void ProfileWindowEndToEndTest::init()
{
    QString why;
    QVERIFY2(e2e.start({{}, QStringLiteral("kordex-sim"), BOARD_OPTIONS},
                       {.openPort = true, .setUpMode = true}, &why),
             qPrintable(why));
    f = &e2e.windows();
    QFile::remove(Sound::SlotJournal().fileFor(SERIAL_TEXT));
    QVERIFY(e2e.board().setParam(SERIAL_HIGH_ADDRESS, SERIAL >> 8));
    QVERIFY(e2e.board().setParam(SERIAL_LOW_ADDRESS, SERIAL & 0xFF));
    QVERIFY(e2e.board().setParam(CLASH_RED_ADDRESS, SAVED_CLASH_RED));
}

void ProfileWindowEndToEndTest::cleanup()
{
    e2e.stop();
}

bool ProfileWindowEndToEndTest::clickWithProfile(QPushButton* button, const QString& profile)
{
    f->dialogs.files.enqueue(profile);
    return clickUntilIdle(button);
}

bool ProfileWindowEndToEndTest::clickUntilIdle(QPushButton* button)
{
    button->click();
    const Params::Board* board = setupWindow->board();
    return WaitFor([board] { return !board->link()->busy(); }, OPERATION_MS) && e2e.waitUntilBoardIsReady();
}

QString ProfileWindowEndToEndTest::apply(const QString& profile)
{
    f->dialogs.clear();
    if (!clickWithProfile(control<QPushButton>(setupWindow, "applyProfileButton"), profile) ||
        !WaitFor([this] { return !f->dialogs.messages.isEmpty() || !f->dialogs.errors.isEmpty(); },
                 OPERATION_MS) ||
        !f->dialogs.errors.isEmpty() || f->dialogs.messages.size() != 1 || waitDialog->isVisible())
        return {};
    // The read after it, to its end.
    const Params::Board* board = setupWindow->board();
    if (!WaitFor([board] { return !board->link()->busy(); }, OPERATION_MS) || !e2e.waitUntilBoardIsReady())
        return {};
    return f->dialogs.messages.first();
}

QStringList ProfileWindowEndToEndTest::differenceRows() const
{
    const ProfileDifferencesView* view =
        setupWindow->findChild<ProfileDifferencesView*>(QStringLiteral("ProfileDifferences"));
    if (!view || !view->isVisible())
        return {};
    const QTableWidget* table = view->table();
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column)
            cells << table->item(row, column)->text();
        rows << cells.join(QStringLiteral(" | "));
    }
    return rows;
}

QString ProfileWindowEndToEndTest::readAndSave()
{
    const QString path = f->folder.filePath(QStringLiteral("board.json"));
    // Nothing of the board is known before its read: nothing is written.
    f->dialogs.files.enqueue(path);
    control<QPushButton>(setupWindow, "saveProfileButton")->click();
    if (f->dialogs.errors !=
            QStringList{"Save profile needs the board read since its port was opened: press \"Read "
                        "Parameters\" first."} ||
        QFile::exists(path))
        return {};
    f->dialogs.files.clear();
    f->dialogs.clear();
    if (!clickUntilIdle(control<QPushButton>(setupWindow, "readParametersButton")))
        return {};
    const qint64 frames = e2e.board().counter(QStringLiteral("frames"));
    f->dialogs.files.enqueue(path);
    control<QPushButton>(setupWindow, "saveProfileButton")->click();
    // Saving talks to no board.
    return e2e.board().counter(QStringLiteral("frames")) == frames && f->dialogs.errors.isEmpty() ? path
                                                                                                  : QString();
}

void ProfileWindowEndToEndTest::savedProfileFindsAChangedValueAndApplyMendsIt()
{
    const QString path = readAndSave();
    QVERIFY(!path.isEmpty());
    const Params::BoardProfileRead saved = Params::ReadBoardProfileFile(path);
    QVERIFY2(saved.profile, qPrintable(saved.error));
    QCOMPARE(saved.profile->parameters.edits.value(QStringLiteral("bank1ClashRed")), QStringLiteral("77"));
    QCOMPARE(saved.profile->parameters.serialNumber, SERIAL_TEXT);
    for (const auto& bank : saved.profile->banks)
        QVERIFY(!bank); // the journal knows no slot of this board

    // A disk that fills up keeps the profile saved before.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    {
        const DiskFull full(WriteStep::Flush, path);
        f->dialogs.files.enqueue(path);
        control<QPushButton>(setupWindow, "saveProfileButton")->click();
    }
    QCOMPARE(f->dialogs.errors, QStringList{QStringLiteral("Cannot save the profile to %1: No space left on "
                                                           "device. The file is as it was.")
                                                .arg(path)});
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    f->dialogs.clear();

    QVERIFY(clickWithProfile(control<QPushButton>(setupWindow, "compareProfileButton"), path));
    QVERIFY(WaitFor([this] { return !f->dialogs.messages.isEmpty(); }, OPERATION_MS));
    QCOMPARE(f->dialogs.messages, QStringList{"The board matches the profile."});
    f->dialogs.clear();

    QVERIFY(e2e.board().setParam(CLASH_RED_ADDRESS, CHANGED_CLASH_RED));
    QVERIFY(clickWithProfile(control<QPushButton>(setupWindow, "compareProfileButton"), path));
    QCOMPARE(differenceRows(), QStringList{"parameters.bank1.clash.red | 77 | 7 | board"});
    QVERIFY(f->dialogs.messages.isEmpty());
    QCOMPARE(control<QLineEdit>(setupWindow, QStringLiteral("bank1ClashRed"))->text(), QStringLiteral("7"));

    const QString report = apply(path);
    QVERIFY2(report.contains(QStringLiteral("(serial 1523-9301, release ")), qPrintable(report));
    // The board was compared first: only the value changed behind the tool went.
    QVERIFY2(report.contains(QStringLiteral("1 values written, 86 verified;")), qPrintable(report));
    QVERIFY2(report.contains(QStringLiteral("0 slots uploaded, 0 left as they were")), qPrintable(report));
    QCOMPARE(e2e.board().param(CLASH_RED_ADDRESS), SAVED_CLASH_RED);
    // The board has been read again: the screen shows what it now holds.
    QCOMPARE(control<QLineEdit>(setupWindow, QStringLiteral("bank1ClashRed"))->text(), QStringLiteral("77"));
    QString late;
    QVERIFY2(e2e.finish(&late), qPrintable(late));
}

void ProfileWindowEndToEndTest::profileSavedAfterAWriteHoldsWhatWasWritten()
{
    constexpr int BANK2_CLASH_RED_ADDRESS = 63;
    const QString path = readAndSave();
    QVERIFY(!path.isEmpty());
    auto* red = setupWindow->findChild<QLineEdit*>(QStringLiteral("bank2ClashRed"));
    QVERIFY(red);
    red->selectAll();
    QTest::keyClicks(red, QStringLiteral("123"));
    QVERIFY(clickUntilIdle(setupWindow->findChild<QPushButton*>(QStringLiteral("writeParametersButton"))));
    QCOMPARE(e2e.board().param(BANK2_CLASH_RED_ADDRESS), 123);

    f->dialogs.files.enqueue(path);
    setupWindow->findChild<QPushButton*>(QStringLiteral("saveProfileButton"))->click();
    QCOMPARE(f->dialogs.errors, QStringList());
    const Params::BoardProfileRead saved = Params::ReadBoardProfileFile(path);
    QVERIFY2(saved.profile, qPrintable(saved.error));
    QCOMPARE(saved.profile->parameters.edits.value(QStringLiteral("bank2ClashRed")), QStringLiteral("123"));
    QCOMPARE(saved.profile->parameters.edits.value(QStringLiteral("bank1ClashRed")), QStringLiteral("77"));
}

void ProfileWindowEndToEndTest::slotUnknownToTheJournalIsListedThenUploaded()
{
    const QString path = readAndSave();
    QVERIFY(!path.isEmpty());
    const QString sound = f->folder.filePath(QStringLiteral("swing.wav"));
    QVERIFY(QFile::copy(QStringLiteral(TAVRIN_BASE_SOUNDS_DIR "/Base_Swing_1_0.wav"), sound));
    const QString checksum = ProfileSamples::Sha256Of(sound);
    const QJsonObject slot{{QStringLiteral("file"), QStringLiteral("swing.wav")},
                           {QStringLiteral("sha256"), checksum}};
    const QJsonObject bankSlots{{QStringLiteral("slots"), QJsonObject{{QStringLiteral("swing1"), slot}}}};
    QVERIFY(addToProfile(path, {{QStringLiteral("banks"),
                                 QJsonObject{{QStringLiteral("2"), bankSlots}, {QStringLiteral("3"), bankSlots}}}}));

    QVERIFY(clickWithProfile(control<QPushButton>(setupWindow, "compareProfileButton"), path));
    QCOMPARE(differenceRows(),
             (QStringList{QStringLiteral("banks.2.slots.swing1 | swing.wav (SHA-256 %1) | unknown | journal")
                              .arg(checksum),
                          QStringLiteral("banks.3.slots.swing1 | swing.wav (SHA-256 %1) | unknown | journal")
                              .arg(checksum)}));

    const qint64 uploads = e2e.board().counter(QStringLiteral("uploads"));
    // A value the apply mends, for the read after it to show.
    QVERIFY(e2e.board().setParam(CLASH_RED_ADDRESS, CHANGED_CLASH_RED));
    // The wait dialog names each step as it comes, tells how far it has got,
    // and stays up, with its Cancel, from the first step to the report.
    QStringList steps;
    const QMetaObject::Connection watch = connect(waitDialog, &QWidget::windowTitleChanged, this,
                                                  [&steps](const QString& title) { steps << title; });
    QStringList hiddenDuring;
    QTimer watchDialog;
    connect(&watchDialog, &QTimer::timeout, this, [&] {
        const Operation* running = setupWindow->board()->link()->current();
        if (running && running->host() && !waitDialog->isVisible())
            hiddenDuring << waitDialog->windowTitle();
    });
    watchDialog.start(1);
    const QString report = apply(path);
    watchDialog.stop();
    disconnect(watch);
    QCOMPARE(steps.mid(steps.indexOf(QStringLiteral("Write Parameters"))),
             (QStringList{"Write Parameters", "Verify", "Importing the sound font into bank 2",
                          "Importing the sound font into bank 3"}));
    hiddenDuring.removeDuplicates();
    QVERIFY2(hiddenDuring.isEmpty(), qPrintable(hiddenDuring.join(QStringLiteral(", "))));
    QCOMPARE(waitDialog->message->text(), QStringLiteral("1 of 1 files"));
    // One report, and no box per file on the way.
    QVERIFY2(report.contains(QStringLiteral("2 slots uploaded, 0 left as they were")), qPrintable(report));
    QCOMPARE(e2e.board().counter(QStringLiteral("uploads")), uploads + 2);
    // The read after the apply has put the board's values on the screen.
    QCOMPARE(control<QLineEdit>(setupWindow, QStringLiteral("bank1ClashRed"))->text(), QStringLiteral("77"));
    const QList<Sound::JournalEntry> journal = Sound::SlotJournal().list(SERIAL_TEXT);
    QVERIFY(std::any_of(journal.begin(), journal.end(), [&checksum](const Sound::JournalEntry& entry) {
        return entry.fileName == QStringLiteral("swing.wav") && entry.checksum == checksum;
    }));

    // The journal now knows the slot to hold its file.
    f->dialogs.clear();
    QVERIFY(clickWithProfile(control<QPushButton>(setupWindow, "compareProfileButton"), path));
    QVERIFY(WaitFor([this] { return !f->dialogs.messages.isEmpty(); }, OPERATION_MS));
    QCOMPARE(f->dialogs.messages, QStringList{"The board matches the profile."});
    QVERIFY(!control<ProfileDifferencesView>(setupWindow, "ProfileDifferences")->isVisible());

    // The sound moved away since: saving asks before it leaves both slots out.
    QVERIFY(QFile::rename(sound, sound + QStringLiteral(".moved")));
    const QString travelling = f->folder.filePath(QStringLiteral("travelling.zip"));
    const QString missing = QStringLiteral("the file %1 cannot be read (No such file or directory).").arg(sound);
    const QString question = QStringLiteral("These sounds cannot be put into the profile:\nbanks.2.slots.swing1: %1\n"
                                            "banks.3.slots.swing1: %1\n\nSave the profile without them?")
                                 .arg(missing);
    f->dialogs.clear();
    f->dialogs.answers.enqueue(false);
    f->dialogs.files.enqueue(travelling);
    control<QPushButton>(setupWindow, "saveProfileButton")->click();
    QCOMPARE(f->dialogs.questions, QStringList{question});
    QVERIFY(!QFile::exists(travelling));
    f->dialogs.clear();
    control<QPushButton>(setupWindow, "saveProfileButton")->click();
    QCOMPARE(f->dialogs.questions, QStringList{question});
    const Params::BoardProfileRead withoutSounds = Params::ReadBoardProfileFile(travelling);
    QVERIFY2(withoutSounds.profile, qPrintable(withoutSounds.error));
    QVERIFY(!withoutSounds.profile->bank(2) && !withoutSounds.profile->bank(3));
    QString late;
    QVERIFY2(e2e.finish(&late), qPrintable(late));
}

void ProfileWindowEndToEndTest::cancelInTheWaitDialogStopsTheApplyAtASafePoint()
{
    const QString path = readAndSave();
    QVERIFY(!path.isEmpty());
    f->dialogs.clear();
    // Bank 1's Guard and Swing colours changed behind the tool: the apply finds
    // them in its comparison and writes them.
    for (const int address : {28, 29, 30, 31, 32, 33})
        QVERIFY(e2e.board().setParam(address, e2e.board().param(address) ^ 1));
    f->dialogs.files.enqueue(path);
    control<QPushButton>(setupWindow, "applyProfileButton")->click();
    // Some values out, the rest still to come.
    QVERIFY(WaitFor(
        [] {
            return waitDialog->windowTitle() == QStringLiteral("Write Parameters")
                   && waitDialog->progressBar->value() >= 3;
        },
        OPERATION_MS));
    QVERIFY(!control<QPushButton>(setupWindow, "readParametersButton")->isEnabled());
    // F11 and the dialog's frame ask as Cancel does; answered No, the apply goes
    // on under its dialog.
    f->dialogs.answers << false << false;
    QTest::keyClick(control<QListWidget>(setupWindow, "soundFileList"), Qt::Key_F11);
    QVERIFY(waitDialog->windowHandle()->close() == false);
    QCOMPARE(f->dialogs.questions, (QStringList{"Stop Apply profile?", "Stop Apply profile?"}));
    QVERIFY(waitDialog->isVisible());
    QVERIFY(f->dialogs.errors.isEmpty() && f->dialogs.messages.isEmpty());
    f->dialogs.questions.clear();
    waitDialog->cancelButton->click();
    QCOMPARE(f->dialogs.questions, QStringList{"Stop Apply profile?"});
    QVERIFY(WaitFor([this] { return !f->dialogs.errors.isEmpty(); }, OPERATION_MS));
    QVERIFY2(f->dialogs.errors.first().contains(QStringLiteral("Write Parameters was stopped after ")),
             qPrintable(f->dialogs.errors.first()));
    QVERIFY(!waitDialog->isVisible());
    const Params::Board* board = setupWindow->board();
    QVERIFY(WaitFor([board] { return !board->link()->busy(); }, OPERATION_MS));
    QVERIFY(e2e.waitUntilBoardIsReady());
    QString late;
    QVERIFY2(e2e.finish(&late), qPrintable(late));
}

void ProfileWindowEndToEndTest::profileThatCannotBeAppliedSendsNothing_data()
{
    QTest::addColumn<QByteArray>("entries");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing sound file")
        << QByteArray(R"({"banks": {"1": {"slots": {"hum": {"file": "missing.wav",
            "sha256": "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef"}}}}})")
        << QStringLiteral("banks.1.slots.hum");
    QTest::newRow("other release") << QByteArray(R"({"firmwareRelease": "99.0"})")
                                   << QStringLiteral("the profile is for release 99.0. Nothing was sent.");
}

void ProfileWindowEndToEndTest::profileThatCannotBeAppliedSendsNothing()
{
    QFETCH(QByteArray, entries);
    QFETCH(QString, message);
    const QString path = readAndSave();
    QVERIFY(!path.isEmpty());
    QVERIFY(addToProfile(path, QJsonDocument::fromJson(entries).object()));
    QVERIFY(e2e.board().setParam(CLASH_RED_ADDRESS, CHANGED_CLASH_RED));
    const qint64 frames = e2e.board().counter(QStringLiteral("frames"));

    QVERIFY(clickWithProfile(control<QPushButton>(setupWindow, "applyProfileButton"), path));
    QVERIFY(WaitFor([this] { return !f->dialogs.errors.isEmpty(); }, OPERATION_MS));
    QCOMPARE(f->dialogs.errors.size(), 1);
    QVERIFY2(f->dialogs.errors.first().contains(message), qPrintable(f->dialogs.errors.first()));
    QVERIFY(f->dialogs.messages.isEmpty());
    // The refusal has been told: a read of the board after it would hold the link now.
    QVERIFY(!setupWindow->board()->link()->busy());
    QCOMPARE(e2e.board().counter(QStringLiteral("frames")), frames);
    QCOMPARE(e2e.board().param(CLASH_RED_ADDRESS), CHANGED_CLASH_RED);
    QVERIFY(!waitDialog->isVisible());
    QString late;
    QVERIFY2(e2e.finish(&late), qPrintable(late));
}

TAVRIN_TEST_MAIN(ProfileWindowEndToEndTest)
#include "tst_profile_window_e2e.moc"

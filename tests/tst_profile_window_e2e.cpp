// Board profiles in the set-up window, end to end: the real windows and serial
// component, a strict simulated board. A profile saved from the board matches
// it; a value changed behind the tool's back is the one difference listed, and
// applying the profile mends it and shows the board's values again. A profile
// that cannot be applied sends nothing at all.
#include "CliRun.h"
#include "EndToEndFixture.h"
#include "TestMain.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "params/BoardProfile.h"
#include "params/ui/ProfileDifferencesView.h"
#include "sound/SlotJournal.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

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

bool addToProfile(const QString& path, const QJsonObject& entries)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    for (auto it = entries.begin(); it != entries.end(); ++it)
        root.insert(it.key(), it.value());
    return file.resize(0) && file.write(QJsonDocument(root).toJson()) > 0;
}
} // namespace

class ProfileWindowEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void savedProfileFindsAChangedValueAndApplyMendsIt();
    void profileThatCannotBeAppliedSendsNothing_data();
    void profileThatCannotBeAppliedSendsNothing();

private:
    // Reads the board through "Read Parameters" and saves its profile; its path.
    QString readAndSave();
    // Clicks `button` with `profile` chosen, until the board is idle again.
    bool clickWithProfile(QPushButton* button, const QString& profile);

    EndToEndFixture e2e;
    SetupWindowFixture* f = nullptr;
};

void ProfileWindowEndToEndTest::init()
{
    QString why;
    QVERIFY2(e2e.start({{}, QStringLiteral("kordex-sim"), BOARD_OPTIONS}, {.openPort = true, .setUpMode = true},
                       &why),
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
    button->click();
    const Params::Board* board = setupWindow->board();
    return WaitFor([board] { return !board->link()->busy(); }, OPERATION_MS) && e2e.waitUntilBoardIsReady();
}

QString ProfileWindowEndToEndTest::readAndSave()
{
    ProfilePanel* profiles = setupWindow->profiles();
    const QString path = f->folder.filePath(QStringLiteral("board.json"));
    // Nothing of the board is known before its read: nothing is written.
    f->dialogs.files.enqueue(path);
    profiles->saveProfileButton->click();
    if (f->dialogs.errors
        != QStringList{"Save profile needs the board read since its port was opened: press \"Read "
                       "Parameters\" first."}
        || QFile::exists(path))
        return {};
    f->dialogs.files.clear();
    f->dialogs.clear();
    if (!clickWithProfile(setupWindow->parameters()->readParametersButton, {}))
        return {};
    f->dialogs.files.clear();
    const qint64 frames = e2e.board().counter(QStringLiteral("frames"));
    f->dialogs.files.enqueue(path);
    profiles->saveProfileButton->click();
    // Saving talks to no board.
    return e2e.board().counter(QStringLiteral("frames")) == frames && f->dialogs.errors.isEmpty() ? path
                                                                                                : QString();
}

void ProfileWindowEndToEndTest::savedProfileFindsAChangedValueAndApplyMendsIt()
{
    ProfilePanel* profiles = setupWindow->profiles();
    const QString path = readAndSave();
    QVERIFY(!path.isEmpty());
    const Params::BoardProfileRead saved = Params::ReadBoardProfileFile(path);
    QVERIFY2(saved.profile, qPrintable(saved.error));
    QCOMPARE(saved.profile->parameters.edits.value(QStringLiteral("bank1ClashRed")), QStringLiteral("77"));
    QCOMPARE(saved.profile->parameters.serialNumber, SERIAL_TEXT);
    for (const auto& bank : saved.profile->banks)
        QVERIFY(!bank); // the journal knows no slot of this board

    QVERIFY(clickWithProfile(profiles->compareProfileButton, path));
    QVERIFY(WaitFor([this] { return !f->dialogs.messages.isEmpty(); }, OPERATION_MS));
    QCOMPARE(f->dialogs.messages, QStringList{"The board matches the profile."});
    f->dialogs.clear();

    QVERIFY(e2e.board().setParam(CLASH_RED_ADDRESS, CHANGED_CLASH_RED));
    QVERIFY(clickWithProfile(profiles->compareProfileButton, path));
    ProfileDifferencesView* view = profiles->differencesView();
    QVERIFY(view && view->isVisible());
    const QTableWidget* table = view->table();
    QCOMPARE(table->rowCount(), 1);
    QStringList row;
    for (int column = 0; column < table->columnCount(); ++column)
        row << table->item(0, column)->text();
    QCOMPARE(row, (QStringList{"parameters.bank1.clash.red", "77", "7", "board"}));
    QVERIFY(f->dialogs.messages.isEmpty());
    QCOMPARE(setupWindow->parameters()->editText(QStringLiteral("bank1ClashRed")), QStringLiteral("7"));

    QVERIFY(clickWithProfile(profiles->applyProfileButton, path));
    QVERIFY(WaitFor([this] { return !f->dialogs.messages.isEmpty(); }, OPERATION_MS));
    QVERIFY(f->dialogs.errors.isEmpty());
    QCOMPARE(f->dialogs.messages.size(), 1);
    const QString report = f->dialogs.messages.first();
    QVERIFY2(report.contains(QStringLiteral("(serial 1523-9301, release ")), qPrintable(report));
    QVERIFY2(report.contains(QStringLiteral("0 slots uploaded, 0 left as they were")), qPrintable(report));
    QVERIFY(!waitDialog->isVisible());
    QCOMPARE(e2e.board().param(CLASH_RED_ADDRESS), SAVED_CLASH_RED);
    // The board is read again: the screen shows what it now holds.
    QVERIFY(WaitFor([] { return !setupWindow->board()->link()->busy(); }, OPERATION_MS));
    QVERIFY(e2e.waitUntilBoardIsReady());
    QCOMPARE(setupWindow->parameters()->editText(QStringLiteral("bank1ClashRed")), QStringLiteral("77"));
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

    QVERIFY(clickWithProfile(setupWindow->profiles()->applyProfileButton, path));
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

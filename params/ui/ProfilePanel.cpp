// The three profile buttons, "Save profile..." and "Compare with profile...".
// Saving never talks to the board; comparing reads it as "Read Parameters" does
// and compares once the read has ended.
#include "params/ui/ProfilePanel.h"

#include "params/ui/ProfileDifferencesView.h"

#include "comm/Operation.h"
#include "common/Dialogs.h"
#include "common/ui/Handlers.h"
#include "common/ui/Named.h"
#include "params/BoardProfile.h"
#include "params/ProfileArchive.h"
#include "sound/SlotJournal.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>

using namespace Params;

namespace {
const QString FILE_FILTER = QStringLiteral("Board profiles (*.zip *.json);;All files (*)");
const QString FILE_SUFFIX = QStringLiteral("zip");
} // namespace

ProfilePanel::ProfilePanel(Params::Board& board, Sound::BoardJournal& journal, ProgressView progressView,
                           QWidget* parent)
    : BoardPanel(board, parent)
    , m_journal(journal)
    , m_progressView(std::move(progressView))
{
    setObjectName(QStringLiteral("profilePanel"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_saveButton = named(new QPushButton(QStringLiteral("Save profile..."), this), "saveProfileButton",
                         QStringLiteral("Save the board's profile to a file"));
    m_applyButton = named(new QPushButton(QStringLiteral("Apply profile..."), this), "applyProfileButton",
                          QStringLiteral("Apply a board profile to the board"));
    m_compareButton = named(new QPushButton(QStringLiteral("Compare with profile..."), this),
                            "compareProfileButton", QStringLiteral("Compare the board with a board profile"));
    for (QPushButton* button : {m_saveButton, m_applyButton, m_compareButton})
        row->addWidget(button);

    connectHandler(m_saveButton, &QPushButton::clicked, this, [this] { saveProfile(); });
    connectHandler(m_applyButton, &QPushButton::clicked, this, [this] { applyProfile(); });
    connectHandler(m_compareButton, &QPushButton::clicked, this, [this] { compareWithProfile(); });
    // Applying and comparing talk to the board: only in set-up mode, as "Read
    // Parameters" and "Write Parameters". Saving uses what was read already.
    for (QPushButton* button : {m_applyButton, m_compareButton}) {
        button->setEnabled(board.setUpMode());
        connect(&board, &Params::Board::setUpModeChanged, button, &QPushButton::setEnabled);
    }
}

QString ProfilePanel::chooseProfile(const QString& caption, Choice choice)
{
    const QString folder = m_folder.isEmpty() ? QDir::homePath() : m_folder;
    QString path = choice == Choice::Save ? dialogs().saveFileName(caption, folder, FILE_FILTER)
                                          : dialogs().openFileName(caption, folder, FILE_FILTER);
    if (path.isEmpty())
        return {};
    if (choice == Choice::Save && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + FILE_SUFFIX;
    m_folder = QFileInfo(path).absolutePath();
    return path;
}

std::optional<ProfilePanel::ChosenProfile> ProfilePanel::openProfile(const QString& caption)
{
    const QString path = chooseProfile(caption, Choice::Open);
    if (path.isEmpty())
        return std::nullopt;
    const BoardProfileRead read = ReadBoardProfileFile(path);
    if (!read.profile) {
        dialogs().error(read.error);
        return std::nullopt;
    }
    return ChosenProfile{path, *read.profile};
}

bool ProfilePanel::boardRead(const QString& action) const
{
    if (!board().readSerialNumber().isEmpty() && !board().model().release().isEmpty())
        return true;
    // The serial number names the board's journal: one from another connection
    // could be another board's.
    dialogs().error(QStringLiteral("%1 needs the board read since its port was opened: press \"Read "
                                   "Parameters\" first.")
                        .arg(action));
    return false;
}

void ProfilePanel::saveProfile()
{
    const QString action = QStringLiteral("Save profile");
    if (!boardRead(action))
        return;
    const QStringList unread = board().model().unknownNames();
    if (!unread.isEmpty()) {
        dialogs().error(QStringLiteral("%1 writes nothing: these values were never read from the board: %2.")
                            .arg(action, unread.join(QStringLiteral(", "))));
        return;
    }
    const QList<Sound::JournalEntry> journal = Sound::SlotJournal().list(board().readSerialNumber());
    const BoardProfile profile = ProfileFromBoard(board().model().fileContent(), journal);
    ProfilePack pack = PackProfile(profile, journal);
    if (!pack.unavailable.isEmpty()) {
        const QStringList problems = pack.unavailable.values();
        if (!dialogs().askYesNo(QStringLiteral("These sounds cannot be put into the profile:\n%1\n\nSave the "
                                               "profile without them?")
                                    .arg(problems.join(QLatin1Char('\n')))))
            return;
        pack = PackProfile(profile, journal, pack.unavailable.keys());
    }
    const QString path = chooseProfile(QStringLiteral("Save profile"), Choice::Save);
    if (path.isEmpty())
        return;
    const QString failure = WriteProfileArchive(path, pack);
    if (!failure.isEmpty())
        dialogs().error(
            QStringLiteral("Cannot save the profile to %1: %2. The file is as it was.").arg(path, failure));
}

void ProfilePanel::compareWithProfile()
{
    if (board().refuseWhileBusy())
        return;
    const std::optional<ChosenProfile> chosen = openProfile(QStringLiteral("Compare with profile"));
    if (!chosen)
        return;
    const QString path = chosen->path;
    ListedProfile listed = ListFontSlots(chosen->profile);
    if (!listed.problems.isEmpty()) {
        dialogs().error(
            QStringLiteral("%1 cannot be compared:\n%2").arg(path, listed.problems.join(QLatin1Char('\n'))));
        return;
    }
    // The parameters as the board holds them now, not as an earlier read left them.
    Operation* sweep = board().startRead();
    if (!sweep)
        return;
    // Connected after the board's own handling: the image has taken the read by then.
    connect(sweep, &Operation::finished, this,
            [this, listed = std::move(listed), path](bool whole) { showDifferences(listed, path, whole); });
}

void ProfilePanel::showDifferences(const ListedProfile& listed, const QString& path, bool whole)
{
    if (!whole)
        return; // the read's stop, or the lost device, has said why
    if (!board().readState().unreadShown().isEmpty()) {
        ShowMessageWhenSettled(
            QStringLiteral("The board did not answer for every value: nothing was compared "
                           "with %1.")
                .arg(path));
        return;
    }
    const QList<ProfileDifference> differences = ProfileDifferences(
        listed, board().model().fileContent(), Sound::SlotJournal().list(board().readSerialNumber()));
    if (differences.isEmpty()) {
        if (m_differences)
            m_differences->close();
        ShowMessageWhenSettled(QStringLiteral("The board matches the profile."));
        return;
    }
    if (!m_differences)
        m_differences = new ProfileDifferencesView(this);
    m_differences->showDifferences(path, differences);
}

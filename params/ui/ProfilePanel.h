// Board profiles in the set-up window: "Save profile..." writes what the board
// read in this connection holds (its parameters, and its slots as the journal
// knows them), "Apply profile..." makes the board hold a profile, checked whole
// before anything is sent, and "Compare with profile..." reads the board now and
// lists where it differs. The window places the three buttons beside the
// parameter panel's "Save..." and "Load...".
#pragma once

#include "common/ui/BoardPanel.h"
#include "common/ui/ProgressView.h"
#include "params/Board.h"
#include "params/BoardProfile.h"
#include "params/ProfileDifferences.h"

#include <QString>
#include <optional>

class QPushButton;
class ProfileDifferencesView;
namespace Params {
struct ProfileApplyReport;
} // namespace Params
namespace Sound {
class BoardJournal;
}

class ProfilePanel : public BoardPanel {
    Q_OBJECT
public:
    // `journal`: the one that records this window's uploads, so that the slots an
    // apply sends are journalled like every other upload.
    ProfilePanel(Params::Board& board, Sound::BoardJournal& journal, ProgressView progressView,
                 QWidget* parent = nullptr);

private:
    void saveProfile();
    void applyProfile();
    void compareWithProfile();
    enum class Choice { Open, Save };
    // The profile file the user chooses, remembering its folder; empty when cancelled.
    QString chooseProfile(const QString& caption, Choice choice);
    struct ChosenProfile {
        QString path;
        Params::BoardProfile profile;
    };
    // The profile file the user chooses, read whole; nothing when cancelled or
    // refused (the refusal, naming the bad entry, has been shown).
    std::optional<ChosenProfile> openProfile(const QString& caption);
    // The board's serial number and release are known from a read in this
    // connection; otherwise says that `action` needs one and returns false.
    bool boardRead(const QString& action) const;
    void applyEnded(const Params::ProfileApplyReport& report);
    // Once the read that "Compare with profile..." started has ended.
    void showDifferences(const Params::ListedProfile& listed, const QString& path, bool whole);

    Sound::BoardJournal& m_journal;
    ProgressView m_progressView;
    QPushButton* m_saveButton = nullptr;    // "Save profile..."
    QPushButton* m_applyButton = nullptr;   // "Apply profile..."
    QPushButton* m_compareButton = nullptr; // "Compare with profile..."
    // Where the board differed at the last comparison; null before the first.
    ProfileDifferencesView* m_differences = nullptr;
    QString m_folder;                       // where the last profile was saved or chosen
};

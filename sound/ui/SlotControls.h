// The sound controls of the set-up window: each sound row's erase button and
// slot buttons, "Erase All Sounds", "Import font...", "Slot contents", the
// journal note and the rule for sound files, and the file list's slot menu.
// They upload the file the sound browser has selected, erase slots, load the
// base sound set and import fonts; the journal keeps what went where.
// The window places the row widgets in its sound rows and the action row above
// them; everything else stays with the sound panel that owns these controls.
#pragma once

#include "common/ui/ProgressView.h"
#include "params/Board.h"
#include "sound/FontPlan.h"
#include "sound/SampleStream.h"
#include "sound/SlotMap.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class Operation;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QWidget;
class SoundBrowser;
namespace Sound {
class BoardJournal;
} // namespace Sound

class SlotControls : public QObject {
    Q_OBJECT
public:
    // Starts an operation as the window shows them (the wait dialog, the
    // message at its end); false when the link refused it and nothing was sent.
    using OperationRunner = std::function<bool(Operation*)>;

    // host: the widget the controls and dialogs are created in until the
    // window places them.
    SlotControls(Params::Board& board, SoundBrowser& browser, OperationRunner runOperation,
                 ProgressView progressView, QWidget* host);

    // What went where: the journal of the board whose serial number was read
    // since the port was opened.
    Sound::BoardJournal& journal() const { return *m_journal; }
    // The file list's slot menu and its bank menus: each item sends a file.
    QList<QAction*> menuActions() const;

    // The widgets of sound row `row` (0 to 11): its erase button, then its slot
    // buttons in the order the row shows them.
    QList<QWidget*> rowWidgets(int row) const;
    // "Erase All Sounds", "Import font...", "Slot contents", the journal note and
    // the rule, in one row; the note and the rule share what room is left.
    QWidget* actionRow() const { return m_actionRow; }

    void uploadToSlot(int slot);   // any slot button, by index into Sound::SoundSlots()
    void uploadFromMenu(int slot); // any item of slotMenu
    // The selected file into the slot that starts at address.
    void uploadToSlotAt(quint32 address);
    void eraseRow(Sound::SoundRow row, int bankFromZero);
    void eraseAllSounds();
    void askToLoadBaseSounds(); // F12: the question, then loadBaseSounds
    void loadBaseSounds();
    void importFont();
    bool runImport(int bank, QList<Sound::FontUpload> uploads);
    void showSlotContents();
    // False once a slot upload has ended cut short or unconfirmed, until the next
    // one starts: the board's "End." for it then reports no completion.
    bool lastUploadWhole() const { return m_lastUploadWhole; }

private:
    void buildRows();
    void buildActionRow();
    void buildSlotMenu();
    void buildJournal();
    // The skip fields of the "Info File" group and its file-name line.
    QString beginSkipText() const;
    QString endSkipText() const;
    void showSoundFileName(const QString& path);
    // The file selected in the browser, checked and converted for a slot.
    struct CheckedFile {
        QString path;
        Sound::PreparedUpload upload;
        QString checksum; // of the file as read
    };
    // Refuses while an operation holds the link; otherwise the selected file's
    // checks (size, skip fields), converted for the board, with the offer to trim
    // a sound too long. Nothing, after the message, when it is refused.
    std::optional<CheckedFile> checkedSelection(const Sound::SoundSlot& slot);
    // Starts the upload operation of a file already checked.
    void startUpload(const Sound::SoundSlot& slot, CheckedFile file);
    void showJournalNote(const QString& text);
    // Runs an operation the journal has been told of; with the journal's
    // refusal it is dropped unstarted and the refusal shown.
    bool runJournalled(Operation* operation, const QString& refusal);
    // The same for work that sends many files (the base sound set, a sound
    // font): the board's answer to each file reports nothing on its own.
    bool runManyFiles(Operation* operation, const QString& refusal);

    Params::Board& m_board;
    SoundBrowser& m_browser;
    OperationRunner m_runOperation;
    ProgressView m_progressView;
    QWidget* m_host;
    Sound::BoardJournal* m_journal = nullptr;
    // Slot buttons in the order of Sound::SoundSlots().
    QList<QPushButton*> m_slotButtons;
    QPushButton* m_eraseAllButton = nullptr;     // "Erase All Sounds"
    QPushButton* m_importFontButton = nullptr;   // "Import font..."
    QPushButton* m_slotContentsButton = nullptr; // "Slot contents"
    // Says that the last sound operation was not journalled, until the board's
    // serial number has been read.
    QLabel* m_journalNote = nullptr;
    QLabel* m_soundFileRule = nullptr; // the rule for sound files
    QMenu* m_slotMenu = nullptr;       // context menu of the browser's file list
    QList<QList<QWidget*>> m_rows; // per sound row: its erase button, then its slot buttons
    QWidget* m_actionRow = nullptr;
    QList<QWidget*> m_setUpControls; // sending controls that only set-up mode enables
    bool m_lastUploadWhole = true;
};

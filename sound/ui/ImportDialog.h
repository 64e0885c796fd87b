// Choosing a sound font for a bank: the folder, the bank, and the table of the
// bank's slots with the file each will receive, its format, its size for the
// board and whether it fits. The owner changes or clears any row; "Upload"
// reads and checks the whole table first and hands over the streams only when
// every chosen file passed, so nothing is erased for a file that is refused.
#pragma once

#include "sound/FontPlan.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class ImportDialog : public QDialog {
    Q_OBJECT
public:
    // start: runs the import of the checked streams into the bank; false when it
    // did not start (a message said why), so the dialog stays open.
    using Start = std::function<bool(int bank, QList<Sound::FontUpload> uploads)>;
    ImportDialog(Start start, QWidget* parent = nullptr);

    void setFolder(const QString& folder);
    void setBank(int bank);
    const Sound::FontPlan& plan() const { return m_plan; }
    // The row's file: another one, or none for an empty path.
    void chooseFile(int row, const QString& path);
    // "Upload": the trim offer for sounds too long, the whole check, then start.
    void upload();
    // Whether the board takes sounds now (set-up mode): "Upload" is off otherwise.
    void setBoardTakesSounds(bool takes);

private:
    void replan();
    void showPlan();
    void changeSelectedRow();
    void clearSelectedRow();

    Start m_start;
    Sound::FontPlan m_plan;
    QLineEdit* m_folder;
    QComboBox* m_bank;
    QTableWidget* m_table;
    QLabel* m_unplaced;
    QPushButton* m_upload;
    bool m_anyChosen = false;
    bool m_boardTakesSounds = false;
};

// What the journal says each of a board's 57 slots holds: the file, its
// checksum and when it was written from here; "unknown" for a slot written
// elsewhere, erased since, or never written from this tool.
#pragma once

#include <QDialog>

class QLabel;
class QTableWidget;

class SlotContentsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SlotContentsDialog(QWidget* parent = nullptr);
    // serial: the board's, as the header shows it; empty when not read yet.
    void showBoard(const QString& serial);

private:
    QLabel* m_board;
    QTableWidget* m_table;
};

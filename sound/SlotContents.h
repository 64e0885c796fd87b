// What the journal says each of a board's 57 slots holds: the file, its
// checksum and when it was written from here; "unknown" for a slot written
// elsewhere, erased since, or never written from this tool.
#pragma once

#include <QDialog>

class SlotContentsDialog : public QDialog {
    Q_OBJECT
public:
    // serial: the board's, as the header shows it; empty when not read yet.
    SlotContentsDialog(const QString& serial, QWidget* parent = nullptr);
};

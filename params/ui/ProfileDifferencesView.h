// Where the board differs from a profile, one row per setting: what the
// profile asks for, what the board has and where that was learnt ("board":
// read just now; "journal": what this tool last wrote into the slot, since the
// board cannot be asked). Not modal: the window stays usable beside it.
#pragma once

#include "params/ProfileDifferences.h"

#include <QDialog>

class QLabel;
class QTableWidget;

class ProfileDifferencesView : public QDialog {
    Q_OBJECT
public:
    explicit ProfileDifferencesView(QWidget* parent = nullptr);

    void showDifferences(const QString& profilePath, const QList<Params::ProfileDifference>& differences);

    QTableWidget* table() const { return m_table; }

private:
    QLabel* m_summary;
    QTableWidget* m_table;
};

#include "params/ui/ProfileDifferencesView.h"

#include "common/ui/Named.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Params;

namespace {
// One column for each text of a difference, in the order of differenceTexts().
const QStringList HEADERS = {QStringLiteral("Setting"), QStringLiteral("Profile"), QStringLiteral("Board"),
                             QStringLiteral("Source")};

QStringList differenceTexts(const ProfileDifference& difference)
{
    return {difference.key, difference.profile, difference.board, SourceText(difference.source)};
}
} // namespace

ProfileDifferencesView::ProfileDifferencesView(QWidget* parent)
    : QDialog(parent)
    , m_summary(named(new QLabel(this), "ProfileDifferencesSummary", QString()))
    , m_table(named(new QTableWidget(0, static_cast<int>(HEADERS.size()), this), "ProfileDifferencesTable",
                    QStringLiteral("Where the board differs from the profile")))
{
    setObjectName(QStringLiteral("ProfileDifferences"));
    setWindowTitle(QStringLiteral("Differences from the profile"));
    setAccessibleName(windowTitle());
    setModal(false);
    m_summary->setWordWrap(true);
    m_table->setHorizontalHeaderLabels(HEADERS);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto* close = named(new QPushButton(QStringLiteral("Close"), this), "CloseProfileDifferences",
                        QStringLiteral("Close"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_table, 1);
    layout->addWidget(close, 0, Qt::AlignRight);
}

void ProfileDifferencesView::showDifferences(const QString& profilePath,
                                             const QList<ProfileDifference>& differences)
{
    m_summary->setText(QStringLiteral("The board differs from %1 in %2 places. Slots are compared with the "
                                      "journal: the board cannot be asked what a slot holds.")
                           .arg(profilePath)
                           .arg(differences.size()));
    m_summary->setAccessibleName(m_summary->text());
    m_table->setRowCount(static_cast<int>(differences.size()));
    for (int row = 0; row < differences.size(); ++row) {
        const QStringList texts = differenceTexts(differences[row]);
        for (int column = 0; column < texts.size(); ++column)
            m_table->setItem(row, column, new QTableWidgetItem(texts[column]));
    }
    m_table->resizeColumnsToContents();
    show();
    raise();
}

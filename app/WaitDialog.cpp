#include "app/WaitDialog.h"

#include "app/ScreenCentre.h"
#include "comm/BoardLink.h"
#include "comm/Operation.h"
#include "comm/OperationRunner.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/ui/Handlers.h"
#include "params/Board.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QCloseEvent>
#include <QScopedValueRollback>
#include <QShowEvent>

bool CalibrationConfirmed = false;

namespace {
constexpr int CLIENT_WIDTH = 1283;
constexpr int CLIENT_HEIGHT = 122;
constexpr int TITLE_BAR_HEIGHT = 31; // the part of a window height that is frame
constexpr int MARGIN = 8;
constexpr int LABEL_TOP = 4;
constexpr int LABEL_HEIGHT = 18;
constexpr int BAR_TOP = 23;
constexpr int BAR_HEIGHT = 14;
constexpr int BUTTON_TOP = 69;
constexpr int BUTTON_HEIGHT = 33;
constexpr int BUTTON_WIDTH = 120;
constexpr int BUTTON_GAP = 24;
} // namespace

WaitDialog::WaitDialog(Params::Board& board, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , message(new QLabel(this))
    , progressBar(new QProgressBar(this))
    , okButton(new QPushButton(QStringLiteral("OK"), this))
    , cancelButton(new QPushButton(QStringLiteral("Annulla"), this))
    , m_board(board)
    , m_height(CLIENT_HEIGHT + TITLE_BAR_HEIGHT)
{
    setObjectName(QStringLiteral("waitDialog"));
    setWindowTitle(QString::fromLatin1(STORED_CAPTION));
    setWindowModality(Qt::NonModal);

    message->setObjectName(QStringLiteral("message"));
    // No accessible name: a screen reader then speaks the message itself.
    message->setAccessibleDescription(QStringLiteral("Progress message"));
    message->setAlignment(Qt::AlignCenter);
    QFont bold = message->font();
    bold.setBold(true);
    message->setFont(bold);
    message->setGeometry(MARGIN, LABEL_TOP, CLIENT_WIDTH - 2 * MARGIN, LABEL_HEIGHT);

    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setAccessibleName(QStringLiteral("Progress"));
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->setTextVisible(false);
    progressBar->setGeometry(MARGIN, BAR_TOP, CLIENT_WIDTH - 2 * MARGIN, BAR_HEIGHT);

    const int buttonsLeft = (CLIENT_WIDTH - 2 * BUTTON_WIDTH - BUTTON_GAP) / 2;
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setAccessibleName(QStringLiteral("OK"));
    okButton->setGeometry(buttonsLeft, BUTTON_TOP, BUTTON_WIDTH, BUTTON_HEIGHT);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setAccessibleName(QStringLiteral("Annulla"));
    cancelButton->setGeometry(buttonsLeft + BUTTON_WIDTH + BUTTON_GAP, BUTTON_TOP, BUTTON_WIDTH, BUTTON_HEIGHT);
    connectHandler(okButton, &QPushButton::clicked, this, [this] { confirm(); });
    connectHandler(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });

    setFixedSize(CLIENT_WIDTH, CLIENT_HEIGHT);
}

void WaitDialog::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        CentreOnScreen(this);
}

bool WaitDialog::close()
{
    const QScopedValueRollback fromCode(m_closingFromCode, true);
    return QWidget::close();
}

void WaitDialog::closeEvent(QCloseEvent* event)
{
    // Closed by its frame while work runs, the dialog would take the only
    // Cancel with it: the user is asked as Cancel asks, and the dialog stays.
    if (!m_closingFromCode && m_board.link()->busy()) {
        event->ignore();
        cancel();
        return;
    }
    QWidget::closeEvent(event);
}

void WaitDialog::setLayoutHeight(int height)
{
    m_height = height;
    const int client = std::max(0, height - TITLE_BAR_HEIGHT);
    setFixedSize(CLIENT_WIDTH, client);
    // Buttons that would be cut off entirely are hidden, so that keyboard focus
    // cannot land on a control the user cannot see.
    const bool buttonsInView = client > BUTTON_TOP;
    okButton->setVisible(buttonsInView);
    cancelButton->setVisible(buttonsInView);
}

void WaitDialog::confirm()
{
    CalibrationConfirmed = true;
}

void WaitDialog::cancel()
{
    // Cancel reaches the work that runs, and names it: during a step of longer
    // work (a profile's apply) that work, which stops the step at its safe point.
    if (Operation* running = m_board.link()->current()) {
        if (!CancelOperation(*running, [](const QString& question) { return AskYesNo(question); }))
            ShowMessage(QStringLiteral("%1 cannot be stopped safely. Wait until it has finished.")
                            .arg(running->whole().request().name));
        return;
    }
    if (!AskYesNo(QStringLiteral("Do you want to stop upload  on Kordex as Hum sound ?  ")))
        return;
    close();
}

#include "app/Wait.h"

#include "app/Forms.h"
#include "app/ScreenCentre.h"
#include "app/Serial1.h"
#include "common/Define.h"
#include "comm/Operation.h"
#include "common/Dialogs.h"
#include "common/Handlers.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>

bool CALIBRAZIONE = false;

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

Twaitform::Twaitform(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , Label1(new QLabel(this))
    , ProgressBar1(new QProgressBar(this))
    , Button1(new QPushButton(QStringLiteral("OK"), this))
    , Button2(new QPushButton(QStringLiteral("Annulla"), this))
    , m_height(CLIENT_HEIGHT + TITLE_BAR_HEIGHT)
{
    setObjectName(QStringLiteral("waitform"));
    setWindowTitle(QStringLiteral("waitform"));
    setWindowModality(Qt::NonModal);

    Label1->setObjectName(QStringLiteral("Label1"));
    // No accessible name: a screen reader then speaks the message itself.
    Label1->setAccessibleDescription(QStringLiteral("Progress message"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->setGeometry(MARGIN, LABEL_TOP, CLIENT_WIDTH - 2 * MARGIN, LABEL_HEIGHT);

    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setAccessibleName(QStringLiteral("Progress"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setGeometry(MARGIN, BAR_TOP, CLIENT_WIDTH - 2 * MARGIN, BAR_HEIGHT);

    const int buttonsLeft = (CLIENT_WIDTH - 2 * BUTTON_WIDTH - BUTTON_GAP) / 2;
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAccessibleName(QStringLiteral("OK"));
    Button1->setGeometry(buttonsLeft, BUTTON_TOP, BUTTON_WIDTH, BUTTON_HEIGHT);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setAccessibleName(QStringLiteral("Annulla"));
    Button2->setGeometry(buttonsLeft + BUTTON_WIDTH + BUTTON_GAP, BUTTON_TOP, BUTTON_WIDTH, BUTTON_HEIGHT);
    connectHandler(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connectHandler(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

    setFixedSize(CLIENT_WIDTH, CLIENT_HEIGHT);
}

void Twaitform::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        CentreOnScreen(this);
}

void Twaitform::setHeight(int height)
{
    m_height = height;
    const int client = std::max(0, height - TITLE_BAR_HEIGHT);
    setFixedSize(CLIENT_WIDTH, client);
    // Buttons that would be cut off entirely are hidden, so that keyboard focus
    // cannot land on a control the user cannot see.
    const bool buttonsInView = client > BUTTON_TOP;
    Button1->setVisible(buttonsInView);
    Button2->setVisible(buttonsInView);
}

void Twaitform::Button1Click()
{
    CALIBRAZIONE = true;
}

void Twaitform::Button2Click()
{
    // Cancel reaches the running operation, and names it.
    if (Operation* running = SerialForm1->Link->current()) {
        const QString question = running->cancelQuestion();
        if (question.isEmpty()) {
            ShowMessage(QStringLiteral("%1 cannot be stopped safely. Wait until it has finished.")
                            .arg(running->request().name));
            return;
        }
        if (AskYesNo(question))
            running->cancel();
        return;
    }
    if (!AskYesNo(QStringLiteral("Do you want to stop upload  on Kordex as Hum sound ?  ")))
        return;
    SerialForm1->StopBulkLoad();
    close();
}

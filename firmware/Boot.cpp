// The firmware window's controls and its three buttons. The programming run
// itself is in BootRun.cpp.
#include "firmware/Boot.h"

#include "app/Forms.h"
#include "app/ScreenCentre.h"
#include "app/Serial1.h"
#include "comm/Frames.h"
#include "comm/BoardLink.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Globals.h"
#include "firmware/BootTexts.h"
#include "firmware/HexFile.h"
#include "firmware/LoaderOperations.h"
#include "common/Handlers.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTime>
#include <utility>

namespace {

const QString NOT_YET = QStringLiteral(".........");
const QString CLEARED = QStringLiteral("....");
const QString HEX_FILTER = QStringLiteral("Intel HEX files (*.hex)");
const QColor GAUGE_COLOUR(0, 0, 255);

// The system's time format with its seconds (a run lasts about a minute) but
// without the time zone that some long formats carry.
QString timeNow()
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return QLocale::system().toString(QTime::currentTime(), format.trimmed());
}

const QString BLUE_LED = QStringLiteral("Check the led must be blue.  If yes, press program button");

} // namespace

TBootForm::TBootForm(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , Timer1(new WindowTimer(this, Define::FIRMWARE_TICK_MS))
    , timeOfDay(timeNow)
{
    setObjectName(QStringLiteral("BootForm"));
    setWindowTitle(QStringLiteral("BootForm"));
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setOnTimer([this] { Timer1Timer(); });
    buildControls();
}

void TBootForm::buildControls()
{
    auto label = [this](const char* name, const QString& text, const QString& accessible) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setAccessibleName(accessible);
        return l;
    };
    auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAccessibleName(text);
        return b;
    };
    Label1 = label("Label1", QStringLiteral("File to upload"), QStringLiteral("File to upload caption"));
    Label2 = label("Label2", QStringLiteral("File Name:"), QStringLiteral("File to upload"));
    Label4 = label("Label4", QStringLiteral("Start time"), QStringLiteral("Start time caption"));
    Label3 = label("Label3", QString(), QStringLiteral("Start time"));
    Label6 = label("Label6", QStringLiteral("End Time"), QStringLiteral("End time caption"));
    Label5 = label("Label5", QString(), QStringLiteral("End time"));
    FileSummary = label("FileSummary", QString(), QStringLiteral("What the file puts on the board"));
    RunProgress = label("RunProgress", QString(), QStringLiteral("Words written"));
    showValue(Label2, Label2->text());
    showValue(Label3, NOT_YET);
    showValue(Label5, NOT_YET);
    Label2->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setAccessibleName(QStringLiteral("Lines sent"));
    Gauge1->setValue(0);
    QPalette blue = Gauge1->palette();
    blue.setColor(QPalette::Highlight, GAUGE_COLOUR);
    Gauge1->setPalette(blue);

    FileButton = button("FileButton", QStringLiteral("File"));
    EraseFlashbtn = button("EraseFlashbtn", QStringLiteral("Erase"));
    ProgramFlashBtn = button("ProgramFlashBtn", QStringLiteral("Program"));
    EraseFlashbtn->setEnabled(false);
    ProgramFlashBtn->setEnabled(false);
    connectHandler(FileButton, &QPushButton::clicked, this, [this] { FileButtonClick(); });
    connectHandler(EraseFlashbtn, &QPushButton::clicked, this, [this] { EraseFlashbtnClick(); });
    connectHandler(ProgramFlashBtn, &QPushButton::clicked, this, [this] { ProgramFlashBtnClick(); });

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Label2, 0, 1, 1, 2);
    grid->addWidget(FileButton, 1, 0);
    grid->addWidget(EraseFlashbtn, 1, 1);
    grid->addWidget(ProgramFlashBtn, 1, 2);
    grid->addWidget(Label4, 2, 0);
    grid->addWidget(Label3, 2, 1, 1, 2);
    grid->addWidget(Label6, 3, 0);
    grid->addWidget(Label5, 3, 1, 1, 2);
    grid->addWidget(FileSummary, 4, 0, 1, 3);
    grid->addWidget(Gauge1, 5, 0, 1, 3);
    grid->addWidget(RunProgress, 6, 0, 1, 3);
    grid->setColumnStretch(2, 1);
}

void TBootForm::showValue(QLabel* label, const QString& text)
{
    label->setText(text);
    label->setAccessibleDescription(text);
}

qint64 TBootForm::TextfileSize(const QString& name)
{
    const QFileInfo info(name);
    return info.exists() ? info.size() : 0;
}

std::optional<Hex::HexSummary> TBootForm::checkFile(const QString& path, QStringList* lines,
                                                    const QString& aftermath)
{
    showValue(FileSummary, QString());
    QString why;
    const std::optional<Hex::HexFile> read = Hex::ReadHexFile(path, &why);
    const Hex::HexCheck check = read ? Hex::SurveyHexFile(read->lines) : Hex::HexCheck{};
    QString problem;
    if (!read)
        problem = QStringLiteral("Cannot open %1: %2.").arg(path, why);
    else if (check.fault)
        problem = QStringLiteral("%1 cannot be sent to the board, %2.").arg(path, *check.fault);
    if (!problem.isEmpty()) {
        ShowMessage(aftermath.isEmpty() ? problem : problem + QLatin1Char('\n') + aftermath);
        return std::nullopt;
    }
    showValue(FileSummary, BootTexts::Summary(check.summary));
    if (lines)
        *lines = Hex::LinesToSend(read->lines);
    return check.summary;
}

void TBootForm::FileButtonClick()
{
    const QString folder = m_lastFolder.isEmpty() ? QDir::homePath() : m_lastFolder;
    const QString name = dialogs().openFileName(QStringLiteral("Open"), folder, HEX_FILTER);
    if (name.isEmpty())
        return;
    m_lastFolder = QFileInfo(name).absolutePath();
    FILETOPROGRAM = name;
    showValue(Label2, name);
    Gauge1->setValue(0);
    showValue(Label3, CLEARED);
    showValue(Label5, CLEARED);
    showValue(RunProgress, QString());
    ProgramFlashBtn->setEnabled(false);
    // The board's application is erased only for a file that can be sent to its end.
    EraseFlashbtn->setEnabled(checkFile(name).has_value());
}

void TBootForm::EraseFlashbtnClick()
{
    if (SerialForm1->Link->refuseWhileBusy())
        return;
    // The file may have changed since it was chosen.
    if (!checkFile(FILETOPROGRAM)) {
        EraseFlashbtn->setEnabled(false);
        ProgramFlashBtn->setEnabled(false);
        return;
    }
    if (!AskYesNo(BootTexts::EraseQuestion()))
        return;
    auto* erase = new FirmwareErase(*SerialForm1->Link, this);
    connect(erase, &Operation::finished, this, [this, erase](bool ok, const QString& message) {
        erase->dispose();
        m_lostMidway = !ok && message.isEmpty();
        FileButton->setEnabled(true);
        EraseFlashbtn->setEnabled(true);
        // Only an acknowledged erase lets the words in: the loader appends them.
        ProgramFlashBtn->setEnabled(ok);
        if (!message.isEmpty() || ok)
            ShowMessageWhenSettled(ok ? BLUE_LED : message);
    });
    // "File" would mark the loader ready; nothing may start before the answer.
    for (QPushButton* button : {FileButton, EraseFlashbtn, ProgramFlashBtn})
        button->setEnabled(false);
    if (!erase->start()) {
        delete erase;
        FileButton->setEnabled(true);
        EraseFlashbtn->setEnabled(true);
    }
}

void TBootForm::ProgramFlashBtnClick()
{
    if (SerialForm1->Link->refuseWhileBusy())
        return;
    QStringList lines;
    // Past the erase the board is empty, whatever is wrong with the file now.
    const std::optional<Hex::HexSummary> summary =
        checkFile(FILETOPROGRAM, &lines, BootTexts::NoApplication());
    if (!summary)
        return;
    auto* run = new FirmwareRun(*SerialForm1->Link, lines, *summary, this);
    connect(run, &FirmwareRun::wordSent, this, [](int address, int word) {
        SerialForm1->Edit85->setText(QString::number(address));
        SerialForm1->Edit83->setText(QString::number(word));
    });
    connect(run, &Operation::progressed, this, [this, run](int words, int total) {
        showValue(RunProgress, BootTexts::Progress(words, total, run->msLeft()));
        // The lines before the one just sent, as the gauge has always counted.
        Gauge1->setValue(std::min(run->linesSent() - 1, Gauge1->maximum()));
    });
    connect(run, &Operation::finished, this, [this, run](bool ok, const QString& message) {
        finishRun(run, ok, message);
    });
    // The loader appends every word it gets, so a second run needs an erase first.
    for (QPushButton* button : {FileButton, EraseFlashbtn, ProgramFlashBtn})
        button->setEnabled(false);
    showValue(Label3, timeOfDay());
    showValue(Label5, QString());
    FILE_SIZE = static_cast<int>(TextfileSize(FILETOPROGRAM));
    Gauge1->setRange(0, FILE_SIZE / Define::FIRMWARE_GAUGE_BYTES_PER_STEP);
    Gauge1->setValue(0);
    STEP1 = SEND_LINES;
    if (!run->start()) {
        delete run;
        STEP1 = 0;
        FileButton->setEnabled(true);
        EraseFlashbtn->setEnabled(true);
    }
}

QString TBootForm::TakeLossNote()
{
    return std::exchange(m_lostMidway, false) ? BootTexts::NoApplication() : QString();
}

void TBootForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        CentreOnScreen(this);
}

// The firmware window's controls and its three buttons. The programming run
// itself is in BootRun.cpp.
#include "firmware/ui/FirmwareWindow.h"

#include "app/Forms.h"
#include "app/ScreenCentre.h"
#include "app/SetupWindow.h"
#include "params/ui/HeaderPanel.h"
#include "comm/BoardLink.h"
#include "comm/Frames.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Globals.h"
#include "common/ui/Handlers.h"
#include "firmware/BootTexts.h"
#include "firmware/HexFile.h"
#include "firmware/LoaderOperations.h"

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

FirmwareWindow::FirmwareWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , returnTimer(new WindowTimer(this, Define::FIRMWARE_TICK_MS))
    , timeOfDay(timeNow)
{
    setObjectName(QStringLiteral("firmwareWindow"));
    setWindowTitle(QStringLiteral("BootForm"));
    returnTimer->setObjectName(QStringLiteral("returnTimer"));
    returnTimer->setOnTimer([this] { returnStep(); });
    buildControls();
}

void FirmwareWindow::buildControls()
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
    fileCaption = label("fileCaption", QStringLiteral("File to upload"), QStringLiteral("File to upload caption"));
    fileName = label("fileName", QStringLiteral("File Name:"), QStringLiteral("File to upload"));
    startCaption = label("startCaption", QStringLiteral("Start time"), QStringLiteral("Start time caption"));
    startTime = label("startTime", QString(), QStringLiteral("Start time"));
    endCaption = label("endCaption", QStringLiteral("End Time"), QStringLiteral("End time caption"));
    endTime = label("endTime", QString(), QStringLiteral("End time"));
    fileSummary = label("fileSummary", QString(), QStringLiteral("What the file puts on the board"));
    runProgress = label("runProgress", QString(), QStringLiteral("Words written"));
    showValue(fileName, fileName->text());
    showValue(startTime, NOT_YET);
    showValue(endTime, NOT_YET);
    fileName->setTextInteractionFlags(Qt::TextSelectableByMouse);

    linesSentBar = new QProgressBar(this);
    linesSentBar->setObjectName(QStringLiteral("linesSentBar"));
    linesSentBar->setAccessibleName(QStringLiteral("Lines sent"));
    linesSentBar->setValue(0);
    QPalette blue = linesSentBar->palette();
    blue.setColor(QPalette::Highlight, GAUGE_COLOUR);
    linesSentBar->setPalette(blue);

    fileButton = button("fileButton", QStringLiteral("File"));
    eraseButton = button("eraseButton", QStringLiteral("Erase"));
    programButton = button("programButton", QStringLiteral("Program"));
    eraseButton->setEnabled(false);
    programButton->setEnabled(false);
    connectHandler(fileButton, &QPushButton::clicked, this, [this] { chooseFile(); });
    connectHandler(eraseButton, &QPushButton::clicked, this, [this] { eraseFlash(); });
    connectHandler(programButton, &QPushButton::clicked, this, [this] { programFlash(); });

    auto* grid = new QGridLayout(this);
    grid->addWidget(fileCaption, 0, 0);
    grid->addWidget(fileName, 0, 1, 1, 2);
    grid->addWidget(fileButton, 1, 0);
    grid->addWidget(eraseButton, 1, 1);
    grid->addWidget(programButton, 1, 2);
    grid->addWidget(startCaption, 2, 0);
    grid->addWidget(startTime, 2, 1, 1, 2);
    grid->addWidget(endCaption, 3, 0);
    grid->addWidget(endTime, 3, 1, 1, 2);
    grid->addWidget(fileSummary, 4, 0, 1, 3);
    grid->addWidget(linesSentBar, 5, 0, 1, 3);
    grid->addWidget(runProgress, 6, 0, 1, 3);
    grid->setColumnStretch(2, 1);
}

void FirmwareWindow::showValue(QLabel* label, const QString& text)
{
    label->setText(text);
    label->setAccessibleDescription(text);
}

qint64 FirmwareWindow::textFileSize(const QString& name)
{
    const QFileInfo info(name);
    return info.exists() ? info.size() : 0;
}

std::optional<Hex::HexSummary> FirmwareWindow::checkFile(const QString& path, QStringList* lines,
                                                    const QString& aftermath)
{
    showValue(fileSummary, QString());
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
    showValue(fileSummary, BootTexts::Summary(check.summary));
    if (lines)
        *lines = Hex::LinesToSend(read->lines);
    return check.summary;
}

void FirmwareWindow::chooseFile()
{
    const QString folder = m_lastFolder.isEmpty() ? QDir::homePath() : m_lastFolder;
    const QString name = dialogs().openFileName(QStringLiteral("Open"), folder, HEX_FILTER);
    if (name.isEmpty())
        return;
    m_lastFolder = QFileInfo(name).absolutePath();
    fileToProgram = name;
    showValue(fileName, name);
    linesSentBar->setValue(0);
    showValue(startTime, CLEARED);
    showValue(endTime, CLEARED);
    showValue(runProgress, QString());
    programButton->setEnabled(false);
    // The board's application is erased only for a file that can be sent to its end.
    eraseButton->setEnabled(checkFile(name).has_value());
}

void FirmwareWindow::eraseFlash()
{
    if (setupWindow->board()->link()->refuseWhileBusy())
        return;
    // The file may have changed since it was chosen.
    if (!checkFile(fileToProgram)) {
        eraseButton->setEnabled(false);
        programButton->setEnabled(false);
        return;
    }
    if (!AskYesNo(BootTexts::EraseQuestion()))
        return;
    auto* erase = new FirmwareErase(*setupWindow->board()->link(), this);
    connect(erase, &Operation::finished, this, [this, erase](bool ok, const QString& message) {
        erase->dispose();
        m_lostMidway = !ok && message.isEmpty();
        fileButton->setEnabled(true);
        eraseButton->setEnabled(true);
        // Only an acknowledged erase lets the words in: the loader appends them.
        programButton->setEnabled(ok);
        if (!message.isEmpty() || ok)
            ShowMessageWhenSettled(ok ? BLUE_LED : message);
    });
    // "File" would mark the loader ready; nothing may start before the answer.
    for (QPushButton* button : {fileButton, eraseButton, programButton})
        button->setEnabled(false);
    if (!erase->start()) {
        delete erase;
        fileButton->setEnabled(true);
        eraseButton->setEnabled(true);
    }
}

void FirmwareWindow::programFlash()
{
    if (setupWindow->board()->link()->refuseWhileBusy())
        return;
    QStringList lines;
    // Past the erase the board is empty, whatever is wrong with the file now.
    const std::optional<Hex::HexSummary> summary =
        checkFile(fileToProgram, &lines, BootTexts::NoApplication());
    if (!summary)
        return;
    auto* run = new FirmwareRun(*setupWindow->board()->link(), lines, *summary, this);
    connect(run, &FirmwareRun::wordSent, this, [](int address, int word) {
        setupWindow->header()->flashAddress->setText(QString::number(address));
        setupWindow->header()->flashData->setText(QString::number(word));
    });
    connect(run, &Operation::progressed, this, [this, run](int words, int total) {
        showValue(runProgress, BootTexts::Progress(words, total, run->msLeft()));
        // The lines before the one just sent, as the gauge has always counted.
        linesSentBar->setValue(std::min(run->linesSent() - 1, linesSentBar->maximum()));
    });
    connect(run, &Operation::finished, this, [this, run](bool ok, const QString& message) {
        finishRun(run, ok, message);
    });
    // The loader appends every word it gets, so a second run needs an erase first.
    for (QPushButton* button : {fileButton, eraseButton, programButton})
        button->setEnabled(false);
    showValue(startTime, timeOfDay());
    showValue(endTime, QString());
    fileSize = static_cast<int>(textFileSize(fileToProgram));
    linesSentBar->setRange(0, fileSize / Define::FIRMWARE_GAUGE_BYTES_PER_STEP);
    linesSentBar->setValue(0);
    runStep = SEND_LINES;
    if (!run->start()) {
        delete run;
        runStep = 0;
        fileButton->setEnabled(true);
        eraseButton->setEnabled(true);
    }
}

QString FirmwareWindow::takeLossNote()
{
    return std::exchange(m_lostMidway, false) ? BootTexts::NoApplication() : QString();
}

void FirmwareWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        CentreOnScreen(this);
}

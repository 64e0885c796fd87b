// The firmware window's controls and its three buttons. The programming run
// itself is in BootRun.cpp.
#include "firmware/Boot.h"

#include "app/Forms.h"
#include "app/ScreenCentre.h"
#include "app/Serial1.h"
#include "comm/Frames.h"
#include "comm/LinkOperation.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Globals.h"
#include "firmware/HexFile.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTime>

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

// The file's lines when it can be sent whole; otherwise the message for the user.
std::optional<QString> loadChecked(const QString& path, Hex::HexFile* file)
{
    QString why;
    std::optional<Hex::HexFile> read = Hex::ReadHexFile(path, &why);
    if (!read)
        return QStringLiteral("Cannot open %1: %2.").arg(path, why);
    if (const std::optional<QString> fault = Hex::CheckHexFile(read->lines))
        return QStringLiteral("%1 cannot be sent to the board, %2.").arg(path, *fault);
    *file = std::move(*read);
    return std::nullopt;
}

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
    connect(FileButton, &QPushButton::clicked, this, [this] { FileButtonClick(); });
    connect(EraseFlashbtn, &QPushButton::clicked, this, [this] { EraseFlashbtnClick(); });
    connect(ProgramFlashBtn, &QPushButton::clicked, this, [this] { ProgramFlashBtnClick(); });

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
    grid->addWidget(Gauge1, 4, 0, 1, 3);
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

void TBootForm::FileButtonClick()
{
    TIMEOUT = 0;
    READY = 1;
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
    ProgramFlashBtn->setEnabled(false);
    // The board's application is erased only for a file that can be sent to its end.
    Hex::HexFile file;
    const std::optional<QString> problem = loadChecked(name, &file);
    EraseFlashbtn->setEnabled(!problem);
    if (problem)
        ShowMessage(*problem);
}

void TBootForm::EraseFlashbtnClick()
{
    LinkOperation& link = *SerialForm1->Link;
    if (!link.begin(
            {QStringLiteral("Erase"), QStringLiteral("frames"), 1, LinkOperation::Blocks::Routed, {}}))
        return;
    {
        const LinkOperation::Sending sending(link);
        SerialForm1->SendCommand(LoaderFrame(Define::ERASEFLASHAPP_CMD, 0));
        READY = 0;
    }
    link.progress(1);
    link.end();
    ShowMessage(QStringLiteral("Check the led must be blue.  If yes, press program button"));
    ProgramFlashBtn->setEnabled(true);
}

void TBootForm::ProgramFlashBtnClick()
{
    Hex::HexFile file;
    if (const std::optional<QString> problem = loadChecked(FILETOPROGRAM, &file)) {
        ShowMessage(*problem);
        return;
    }
    const QStringList lines = Hex::LinesToSend(file.lines);
    LinkOperation& link = *SerialForm1->Link;
    // Pressed again during the run: the run starts over from the first line.
    if (!m_running) {
        if (!link.begin({QStringLiteral("Program"), QStringLiteral("lines"), static_cast<int>(lines.size()),
                         LinkOperation::Blocks::Routed, [this] { stopRun(); }}))
            return;
        m_running = true;
    }
    link.setTotal(static_cast<int>(lines.size()));
    link.progress(0);
    showValue(Label3, timeOfDay());
    showValue(Label5, QString());
    TIMEOUT = 0;
    READY = 1;
    m_lines = lines;
    m_nextLine = 0;
    FILE_SIZE = static_cast<int>(TextfileSize(FILETOPROGRAM));
    Gauge1->setRange(0, FILE_SIZE / Define::FIRMWARE_GAUGE_BYTES_PER_STEP);
    Gauge1->setValue(0);
    index = 0;
    Timer1->setInterval(Define::FIRMWARE_TICK_MS);
    Timer1->setEnabled(true);
    STEP1 = 1;
}

void TBootForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        CentreOnScreen(this);
}

#include "app/Main.h"

#include "comm/BoardLink.h"
#include "common/Dialogs.h"
#include "common/Handlers.h"

#include "app/About.h"
#include "app/Forms.h"
#include "app/JpegImage.h"
#include "app/Serial1.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "firmware/Boot.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QShowEvent>

namespace {
const QColor MAIN_WINDOW_COLOUR(163, 158, 154);
const char* const BACKGROUND_PICTURE = ":/background.jpg";
} // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent)
    , Image1(new QLabel(this))
    , Timer1(new WindowTimer(this, Define::MAIN_START_DELAY_MS))
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Tavrin Manager"));
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setAccessibleName(QStringLiteral("Background picture"));
    QFile picture(QString::fromLatin1(BACKGROUND_PICTURE));
    if (picture.open(QIODevice::ReadOnly)) {
        const QImage image = DecodeJpeg(picture.readAll());
        if (!image.isNull())
            Image1->setPixmap(QPixmap::fromImage(image));
    }
    setCentralWidget(Image1);
    buildMenu();
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setOnTimer([this] { Timer1Timer(); });
    resize(1024, 700);
    FormCreate();
}

void TMainForm::buildMenu()
{
    QMenuBar* MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* open = MainMenu1->addMenu(QStringLiteral("Open"));
    Serial1 = open->addAction(QStringLiteral("Go"));
    Serial1->setObjectName(QStringLiteral("Serial1"));
    connectHandler(Serial1, &QAction::triggered, this, [this] { Serial1Click(); });
    QMenu* up = MainMenu1->addMenu(QStringLiteral("Up"));
    UpdateFirmware1 = up->addAction(QStringLiteral("Update Firmware"));
    UpdateFirmware1->setObjectName(QStringLiteral("UpdateFirmware1"));
    connectHandler(UpdateFirmware1, &QAction::triggered, this, [this] { UpdateFirmware1Click(); });
    About1 = MainMenu1->addAction(QStringLiteral("About"));
    About1->setObjectName(QStringLiteral("About1"));
    connectHandler(About1, &QAction::triggered, this, [this] { About1Click(); });
}

void TMainForm::FormCreate()
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, MAIN_WINDOW_COLOUR);
    setPalette(colours);
    setAutoFillBackground(true);
}

void TMainForm::FormShow()
{
    setWindowTitle(QStringLiteral("TAVRIN MANAGER Vers. %1").arg(Define::VERSIONE));
    SerialForm1->InitSeriale();
    // An open failure here raises, which also skips the timer: the set-up window
    // is then opened by hand through "Open", "Go".
    SerialForm1->LoadSeriale();
    Timer1->setEnabled(true);
}

void TMainForm::Timer1Timer()
{
    SerialForm1->show();
    SerialForm1->raise();
    SerialForm1->RadioButton9Click();
    Timer1->setEnabled(false);
}

void TMainForm::Serial1Click()
{
    SerialForm1->show();
    SerialForm1->raise();
}

void TMainForm::UpdateFirmware1Click()
{
    BootForm->show();
    BootForm->raise();
}

void TMainForm::About1Click()
{
    QorForm->show();
    QorForm->raise();
}

void TMainForm::FormClose()
{
    SerialForm1->CloseSeriale();
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // Closing ends the program: an operation on the board would be cut short.
    const BoardLink& link = *SerialForm1->Link;
    if (link.busy() &&
        !AskYesNo(QStringLiteral("%1 is running (%2 of %3 %4 done). Closing now leaves the rest undone. Close anyway?")
                      .arg(link.name())
                      .arg(link.done())
                      .arg(link.total())
                      .arg(QStringView(link.unit())))) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
    // Ends the message loop without closing the other windows, as quit() would:
    // the set-up window's close handler is for the user closing that window.
    QCoreApplication::exit(0);
}

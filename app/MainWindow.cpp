#include "app/MainWindow.h"

#include "comm/BoardLink.h"
#include "common/Dialogs.h"
#include "common/ui/Handlers.h"

#include "app/AboutBox.h"
#include "app/Forms.h"
#include "app/JpegImage.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "firmware/ui/FirmwareWindow.h"

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

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , background(new QLabel(this))
    , setupTimer(new WindowTimer(this, Define::MAIN_START_DELAY_MS))
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Tavrin Manager"));
    background->setObjectName(QStringLiteral("background"));
    background->setAlignment(Qt::AlignCenter);
    background->setAccessibleName(QStringLiteral("Background picture"));
    QFile picture(QString::fromLatin1(BACKGROUND_PICTURE));
    if (picture.open(QIODevice::ReadOnly)) {
        const QImage image = DecodeJpeg(picture.readAll());
        if (!image.isNull())
            background->setPixmap(QPixmap::fromImage(image));
    }
    setCentralWidget(background);
    buildMenu();
    setupTimer->setObjectName(QStringLiteral("setupTimer"));
    setupTimer->setOnTimer([this] { openSetupWindow(); });
    resize(1024, 700);
    paintBackground();
}

void MainWindow::buildMenu()
{
    QMenuBar* mainMenu = menuBar();
    mainMenu->setObjectName(QStringLiteral("mainMenu"));
    QMenu* open = mainMenu->addMenu(QStringLiteral("Open"));
    openSetupAction = open->addAction(QStringLiteral("Go"));
    openSetupAction->setObjectName(QStringLiteral("openSetupAction"));
    connectHandler(openSetupAction, &QAction::triggered, this, [this] { showSetupWindow(); });
    QMenu* up = mainMenu->addMenu(QStringLiteral("Up"));
    updateFirmwareAction = up->addAction(QStringLiteral("Update Firmware"));
    updateFirmwareAction->setObjectName(QStringLiteral("updateFirmwareAction"));
    connectHandler(updateFirmwareAction, &QAction::triggered, this, [this] { showFirmwareWindow(); });
    aboutAction = mainMenu->addAction(QStringLiteral("About"));
    aboutAction->setObjectName(QStringLiteral("aboutAction"));
    connectHandler(aboutAction, &QAction::triggered, this, [this] { showAbout(); });
}

void MainWindow::paintBackground()
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, MAIN_WINDOW_COLOUR);
    setPalette(colours);
    setAutoFillBackground(true);
}

void MainWindow::startUp()
{
    setWindowTitle(QStringLiteral("TAVRIN MANAGER Vers. %1").arg(Define::VERSIONE));
    setupWindow->ports()->listPorts();
    // An open failure here raises, which also skips the timer: the set-up window
    // is then opened by hand through "Open", "Go".
    setupWindow->ports()->openSavedPort();
    setupTimer->setEnabled(true);
}

void MainWindow::openSetupWindow()
{
    setupWindow->show();
    setupWindow->raise();
    setupWindow->ports()->setUpModeChosen();
    setupTimer->setEnabled(false);
}

void MainWindow::showSetupWindow()
{
    setupWindow->show();
    setupWindow->raise();
}

void MainWindow::showFirmwareWindow()
{
    firmwareWindow->show();
    firmwareWindow->raise();
}

void MainWindow::showAbout()
{
    aboutBox->show();
    aboutBox->raise();
}

void MainWindow::closing()
{
    setupWindow->ports()->closePortOnExit();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        startUp();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closing ends the program: an operation on the board would be cut short.
    const BoardLink& link = *setupWindow->board()->link();
    const OperationProgress progress = link.progress();
    if (link.busy() &&
        !AskYesNo(QStringLiteral("%1 is running (%2 of %3 %4 done). Closing now leaves the rest undone. Close anyway?")
                      .arg(progress.name)
                      .arg(progress.done)
                      .arg(progress.total)
                      .arg(QStringView(progress.unit)))) {
        event->ignore();
        return;
    }
    closing();
    event->accept();
    // Ends the message loop without closing the other windows, as quit() would:
    // the set-up window's close handler is for the user closing that window.
    QCoreApplication::exit(0);
}

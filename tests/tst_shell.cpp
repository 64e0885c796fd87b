// The application shell: the six windows, the main window's menu and start-up
// timer, the about box, the wait dialog and the background picture.
#include "RecordingDialogs.h"
#include "SimClock.h"
#include "TestMain.h"

#include "app/AboutBox.h"
#include "app/Forms.h"
#include "app/JpegImage.h"
#include "app/MainWindow.h"
#include "app/SetupWindow.h"
#include "app/WaitDialog.h"
#include "comm/ui/TrafficMonitor.h"
#include "firmware/ui/FirmwareWindow.h"

#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>

class ShellTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void sixWindowsExistWithTheirCaptionsAndOnlyMainIsShown();
    void mainMenuHasExactlyTheThreeEntries();
    void showingMainSetsVersionCaptionAndOpensSetUpOneSecondLater();
    void menuEntriesShowTheirWindows();
    void aboutBoxShowsVersionOnEveryShowingAndItsOkDoesNothing();
    void waitDialogOkSetsCalibrationFlagAndStaysOpen();
    void waitDialogCancelAsksAndOnlyYesCloses();
    void waitDialogHeightDecidesWhetherButtonsShow_data();
    void waitDialogHeightDecidesWhetherButtonsShow();
    void closingSecondaryWindowOnlyHidesIt();
    void dialogsOpenCentredOnTheScreen_data();
    void dialogsOpenCentredOnTheScreen();
    void aboutLogoIsStretchedToItsFrame();
    void labelsSpeakTheirCaptionAndValue();
    void nativeTitleBarsShowExactlyTheirCaptions();
    void programTitleBarsShowExactlyTheirCaptions();

    void backgroundPictureDecodesThroughLibjpeg();
    void damagedPictureGivesNoImage_data();
    void damagedPictureGivesNoImage();

private:
    ScopedSimClock* m_sim = nullptr;
    RecordingDialogs* m_dialogs = nullptr;
};

void ShellTest::init()
{
    m_sim = new ScopedSimClock;
    m_dialogs = new RecordingDialogs;
    CalibrationConfirmed = false;
    CreateForms();
}

void ShellTest::cleanup()
{
    DestroyForms();
    delete m_dialogs;
    delete m_sim;
}

void ShellTest::sixWindowsExistWithTheirCaptionsAndOnlyMainIsShown()
{
    QCOMPARE(mainWindow->windowTitle(), QString("Tavrin Manager"));
    QCOMPARE(setupWindow->windowTitle(), QString("SetUp Kordex"));
    QCOMPARE(aboutBox->windowTitle(), QString("Qor S.r.l."));
    QCOMPARE(waitDialog->windowTitle(), QString("waitform"));
    QCOMPARE(trafficMonitor->windowTitle(), QString("HiddenForm"));
    QCOMPARE(firmwareWindow->windowTitle(), QString("BootForm"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{mainWindow, setupWindow, aboutBox, waitDialog, trafficMonitor, firmwareWindow})
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    QVERIFY(trafficMonitor->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(mainWindow->palette().color(QPalette::Window), QColor(163, 158, 154));
}

void ShellTest::mainMenuHasExactlyTheThreeEntries()
{
    const QList<QAction*> top = mainWindow->menuBar()->actions();
    QCOMPARE(top.size(), 3);
    QCOMPARE(top[0]->text(), QString("Open"));
    QCOMPARE(top[1]->text(), QString("Up"));
    QCOMPARE(top[2]->text(), QString("About"));
    QVERIFY(top[2]->menu() == nullptr);
    QCOMPARE(top[0]->menu()->actions().size(), 1);
    QCOMPARE(top[0]->menu()->actions()[0]->text(), QString("Go"));
    QCOMPARE(top[1]->menu()->actions().size(), 1);
    QCOMPARE(top[1]->menu()->actions()[0]->text(), QString("Update Firmware"));
}

void ShellTest::showingMainSetsVersionCaptionAndOpensSetUpOneSecondLater()
{
    mainWindow->show();
    QCOMPARE(mainWindow->windowTitle(), QString("TAVRIN MANAGER Vers. 16"));
    m_sim->clock.advance(999);
    QVERIFY(!setupWindow->isVisible());
    m_sim->clock.advance(1);
    QVERIFY(setupWindow->isVisible());
    QVERIFY(!mainWindow->setupTimer->Enabled());
    setupWindow->hide();
    m_sim->clock.advance(5000);
    QVERIFY2(!setupWindow->isVisible(), "the start-up timer fires once");
}

void ShellTest::menuEntriesShowTheirWindows()
{
    mainWindow->openSetupAction->trigger();
    QVERIFY(setupWindow->isVisible());
    mainWindow->updateFirmwareAction->trigger();
    QVERIFY(firmwareWindow->isVisible());
    mainWindow->aboutAction->trigger();
    QVERIFY(aboutBox->isVisible());
}

void ShellTest::aboutBoxShowsVersionOnEveryShowingAndItsOkDoesNothing()
{
    for (int showing = 0; showing < 2; ++showing) {
        aboutBox->version->setValue(QString());
        mainWindow->showAbout();
        QCOMPARE(aboutBox->version->text(), QString("VER. 16"));
        aboutBox->hide();
    }
    mainWindow->showAbout();
    aboutBox->okButton->click();
    QVERIFY(aboutBox->isVisible());
}

void ShellTest::waitDialogOkSetsCalibrationFlagAndStaysOpen()
{
    waitDialog->show();
    waitDialog->okButton->click();
    waitDialog->okButton->click();
    QVERIFY(CalibrationConfirmed);
    QVERIFY(waitDialog->isVisible());
}

void ShellTest::waitDialogCancelAsksAndOnlyYesCloses()
{
    waitDialog->show();
    m_dialogs->answers.enqueue(false);
    waitDialog->cancelButton->click();
    QCOMPARE(m_dialogs->questions, QStringList{"Do you want to stop upload  on Kordex as Hum sound ?  "});
    QVERIFY(waitDialog->isVisible());
    m_dialogs->answers.enqueue(true);
    waitDialog->cancelButton->click();
    QVERIFY(!waitDialog->isVisible());
}

void ShellTest::waitDialogHeightDecidesWhetherButtonsShow_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("buttons");
    QTest::newRow("70: text and bar only") << 70 << false;
    QTest::newRow("110: upper part of the buttons") << 110 << true;
    QTest::newRow("140: buttons") << 140 << true;
    QTest::newRow("144: buttons") << 144 << true;
}

void ShellTest::waitDialogHeightDecidesWhetherButtonsShow()
{
    QFETCH(int, height);
    QFETCH(bool, buttons);
    waitDialog->show();
    waitDialog->setLayoutHeight(height);
    QCOMPARE(waitDialog->layoutHeight(), height);
    QCOMPARE(waitDialog->okButton->isVisible(), buttons);
    QCOMPARE(waitDialog->cancelButton->isVisible(), buttons);
    QVERIFY(waitDialog->message->isVisible());
    QVERIFY(waitDialog->progressBar->geometry().bottom() < waitDialog->height());
}

void ShellTest::closingSecondaryWindowOnlyHidesIt()
{
    QPointer<AboutBox> about = aboutBox;
    about->show();
    about->close();
    QVERIFY(about);
    QVERIFY(!about->isVisible());
    mainWindow->showAbout();
    QVERIFY(about->isVisible());
}

void ShellTest::dialogsOpenCentredOnTheScreen_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("height"); // the wait dialog's height setting, 0 for none
    QTest::newRow("about box") << "QorForm" << 0;
    QTest::newRow("wait dialog, text and bar") << "waitform" << 70;
    QTest::newRow("wait dialog with buttons") << "waitform" << 140;
}

void ShellTest::dialogsOpenCentredOnTheScreen()
{
    QFETCH(QString, window);
    QFETCH(int, height);
    QWidget* w = window == "QorForm" ? static_cast<QWidget*>(aboutBox) : waitDialog;
    if (height)
        waitDialog->setLayoutHeight(height);
    w->show();
    const QPoint screenCentre = w->screen()->availableGeometry().center();
    const QPoint offset = w->frameGeometry().center() - screenCentre;
    QVERIFY2(offset.manhattanLength() <= 1, qPrintable(QString("centre %1,%2 off by %3,%4")
                                                           .arg(screenCentre.x())
                                                           .arg(screenCentre.y())
                                                           .arg(offset.x())
                                                           .arg(offset.y())));
}

void ShellTest::aboutLogoIsStretchedToItsFrame()
{
    QFile file(":/logo.jpg");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QImage logo = DecodeJpeg(file.readAll());
    aboutBox->show();
    const QSize frame(logo.width() * 2, logo.height() * 3);
    aboutBox->logo->resize(frame);
    // A frame of another shape shows the whole logo, stretched to fill it.
    const QImage stretched = logo.scaled(frame).convertToFormat(QImage::Format_RGB32);
    const QImage shown = aboutBox->logo->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), frame);
    qint64 difference = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb a = stretched.pixel(x, y);
            const QRgb b = shown.pixel(x, y);
            difference += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
        }
    const double perChannel = double(difference) / (3.0 * frame.width() * frame.height());
    QVERIFY2(perChannel < 2, qPrintable(QString::number(perChannel)));
}

void ShellTest::labelsSpeakTheirCaptionAndValue()
{
    const auto spoken = [](QWidget* w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    };
    mainWindow->showAbout();
    QCOMPARE(spoken(aboutBox->version), QString("Version: VER. 16"));
    QCOMPARE(spoken(aboutBox->makerLine), QString("Maker: Qor S.r.l."));
    waitDialog->message->setText("Wait... Downloading parameters from Kordex in progress.");
    QCOMPARE(spoken(waitDialog->message), QString("Wait... Downloading parameters from Kordex in progress."));
}

void ShellTest::nativeTitleBarsShowExactlyTheirCaptions()
{
    if (QGuiApplication::platformName() != "xcb")
        QSKIP("reads the title bars of an X server (run under xvfb-run with QT_QPA_PLATFORM=xcb)");
    mainWindow->show();
    const std::pair<QWidget*, QString> windows[] = {{mainWindow, "TAVRIN MANAGER Vers. 16"},
                                                    {setupWindow, "SetUp Kordex"},
                                                    {aboutBox, "Qor S.r.l."},
                                                    {waitDialog, "waitform"},
                                                    {trafficMonitor, "HiddenForm"},
                                                    {firmwareWindow, "BootForm"}};
    for (const auto& [window, caption] : windows) {
        QProcess xprop;
        xprop.start("xprop", {"-id", QString::number(window->winId()), "_NET_WM_NAME"});
        QVERIFY(xprop.waitForFinished(10000));
        const QString line = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
        QCOMPARE(line, QString("_NET_WM_NAME(UTF8_STRING) = \"%1\"").arg(caption));
    }
}

void ShellTest::programTitleBarsShowExactlyTheirCaptions()
{
    if (QGuiApplication::platformName() != "xcb")
        QSKIP("reads the title bars of an X server (run under xvfb-run with QT_QPA_PLATFORM=xcb)");
    // The program as installed: its main window and, with no settings file here,
    // the message box that says so.
    QProcess program;
    program.start(TAVRIN_PROGRAM, {});
    QVERIFY(program.waitForStarted());
    const auto titles = [] {
        QProcess xwininfo;
        xwininfo.start("xwininfo", {"-root", "-tree"});
        xwininfo.waitForFinished(10000);
        QStringList names;
        static const QRegularExpression named(QStringLiteral("0x[0-9a-f]+ \"([^\"]*)\""));
        auto it = named.globalMatch(QString::fromUtf8(xwininfo.readAllStandardOutput()));
        while (it.hasNext())
            names << it.next().captured(1);
        return names;
    };
    QTRY_VERIFY_WITH_TIMEOUT(titles().contains("Tavrin Manager"), 20000);
    const QStringList names = titles();
    program.kill();
    program.waitForFinished();
    for (const QString caption : {"TAVRIN MANAGER Vers. 16", "Tavrin Manager"})
        QVERIFY2(names.contains(caption), qPrintable(names.join(" | ")));
    for (const QString& name : names)
        QVERIFY2(!name.contains(" - Tavrin Manager") && !name.contains(QChar(0x2014)), qPrintable(name));
}

void ShellTest::backgroundPictureDecodesThroughLibjpeg()
{
    QFile file(":/background.jpg");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QImage image = DecodeJpeg(file.readAll());
    QCOMPARE(image.size(), QSize(1280, 800));
    QVERIFY(!mainWindow->background->pixmap().isNull());
}

void ShellTest::damagedPictureGivesNoImage_data()
{
    QFile file(":/background.jpg");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray good = file.readAll();
    QByteArray corruptHeader = good;
    corruptHeader[2] = 0x00;
    QByteArray scrambled = good;
    for (qsizetype i = good.size() / 3; i < good.size() / 3 + 400; ++i)
        scrambled[i] = static_cast<char>(0xFF);

    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not a jpeg") << QByteArray("hello, not a picture");
    QTest::newRow("truncated") << good.left(good.size() / 2);
    QTest::newRow("only the start marker") << good.left(2);
    QTest::newRow("broken marker") << corruptHeader;
    QTest::newRow("scrambled scan") << scrambled;
}

void ShellTest::damagedPictureGivesNoImage()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(DecodeJpeg(bytes).isNull());
}

TAVRIN_TEST_MAIN(ShellTest)
#include "tst_shell.moc"

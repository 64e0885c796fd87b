// The application shell: the six windows, the main window's menu and start-up
// timer, the about box, the wait dialog and the background picture.
#include "RecordingDialogs.h"
#include "SimClock.h"
#include "TestMain.h"

#include "app/About.h"
#include "app/Forms.h"
#include "app/JpegImage.h"
#include "app/Main.h"
#include "app/Serial1.h"
#include "app/Wait.h"
#include "comm/Hidden.h"
#include "firmware/Boot.h"

#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>

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
    CALIBRAZIONE = false;
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
    QCOMPARE(MainForm->windowTitle(), QString("Tavrin Manager"));
    QCOMPARE(SerialForm1->windowTitle(), QString("SetUp Kordex"));
    QCOMPARE(QorForm->windowTitle(), QString("Qor S.r.l."));
    QCOMPARE(waitform->windowTitle(), QString("waitform"));
    QCOMPARE(HiddenForm->windowTitle(), QString("HiddenForm"));
    QCOMPARE(BootForm->windowTitle(), QString("BootForm"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{MainForm, SerialForm1, QorForm, waitform, HiddenForm, BootForm})
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    QVERIFY(HiddenForm->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(MainForm->palette().color(QPalette::Window), QColor(163, 158, 154));
}

void ShellTest::mainMenuHasExactlyTheThreeEntries()
{
    const QList<QAction*> top = MainForm->menuBar()->actions();
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
    MainForm->show();
    QCOMPARE(MainForm->windowTitle(), QString("TAVRIN MANAGER Vers. 16"));
    m_sim->clock.advance(999);
    QVERIFY(!SerialForm1->isVisible());
    m_sim->clock.advance(1);
    QVERIFY(SerialForm1->isVisible());
    QVERIFY(!MainForm->Timer1->Enabled());
    SerialForm1->hide();
    m_sim->clock.advance(5000);
    QVERIFY2(!SerialForm1->isVisible(), "the start-up timer fires once");
}

void ShellTest::menuEntriesShowTheirWindows()
{
    MainForm->Serial1->trigger();
    QVERIFY(SerialForm1->isVisible());
    MainForm->UpdateFirmware1->trigger();
    QVERIFY(BootForm->isVisible());
    MainForm->About1->trigger();
    QVERIFY(QorForm->isVisible());
}

void ShellTest::aboutBoxShowsVersionOnEveryShowingAndItsOkDoesNothing()
{
    for (int showing = 0; showing < 2; ++showing) {
        QorForm->Label4->setValue(QString());
        MainForm->About1Click();
        QCOMPARE(QorForm->Label4->text(), QString("VER. 16"));
        QorForm->hide();
    }
    MainForm->About1Click();
    QorForm->Office97Button11->click();
    QVERIFY(QorForm->isVisible());
}

void ShellTest::waitDialogOkSetsCalibrationFlagAndStaysOpen()
{
    waitform->show();
    waitform->Button1->click();
    waitform->Button1->click();
    QVERIFY(CALIBRAZIONE);
    QVERIFY(waitform->isVisible());
}

void ShellTest::waitDialogCancelAsksAndOnlyYesCloses()
{
    waitform->show();
    m_dialogs->answers.enqueue(false);
    waitform->Button2->click();
    QCOMPARE(m_dialogs->questions, QStringList{"Do you want to stop upload  on Kordex as Hum sound ?  "});
    QVERIFY(waitform->isVisible());
    m_dialogs->answers.enqueue(true);
    waitform->Button2->click();
    QVERIFY(!waitform->isVisible());
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
    waitform->show();
    waitform->setHeight(height);
    QCOMPARE(waitform->Height(), height);
    QCOMPARE(waitform->Button1->isVisible(), buttons);
    QCOMPARE(waitform->Button2->isVisible(), buttons);
    QVERIFY(waitform->Label1->isVisible());
    QVERIFY(waitform->ProgressBar1->geometry().bottom() < waitform->height());
}

void ShellTest::closingSecondaryWindowOnlyHidesIt()
{
    QPointer<TQorForm> about = QorForm;
    about->show();
    about->close();
    QVERIFY(about);
    QVERIFY(!about->isVisible());
    MainForm->About1Click();
    QVERIFY(about->isVisible());
}

void ShellTest::backgroundPictureDecodesThroughLibjpeg()
{
    QFile file(":/background.jpg");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QImage image = DecodeJpeg(file.readAll());
    QCOMPARE(image.size(), QSize(1280, 800));
    QVERIFY(!MainForm->Image1->pixmap().isNull());
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

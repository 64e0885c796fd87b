// Calibration of the motion sensor: "Auto" measures the two constants with the
// wait dialog guiding the user, "Man." writes them as typed. The operation does
// the work; the window shows what it asks for and passes "OK" on.
#include "app/SetupWindow.h"
#include "common/ui/Handlers.h"

#include "app/Forms.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "motion/CalibrationOperation.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace {
void showField(QLineEdit* field, const QString& text)
{
    field->setText(text);
    field->repaint();
}
} // namespace

bool SetupWindow::runCalibration(CalibrationOperation* calibration)
{
    connect(calibration, &Operation::finished, this, [calibration](bool, const QString& message) {
        waitDialog->close();
        calibration->dispose();
        if (message.isEmpty())
            return;
        waitDialog->setLayoutHeight(Define::WAIT_HEIGHT_BUTTONS_TOP);
        ShowMessageWhenSettled(message);
    });
    if (!calibration->start()) {
        delete calibration;
        return false;
    }
    return calibration->running();
}

void SetupWindow::calibrateAutomatically()
{
    if (m_board->link()->refuseWhileBusy())
        return;
    auto* calibration = CalibrationOperation::measure(
        *m_board->link(), {verticalCalibration->text(), horizontalCalibration->text()},
        [this] {
            // Selecting runs the TX handler when TX was not selected; the direct
            // call then sends the mode once more.
            SelectRadioButton(txModeButton);
            txModeChosen();
        },
        this);
    connect(calibration, &CalibrationOperation::prompt, this, [](const QString& title, const QString& text) {
        waitDialog->setWindowTitle(title);
        waitDialog->message->setText(text);
        waitDialog->show();
    });
    connect(calibration, &CalibrationOperation::barMoved, this, [](int value) {
        waitDialog->progressBar->setValue(value);
        waitDialog->repaint();
    });
    connect(calibration, &CalibrationOperation::verticalMeasured, this,
            [this](const QString& text) { showField(verticalCalibration, text); });
    connect(calibration, &CalibrationOperation::horizontalMeasured, this,
            [this](const QString& text) { showField(horizontalCalibration, text); });
    connect(calibration, &CalibrationOperation::measuringDone, this, [] { waitDialog->close(); });
    connect(waitDialog->okButton, &QPushButton::clicked, calibration, &CalibrationOperation::confirm);
    if (!runCalibration(calibration))
        return;
    waitDialog->progressBar->setMaximum(Define::CAL_PROGRESS_MAX);
    waitDialog->progressBar->setValue(0);
    waitDialog->setLayoutHeight(Define::WAIT_HEIGHT_WITH_BUTTONS_TALL);
}

void SetupWindow::writeCalibration()
{
    if (m_board->link()->refuseWhileBusy())
        return;
    runCalibration(CalibrationOperation::manual(*m_board->link(), {verticalCalibration->text(), horizontalCalibration->text()}, this));
}

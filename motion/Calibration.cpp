// Calibration of the motion sensor: "Auto" measures the two constants with the
// wait dialog guiding the user, "Man." writes them as typed. The operation does
// the work; the window shows what it asks for and passes "OK" on.
#include "app/Serial1.h"

#include "app/Forms.h"
#include "app/Wait.h"
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

bool TSerialForm1::runCalibration(CalibrationOperation* calibration)
{
    connect(calibration, &Operation::finished, this, [calibration](bool, const QString& message) {
        waitform->close();
        calibration->dispose();
        if (message.isEmpty())
            return;
        waitform->setHeight(Define::WAIT_HEIGHT_BUTTONS_TOP);
        ShowMessageWhenSettled(message);
    });
    if (!calibration->start()) {
        delete calibration;
        return false;
    }
    return calibration->running();
}

void TSerialForm1::SpeedButton73Click()
{
    if (Link->refuseWhileBusy())
        return;
    auto* calibration = CalibrationOperation::measure(
        *Link, {Edit43->text(), Edit44->text()},
        [this] {
            // Selecting runs the TX handler when TX was not selected; the direct
            // call then sends the mode once more.
            SelectButton(RadioButton13);
            RadioButton13Click();
        },
        this);
    connect(calibration, &CalibrationOperation::prompt, this, [](const QString& title, const QString& text) {
        waitform->setWindowTitle(title);
        waitform->Label1->setText(text);
        waitform->show();
    });
    connect(calibration, &CalibrationOperation::barMoved, this, [](int value) {
        waitform->ProgressBar1->setValue(value);
        waitform->repaint();
    });
    connect(calibration, &CalibrationOperation::verticalMeasured, this,
            [this](const QString& text) { showField(Edit43, text); });
    connect(calibration, &CalibrationOperation::horizontalMeasured, this,
            [this](const QString& text) { showField(Edit44, text); });
    connect(calibration, &CalibrationOperation::measuringDone, this, [] { waitform->close(); });
    connect(waitform->Button1, &QPushButton::clicked, calibration, &CalibrationOperation::confirm);
    if (!runCalibration(calibration))
        return;
    waitform->ProgressBar1->setMaximum(Define::CAL_PROGRESS_MAX);
    waitform->ProgressBar1->setValue(0);
    waitform->setHeight(Define::WAIT_HEIGHT_WITH_BUTTONS_TALL);
}

void TSerialForm1::SpeedButton74Click()
{
    if (Link->refuseWhileBusy())
        return;
    runCalibration(CalibrationOperation::manual(*Link, {Edit43->text(), Edit44->text()}, this));
}

// Calibration of the motion sensor: "Auto" measures the two constants with the
// wait dialog guiding the user, "Man." writes them as typed. The operation does
// the work; the panel shows what it asks for and passes "OK" on.
#include "motion/ui/MotionPanel.h"

#include "app/Forms.h"
#include "app/WaitDialog.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/ui/Handlers.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

void MotionPanel::buildCalibration()
{
    // Set-up only: off until the board is in set-up mode.
    autoCalibrationButton = new QPushButton(QStringLiteral("Auto"), this);
    autoCalibrationButton->setObjectName(QStringLiteral("autoCalibrationButton"));
    autoCalibrationButton->setAccessibleName(QStringLiteral("Automatic calibration"));
    manualCalibrationButton = new QPushButton(QStringLiteral("Man."), this);
    manualCalibrationButton->setObjectName(QStringLiteral("manualCalibrationButton"));
    manualCalibrationButton->setAccessibleName(QStringLiteral("Write calibration"));
    for (QPushButton* b : {autoCalibrationButton, manualCalibrationButton}) {
        b->setEnabled(false);
        connect(&m_board, &Params::Board::setUpModeChanged, b, &QWidget::setEnabled);
    }
    connectHandler(autoCalibrationButton, &QPushButton::clicked, this, [this] { calibrateAutomatically(); });
    connectHandler(manualCalibrationButton, &QPushButton::clicked, this, [this] { writeCalibration(); });
}

bool MotionPanel::runCalibration(CalibrationOperation* calibration)
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

void MotionPanel::calibrateAutomatically()
{
    if (m_board.refuseWhileBusy())
        return;
    auto* calibration = CalibrationOperation::measure(
        *m_board.link(), m_calibrationSource(), [this] { emit txModeWanted(); }, this);
    connect(calibration, &CalibrationOperation::prompt, this, [](const QString& title, const QString& text) {
        waitDialog->setWindowTitle(title);
        waitDialog->message->setText(text);
        waitDialog->show();
    });
    connect(calibration, &CalibrationOperation::barMoved, this, [](int value) {
        waitDialog->progressBar->setValue(value);
        waitDialog->repaint();
    });
    connect(calibration, &CalibrationOperation::verticalMeasured, this, &MotionPanel::verticalMeasured);
    connect(calibration, &CalibrationOperation::horizontalMeasured, this, &MotionPanel::horizontalMeasured);
    connect(calibration, &CalibrationOperation::measuringDone, this, [] { waitDialog->close(); });
    connect(waitDialog->okButton, &QPushButton::clicked, calibration, &CalibrationOperation::confirm);
    if (!runCalibration(calibration))
        return;
    waitDialog->progressBar->setMaximum(Define::CAL_PROGRESS_MAX);
    waitDialog->progressBar->setValue(0);
    waitDialog->setLayoutHeight(Define::WAIT_HEIGHT_WITH_BUTTONS_TALL);
}

void MotionPanel::writeCalibration()
{
    if (m_board.refuseWhileBusy())
        return;
    runCalibration(CalibrationOperation::manual(*m_board.link(), m_calibrationSource(), this));
}

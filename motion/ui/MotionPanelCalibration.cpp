// Calibration of the motion sensor: "Auto" measures the two constants with the
// wait dialog guiding the user, "Man." writes them as typed. The operation does
// the work; the panel shows what it asks for and passes "OK" on.
#include "motion/ui/MotionPanel.h"

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
    m_autoCalibrationButton = new QPushButton(QStringLiteral("Auto"), this);
    m_autoCalibrationButton->setObjectName(QStringLiteral("autoCalibrationButton"));
    m_autoCalibrationButton->setAccessibleName(QStringLiteral("Automatic calibration"));
    m_manualCalibrationButton = new QPushButton(QStringLiteral("Man."), this);
    m_manualCalibrationButton->setObjectName(QStringLiteral("manualCalibrationButton"));
    m_manualCalibrationButton->setAccessibleName(QStringLiteral("Write calibration"));
    for (QPushButton* b : {m_autoCalibrationButton, m_manualCalibrationButton}) {
        b->setEnabled(false);
        connect(&board(), &Params::Board::setUpModeChanged, b, &QWidget::setEnabled);
    }
    connectHandler(m_autoCalibrationButton, &QPushButton::clicked, this,
                   [this] { calibrateAutomatically(); });
    connectHandler(m_manualCalibrationButton, &QPushButton::clicked, this, [this] { writeCalibration(); });
}

bool MotionPanel::runCalibration(CalibrationOperation* calibration)
{
    WaitDialog* view = &m_progressView();
    connect(calibration, &Operation::finished, this, [calibration, view](bool, const QString& message) {
        view->close();
        calibration->dispose();
        if (message.isEmpty())
            return;
        view->setLayoutHeight(Define::WAIT_HEIGHT_BUTTONS_TOP);
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
    if (board().refuseWhileBusy())
        return;
    auto* calibration = CalibrationOperation::measure(
        *board().link(), m_calibrationSource(), [this] { emit txModeWanted(); }, this);
    WaitDialog* view = &m_progressView();
    connect(calibration, &CalibrationOperation::prompt, this,
            [view](const QString& title, const QString& text) {
                view->setWindowTitle(title);
                view->message->setText(text);
                view->show();
            });
    connect(calibration, &CalibrationOperation::barMoved, this, [view](int value) {
        view->progressBar->setValue(value);
        view->repaint();
    });
    connect(calibration, &CalibrationOperation::verticalMeasured, this, &MotionPanel::verticalMeasured);
    connect(calibration, &CalibrationOperation::horizontalMeasured, this, &MotionPanel::horizontalMeasured);
    connect(calibration, &CalibrationOperation::measuringDone, this, [view] { view->close(); });
    connect(view->okButton, &QPushButton::clicked, calibration, &CalibrationOperation::confirm);
    if (!runCalibration(calibration))
        return;
    view->progressBar->setMaximum(Define::CAL_PROGRESS_MAX);
    view->progressBar->setValue(0);
    view->setLayoutHeight(Define::WAIT_HEIGHT_WITH_BUTTONS_TALL);
}

void MotionPanel::writeCalibration()
{
    if (board().refuseWhileBusy())
        return;
    runCalibration(CalibrationOperation::manual(*board().link(), m_calibrationSource(), this));
}

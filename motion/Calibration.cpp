// Calibration of the motion sensor: the guided measurement of the two constants
// ("Auto") and writing them as typed ("Man.").
#include "app/Serial1.h"

#include "app/Forms.h"
#include "app/Wait.h"
#include "comm/BoardLink.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Framework.h"
#include "motion/CalibrationMath.h"
#include "motion/TelemetryFrame.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>

namespace {
const QString OPERATION = QStringLiteral("Calibration");
constexpr int CONSTANT_WRITES = 4; // two bytes for each of the two constants
constexpr int SAMPLES_TAKEN = Define::CAL_VERT_SAMPLES + Define::CAL_HOR_SAMPLES;
const QString PROMPT_TITLE = QStringLiteral("Calibration Procedure");
const QString MEASURING_TITLE = QStringLiteral("Measure in progress.... ");
const QString MEASURING_TEXT = QStringLiteral("Wait....");
const QString VERTICAL_PROMPT =
    QStringLiteral("Please, keep the Light Saber in vertical position (blade tip up) and press OK button");
const QString HORIZONTAL_PROMPT =
    QStringLiteral("Please, keep the Light Saber in horizontal position and press OK button");
const QString NOT_CALIBRATED = QStringLiteral("Procedure Not OK.  Kordex is not correctly calibrated");

// Ends the link operation however the writes end, an unconvertible field included.
class EndsLink {
public:
    explicit EndsLink(BoardLink& link)
        : m_link(link)
    {
    }
    ~EndsLink()
    {
        if (m_link.busy())
            m_link.end();
    }

private:
    BoardLink& m_link;
};

void showMean(QLineEdit* field, qint16 mean, bool sampled)
{
    // Zero means "no result", and so does a step that received no telemetry.
    if (sampled && mean != 0)
        field->setText(QString::number(mean));
    field->repaint();
}
} // namespace

void TSerialForm1::SpeedButton73Click()
{
    // The measurement reads telemetry as it comes; holding the link keeps every
    // other sender quiet and lets a lost device stop the procedure.
    if (!Link->begin({OPERATION, QStringLiteral("samples"), SAMPLES_TAKEN, BoardLink::Blocks::Routed,
                      [this] { stopCalibration(); }}))
        return;
    {
        BoardLink::Sending scope(*Link);
        SelectButton(RadioButton13);
        RadioButton13Click();
    }
    Sleep(Define::CAL_START_WAIT_MS);
    if (!Link->busy()) // the device went away during the wait
        return;
    STEP5 = Define::CAL_STEP_VERTICAL_PROMPT;
    Timer5->setEnabled(true);
    waitform->ProgressBar1->setMaximum(Define::CAL_PROGRESS_MAX);
    waitform->ProgressBar1->setValue(0);
    waitform->setHeight(Define::WAIT_HEIGHT_WITH_BUTTONS_TALL);
    CALIBRAZIONE = false;
}

void TSerialForm1::showCalibrationPrompt(const QString& message, int nextStep)
{
    Timer5->setEnabled(false);
    waitform->setWindowTitle(PROMPT_TITLE);
    waitform->Label1->setText(message);
    waitform->show();
    if (CALIBRAZIONE) {
        waitform->setWindowTitle(MEASURING_TITLE);
        waitform->Label1->setText(MEASURING_TEXT);
        STEP5 = nextStep;
        m_stepStartFrames = m_telemetryFrames;
    }
    Timer5->setEnabled(true);
}

void TSerialForm1::Timer5Timer()
{
    using namespace Define;
    if (STEP5 == CAL_STEP_VERTICAL_PROMPT) {
        showCalibrationPrompt(VERTICAL_PROMPT, CAL_STEP_FIRST_VERTICAL_SAMPLE);
        return;
    }
    if (STEP5 > CAL_STEP_VERTICAL_PROMPT && STEP5 < CAL_STEP_HORIZONTAL_PROMPT) {
        Timer5->setEnabled(false);
        waitform->ProgressBar1->setValue(STEP5);
        waitform->repaint();
        CAL_VERT_ARRAY[STEP5 - CAL_STEP_FIRST_VERTICAL_SAMPLE] = Telemetry.posz;
        Link->progress(STEP5 - CAL_STEP_VERTICAL_PROMPT);
        ++STEP5;
        Timer5->setEnabled(true);
        CALIBRAZIONE = false;
        if (STEP5 == CAL_STEP_HORIZONTAL_PROMPT)
            m_verticalSampled = m_telemetryFrames != m_stepStartFrames;
    }
    if (STEP5 == CAL_STEP_HORIZONTAL_PROMPT) {
        CAL_VERTICALE = Motion::CalibrationMean(CAL_VERT_ARRAY, CAL_VERT_SAMPLES);
        showMean(Edit43, CAL_VERTICALE, m_verticalSampled);
        showCalibrationPrompt(HORIZONTAL_PROMPT, CAL_STEP_FIRST_HORIZONTAL_SAMPLE);
        return;
    }
    if (STEP5 > CAL_STEP_HORIZONTAL_PROMPT && STEP5 < CAL_STEP_DONE) {
        waitform->ProgressBar1->setValue(STEP5 - CAL_STEP_HORIZONTAL_PROMPT);
        waitform->repaint();
        CAL_HOR_ARRAY[STEP5 - CAL_STEP_FIRST_HORIZONTAL_SAMPLE] = Telemetry.posz;
        Link->progress(CAL_VERT_SAMPLES + STEP5 - CAL_STEP_HORIZONTAL_PROMPT);
        ++STEP5;
        if (STEP5 == CAL_STEP_DONE)
            m_horizontalSampled = m_telemetryFrames != m_stepStartFrames;
    }
    if (STEP5 == CAL_STEP_DONE)
        finishCalibration();
}

void TSerialForm1::finishCalibration()
{
    CAL_ORIZONTALE = Motion::CalibrationMean(CAL_HOR_ARRAY, Define::CAL_HOR_SAMPLES);
    showMean(Edit44, CAL_ORIZONTALE, m_horizontalSampled);
    waitform->close();
    Timer5->setEnabled(false);
    Link->end();
    // The board stays in TX while the constants are written.
    Sleep(Define::CAL_END_FIRST_WAIT_MS);
    Sleep(Define::CAL_END_SECOND_WAIT_MS);
    // Means of whatever posz held before are no measurement: write nothing then.
    if (!m_verticalSampled || !m_horizontalSampled) {
        waitform->setHeight(Define::WAIT_HEIGHT_BUTTONS_TOP);
        ShowMessage(NOT_CALIBRATED);
        return;
    }
    if (!beginCalibrationWrites()) // the port went away meanwhile; the refusal says so
        return;
    {
        EndsLink ends(*Link);
        BoardLink::Sending scope(*Link);
        if (!Edit43->text().isEmpty())
            CAL_VERT();
        if (!Edit44->text().isEmpty())
            CAL_HORZ();
        if (!Link->busy()) // lost during the writes: the loss message says how far they got
            return;
    }
    waitform->setHeight(Define::WAIT_HEIGHT_BUTTONS_TOP);
    if (!Edit43->text().isEmpty() && !Edit44->text().isEmpty())
        ShowMessage(QStringLiteral("Procedure OK. Kordex has been calibrated with value ") + Edit43->text() +
                    QStringLiteral(" and ") + Edit44->text());
    else
        ShowMessage(NOT_CALIBRATED);
}

void TSerialForm1::stopCalibration()
{
    Timer5->setEnabled(false);
    waitform->close();
}

bool TSerialForm1::beginCalibrationWrites()
{
    return Link->begin({OPERATION, QStringLiteral("values"), CONSTANT_WRITES, BoardLink::Blocks::Deferred,
                        [this] { stopCalibration(); }});
}

bool TSerialForm1::writeCalibrationConstant(QLineEdit* field, int highAddress, int lowAddress, int pauseMs)
{
    if (!Link->busy()) // the device went away during an earlier write
        return false;
    const int value = StrToInt(field->text());
    const QString refused = Motion::CalibrationRangeError(value);
    if (!refused.isEmpty()) {
        ShowMessage(refused);
        return false;
    }
    WriteDato(Motion::HighByte(value), highAddress);
    Sleep(pauseMs);
    // A device lost during the pause has ended the operation: nothing more goes out.
    if (!Link->busy())
        return false;
    WriteDato(Motion::LowByte(value), lowAddress);
    Link->progress(Link->done() + 2);
    return Link->busy();
}

void TSerialForm1::CAL_VERT()
{
    writeCalibrationConstant(Edit43, Define::ADDR_CALIB_VERT_HH, Define::ADDR_CALIB_VERT_LL,
                             Define::CAL_VERT_PAUSE_MS);
}

void TSerialForm1::CAL_HORZ()
{
    writeCalibrationConstant(Edit44, Define::ADDR_CALIB_HOR_HH, Define::ADDR_CALIB_HOR_LL,
                             Define::CAL_HORZ_PAUSE_MS);
}

void TSerialForm1::SpeedButton74Click()
{
    if (!beginCalibrationWrites())
        return;
    EndsLink ends(*Link);
    BoardLink::Sending scope(*Link);
    if (writeCalibrationConstant(Edit43, Define::ADDR_CALIB_VERT_HH, Define::ADDR_CALIB_VERT_LL,
                                 Define::CAL_MANUAL_PAUSE_MS))
        writeCalibrationConstant(Edit44, Define::ADDR_CALIB_HOR_HH, Define::ADDR_CALIB_HOR_LL,
                                 Define::CAL_MANUAL_PAUSE_MS);
}

#include "motion/CalibrationOperation.h"

#include "comm/Frames.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Framework.h"
#include "motion/CalibrationMath.h"
#include "motion/TelemetryFrame.h"

using namespace Define;

namespace {
const QString OPERATION = QStringLiteral("Calibration");
const QString SAMPLES = QStringLiteral("samples");
const QString VALUES = QStringLiteral("values");
constexpr int CONSTANT_WRITES = 4; // two bytes for each of the two constants
constexpr int SAMPLES_TAKEN = CAL_VERT_SAMPLES + CAL_HOR_SAMPLES;
const QString PROMPT_TITLE = QStringLiteral("Calibration Procedure");
const QString MEASURING_TITLE = QStringLiteral("Measure in progress.... ");
const QString MEASURING_TEXT = QStringLiteral("Wait....");
const QString VERTICAL_PROMPT =
    QStringLiteral("Please, keep the Light Saber in vertical position (blade tip up) and press OK button");
const QString HORIZONTAL_PROMPT =
    QStringLiteral("Please, keep the Light Saber in horizontal position and press OK button");
const QString NOT_CALIBRATED = QStringLiteral("Procedure Not OK.  Kordex is not correctly calibrated");

// Zero means "no result", and so does a step that received no telemetry: the
// field keeps what it held.
QString resultText(qint16 mean, bool sampled, const QString& before)
{
    return sampled && mean != 0 ? QString::number(mean) : before;
}
} // namespace

CalibrationOperation* CalibrationOperation::measure(BoardLink& link, Constants typed,
                                                    std::function<void()> enterTx, QObject* parent)
{
    return new CalibrationOperation(link, Kind::Measure, std::move(typed), std::move(enterTx), parent);
}

CalibrationOperation* CalibrationOperation::manual(BoardLink& link, Constants typed, QObject* parent)
{
    return new CalibrationOperation(link, Kind::Manual, std::move(typed), nullptr, parent);
}

CalibrationOperation::CalibrationOperation(BoardLink& link, Kind kind, Constants typed,
                                           std::function<void()> enterTx, QObject* parent)
    : Operation(link, parent)
    , m_kind(kind)
    , m_constants(std::move(typed))
    , m_enterTx(std::move(enterTx))
    , m_timer(new WindowTimer(this, CAL_TICK_MS))
{
    m_timer->setObjectName(QStringLiteral("calibrationTimer"));
    m_timer->setOnTimer([this] { tick(); });
    // The measurement reads telemetry as it comes; holding the link keeps every
    // other sender quiet and lets a lost device stop the procedure.
    if (kind == Kind::Measure)
        describe({OPERATION, SAMPLES, SAMPLES_TAKEN, BoardLink::Blocks::Routed, {}});
    else
        describe({OPERATION, VALUES, CONSTANT_WRITES, BoardLink::Blocks::Deferred, {}});
    connect(&link, &BoardLink::telemetry, this, [this] { ++m_frames; });
}

QString CalibrationOperation::cancelQuestion() const
{
    if (m_kind == Kind::Manual || m_writing)
        return {};
    return QStringLiteral("Stop the calibration? Nothing has been written to Kordex yet.");
}

void CalibrationOperation::confirm()
{
    m_confirmed = true;
}

void CalibrationOperation::run()
{
    if (m_kind == Kind::Manual) {
        writeTyped();
        return;
    }
    {
        const BoardLink::Sending sending(link());
        m_enterTx();
    }
    Sleep(CAL_START_WAIT_MS); // the board starts streaming
    if (!running())           // the device went away during the wait
        return;
    m_step = CAL_STEP_VERTICAL_PROMPT;
    m_confirmed = false;
    m_timer->setEnabled(true);
}

void CalibrationOperation::halt()
{
    m_timer->setEnabled(false);
}

void CalibrationOperation::stopSafely()
{
    halt();
    finish(false, QStringLiteral("The calibration was stopped: nothing was written to Kordex."));
}

void CalibrationOperation::askFor(const QString& text, int stepWhenConfirmed)
{
    emit prompt(PROMPT_TITLE, text);
    if (!m_confirmed)
        return;
    emit prompt(MEASURING_TITLE, MEASURING_TEXT);
    m_step = stepWhenConfirmed;
    m_stepStartFrames = m_frames;
}

void CalibrationOperation::tick()
{
    // The checks run in this order within one tick: a sampling step that has just
    // taken its last sample goes on to the next prompt, or to the end, at once.
    if (m_step == CAL_STEP_VERTICAL_PROMPT) {
        askFor(VERTICAL_PROMPT, CAL_STEP_FIRST_VERTICAL_SAMPLE);
        return;
    }
    if (m_step > CAL_STEP_VERTICAL_PROMPT && m_step < CAL_STEP_HORIZONTAL_PROMPT) {
        emit barMoved(m_step);
        CAL_VERT_ARRAY[m_step - CAL_STEP_FIRST_VERTICAL_SAMPLE] = Telemetry.posz;
        progress(m_step - CAL_STEP_VERTICAL_PROMPT);
        ++m_step;
        m_confirmed = false; // the horizontal prompt waits for a fresh "OK"
        if (m_step == CAL_STEP_HORIZONTAL_PROMPT)
            m_verticalSampled = m_frames != m_stepStartFrames;
    }
    if (m_step == CAL_STEP_HORIZONTAL_PROMPT) {
        CAL_VERTICALE = Motion::CalibrationMean(CAL_VERT_ARRAY, CAL_VERT_SAMPLES);
        m_constants.vertical = resultText(CAL_VERTICALE, m_verticalSampled, m_constants.vertical);
        emit verticalMeasured(m_constants.vertical);
        askFor(HORIZONTAL_PROMPT, CAL_STEP_FIRST_HORIZONTAL_SAMPLE);
        return;
    }
    if (m_step > CAL_STEP_HORIZONTAL_PROMPT && m_step < CAL_STEP_DONE) {
        emit barMoved(m_step - CAL_STEP_HORIZONTAL_PROMPT);
        CAL_HOR_ARRAY[m_step - CAL_STEP_FIRST_HORIZONTAL_SAMPLE] = Telemetry.posz;
        progress(CAL_VERT_SAMPLES + m_step - CAL_STEP_HORIZONTAL_PROMPT);
        ++m_step;
        if (m_step == CAL_STEP_DONE)
            m_horizontalSampled = m_frames != m_stepStartFrames;
    }
    if (m_step == CAL_STEP_DONE)
        finishMeasuring();
}

void CalibrationOperation::finishMeasuring()
{
    m_timer->setEnabled(false);
    m_writing = true; // from here on it runs to its end
    CAL_ORIZONTALE = Motion::CalibrationMean(CAL_HOR_ARRAY, CAL_HOR_SAMPLES);
    m_constants.horizontal = resultText(CAL_ORIZONTALE, m_horizontalSampled, m_constants.horizontal);
    emit horizontalMeasured(m_constants.horizontal);
    emit measuringDone();
    // The board stays in TX while the constants are written.
    Sleep(CAL_END_FIRST_WAIT_MS);
    Sleep(CAL_END_SECOND_WAIT_MS);
    if (!running())
        return;
    // Means of whatever the sensor value held before are no measurement: write nothing then.
    if (!m_verticalSampled || !m_horizontalSampled) {
        finish(false, NOT_CALIBRATED);
        return;
    }
    writeMeasured();
}

void CalibrationOperation::writeMeasured()
{
    restate(VALUES, CONSTANT_WRITES);
    const QString& vertical = m_constants.vertical;
    const QString& horizontal = m_constants.horizontal;
    // A constant refused for its range is said so, and the other one still goes out.
    if (!vertical.isEmpty() &&
        writeConstant(vertical, ADDR_CALIB_VERT_HH, ADDR_CALIB_VERT_LL, CAL_VERT_PAUSE_MS) == Write::Stopped)
        return;
    if (!horizontal.isEmpty() &&
        writeConstant(horizontal, ADDR_CALIB_HOR_HH, ADDR_CALIB_HOR_LL, CAL_HORZ_PAUSE_MS) == Write::Stopped)
        return;
    if (vertical.isEmpty() || horizontal.isEmpty()) {
        finish(false, NOT_CALIBRATED);
        return;
    }
    finish(true, QStringLiteral("Procedure OK. Kordex has been calibrated with value ") + vertical +
                     QStringLiteral(" and ") + horizontal);
}

void CalibrationOperation::writeTyped()
{
    m_writing = true;
    // A refused vertical constant stops before the horizontal one is looked at.
    if (writeConstant(m_constants.vertical, ADDR_CALIB_VERT_HH, ADDR_CALIB_VERT_LL, CAL_MANUAL_PAUSE_MS) !=
        Write::Done)
        return;
    if (writeConstant(m_constants.horizontal, ADDR_CALIB_HOR_HH, ADDR_CALIB_HOR_LL, CAL_MANUAL_PAUSE_MS) !=
        Write::Done)
        return;
    finish(true);
}

CalibrationOperation::Write CalibrationOperation::writeConstant(const QString& text, int highAddress,
                                                                int lowAddress, int pauseMs)
{
    int value = 0;
    try {
        value = StrToInt(text);
    } catch (const EConvertError& error) {
        finish(false, error.message());
        return Write::Stopped;
    }
    if (const QString refused = Motion::CalibrationRangeError(value); !refused.isEmpty()) {
        ShowMessage(refused);
        if (m_kind == Kind::Manual)
            finish(false);
        return Write::Refused;
    }
    const BoardLink::Sending sending(link());
    // Each write is followed by the board's 100 ms, then the pause between the
    // two bytes; a device lost meanwhile has ended the operation.
    const int bytes[][2] = {{highAddress, Motion::HighByte(value)}, {lowAddress, Motion::LowByte(value)}};
    for (const auto& [address, byte] : bytes) {
        if (!running() || !link().sendFrame(ParameterWriteFrame(address, byte)))
            return Write::Stopped;
        Sleep(WRITE_PAUSE_MS);
        if (address == highAddress)
            Sleep(pauseMs);
    }
    if (!running())
        return Write::Stopped;
    progress(done() + 2);
    return Write::Done;
}

// The parameter screen, built from the parameter table: twelve row panels with
// their colour, sensitivity, duration and flicker edits, the brightness
// sliders, the frequency buttons and the calibration values.
#include "params/ui/ParameterPanel.h"

#include "app/ClickableLabel.h"
#include "common/Define.h"
#include "common/Guarded.h"
#include "common/ui/Named.h"
#include "common/ui/ValueLabel.h"
#include "params/FlickerLimit.h"
#include "params/ParameterLayout.h"
#include "params/ui/ColourSwatch.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

using namespace Params;

namespace {
constexpr int EDIT_WIDTH = 54;
constexpr int SENSITIVITY_WIDTH = 72;
constexpr qreal RANGE_FONT_SCALE = 0.85;
constexpr int CAPTION_WIDTH = 96;
constexpr int CELL_SPACING = 4;
constexpr int PANEL_MARGIN = 4;
constexpr int SLIDER_TICK = 20;
constexpr int SLIDER_HEIGHT = 260;
const char* const LEDS_CAPTION = "LED  parameters";

// The screen's columns, left to right, with their headings.
struct ScreenColumn {
    Column column;
    const char* heading;
};
constexpr ScreenColumn COLOUR_COLUMNS[] = {
    {Column::R, "R"}, {Column::G, "G"}, {Column::B, "B"}, {Column::W, "W"}};
constexpr ScreenColumn MOTION_COLUMNS[] = {{Column::Sensibility, "Sensibility"},
                                           {Column::Duration, "Duration"}};
constexpr ScreenColumn FLICKER_COLUMNS[] = {
    {Column::Rf, "Rf"}, {Column::Gf, "Gf"}, {Column::Bf, "Bf"}, {Column::Wf, "Wf"}};

struct Slider {
    const char* name;
    const char* caption;
    const char* accessible;
};
constexpr Slider SLIDERS[] = {{"redBrightness", "R", "Brightness red"},
                              {"greenBrightness", "G", "Brightness green"},
                              {"blueBrightness", "B", "Brightness blue"},
                              {"whiteBrightness", "W", "Brightness white"}};

QLineEdit* parameterEdit(const QString& name, const QString& accessible, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(accessible);
    edit->setFixedWidth(EDIT_WIDTH);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

QRadioButton* radio(const char* name, const char* caption, const QString& accessible, QWidget* parent)
{
    auto* button = new QRadioButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(accessible);
    return button;
}
} // namespace

void ParameterPanel::buildParameterScreen(QVBoxLayout* group)
{
    ledRowHeading = new QLabel(QString::fromLatin1(LEDS_CAPTION), parameterGroup);
    ledRowHeading->setObjectName(QStringLiteral("ledRowHeading"));
    ledRowHeading->setAccessibleName(QStringLiteral("Row selected for the brightness sliders"));
    QFont headingFont = ledRowHeading->font();
    headingFont.setBold(true);
    ledRowHeading->setFont(headingFont);
    group->addWidget(ledRowHeading);

    auto* body = new QHBoxLayout;
    group->addLayout(body);
    auto* rows = new QVBoxLayout;
    rows->setSpacing(2);
    body->addLayout(rows);

    // Column headings and range captions. Every heading has the fixed width of
    // the column (or columns) it stands over, so they line up with the edits.
    auto* headings = new QGridLayout;
    headings->setHorizontalSpacing(CELL_SPACING);
    headings->setVerticalSpacing(0);
    headings->setContentsMargins(2 * PANEL_MARGIN + 1, 0, 0, 0); // the panels' frame and margin
    QFont small = parameterGroup->font();
    small.setPointSizeF(small.pointSizeF() * RANGE_FONT_SCALE);
    auto heading = [&](const QString& text, int row, int column, int width, int span = 1,
                       bool isRange = false) {
        auto* label = new QLabel(text, parameterGroup);
        label->setAlignment(Qt::AlignCenter);
        label->setFixedWidth(width * span + CELL_SPACING * (span - 1));
        if (isRange)
            label->setFont(small);
        headings->addWidget(label, row, column, 1, span);
    };
    // Over the caption and the swatch beside it.
    headings->addItem(new QSpacerItem(CAPTION_WIDTH + CELL_SPACING + ColourSwatch::WIDTH, 0, QSizePolicy::Fixed), 0, 0);
    int column = 1;
    for (const ScreenColumn& c : COLOUR_COLUMNS)
        heading(QString::fromLatin1(c.heading), 0, column++, EDIT_WIDTH);
    heading(QStringLiteral("Sensibility"), 0, column, SENSITIVITY_WIDTH);
    heading(QStringLiteral("Range "), 1, column, SENSITIVITY_WIDTH, 1, true);
    heading(QStringLiteral("0 .. 65535"), 2, column++, SENSITIVITY_WIDTH, 1, true);
    heading(QStringLiteral("Duration"), 0, column, EDIT_WIDTH);
    heading(QStringLiteral("Range "), 1, column, EDIT_WIDTH, 1, true);
    heading(QStringLiteral("0 .. 254"), 2, column++, EDIT_WIDTH, 1, true);
    heading(QStringLiteral("Flickering "), 0, column, EDIT_WIDTH, 4);
    heading(QStringLiteral("Range 0 .. 100"), 1, column, EDIT_WIDTH, 4, true);
    for (const ScreenColumn& c : FLICKER_COLUMNS)
        heading(QString::fromLatin1(c.heading), 2, column++, EDIT_WIDTH);
    headings->setColumnStretch(column, 1);
    rows->addLayout(headings);

    buildRows(rows);
    rows->addStretch();

    buildSliders(body);
    buildFrequencyAndCalibration(group);
    parameterStatus = valueLabel("parameterStatus", QStringLiteral("Parameter status"), parameterGroup);
    group->addWidget(parameterStatus);
}

void ParameterPanel::buildRows(QVBoxLayout* rows)
{
    QRadioButton* const bankButtons[] = {defaultBank1Button, defaultBank2Button, defaultBank3Button};
    int bank = 0;
    for (const ScreenRow& row : screenRows()) {
        if (row.bank != bank) {
            bank = row.bank;
            rows->addSpacing(6);
            rows->addWidget(bankButtons[bank - 1]);
        }
        auto* panel = new QFrame(parameterGroup);
        panel->setObjectName(QString::fromLatin1(row.panel));
        panel->setAccessibleName(
            QStringLiteral("Bank %1 %2").arg(bank).arg(QString::fromLatin1(row.caption)));
        panel->setFrameShape(QFrame::StyledPanel);
        auto* cells = new QHBoxLayout(panel);
        cells->setSpacing(CELL_SPACING);
        cells->setContentsMargins(PANEL_MARGIN, 2, PANEL_MARGIN, 2);
        auto* captionLabel = new ClickableLabel(QString::fromLatin1(row.caption), panel);
        captionLabel->setObjectName(QString::fromLatin1(row.captionLabel));
        captionLabel->setAccessibleName(QStringLiteral("Select bank %1 %2 for the brightness sliders")
                                            .arg(bank)
                                            .arg(QString::fromLatin1(row.caption)));
        captionLabel->setFixedWidth(CAPTION_WIDTH);
        captionLabel->setFocusPolicy(Qt::TabFocus);
        captionLabel->setCursor(Qt::PointingHandCursor);
        const int rowIndex = static_cast<int>(rowPanels.size());
        connect(captionLabel, &ClickableLabel::clicked, this,
                [this, rowIndex] { selectSliderRow(rowIndex); });
        cells->addWidget(captionLabel);
        auto* swatch = new ColourSwatch(panel);
        swatch->setObjectName(QString::fromLatin1(row.panel).replace(QLatin1String("Row"), QLatin1String("Swatch")));
        rowSwatches.append(swatch);
        cells->addWidget(swatch);

        auto addCell = [&](Column column, int width) {
            if (const ParameterField* field = fieldAt(bank, row.row, column)) {
                QLineEdit* e = parameterEdit(field->editName(), field->accessibleName(), panel);
                e->setFixedWidth(width);
                m_edits.insert(field->editName(), e);
                cells->addWidget(e);
                return;
            }
            for (const DisabledCell& cell : disabledCells())
                if (cell.bank == bank && cell.row == row.row && cell.column == column) {
                    QLineEdit* e =
                        parameterEdit(QString::fromLatin1(cell.edit), QStringLiteral("Not used"), panel);
                    e->setFixedWidth(width);
                    e->setEnabled(false);
                    e->setProperty("permanentlyDisabled", true);
                    cells->addWidget(e);
                    return;
                }
            cells->addSpacing(width + cells->spacing());
        };
        for (const ScreenColumn& c : COLOUR_COLUMNS)
            addCell(c.column, EDIT_WIDTH);
        addCell(Column::Sensibility, SENSITIVITY_WIDTH);
        addCell(Column::Duration, EDIT_WIDTH);
        for (const ScreenColumn& c : FLICKER_COLUMNS)
            addCell(c.column, EDIT_WIDTH);
        cells->addStretch(); // the row's sound buttons go here
        rowPanels.append(panel);
        rowCaptions.append(captionLabel);
        rows->addWidget(panel);
        m_setUpControls.append(panel);
    }
    // Flicker edits clamp as they change, whoever changes them.
    for (const ParameterField& field : parameterFields())
        if (IsFlicker(field)) {
            QLineEdit* e = edit(field.editName());
            connect(e, &QLineEdit::textChanged, this, [this, e] { runGuarded([&] { limitFlicker(e); }); });
        }
}

void ParameterPanel::buildSliders(QHBoxLayout* body)
{
    // Brightness sliders: position 0 at the top stands for 254.
    auto* sliders = new QGridLayout;
    auto* brightness = new QLabel(QStringLiteral("Brightness"), parameterGroup);
    sliders->addWidget(brightness, 0, 0, 1, 4, Qt::AlignHCenter);
    QSlider** const trackBars[] = {&redBrightness, &greenBrightness, &blueBrightness, &whiteBrightness};
    for (int channel = 0; channel < 4; ++channel) {
        auto* slider = new QSlider(Qt::Vertical, parameterGroup);
        slider->setObjectName(QString::fromLatin1(SLIDERS[channel].name));
        slider->setAccessibleName(QString::fromLatin1(SLIDERS[channel].accessible));
        slider->setRange(0, Define::PARAMETER_MAX_VALUE);
        slider->setTickInterval(SLIDER_TICK);
        slider->setTickPosition(QSlider::TicksRight);
        slider->setInvertedAppearance(true);
        slider->setInvertedControls(true);
        slider->setMinimumHeight(SLIDER_HEIGHT);
        slider->setValue(0);
        connect(slider, &QSlider::valueChanged, this, [this, channel](int p) { brightnessMoved(channel, p); });
        *trackBars[channel] = slider;
        m_setUpControls.append(slider);
        sliders->addWidget(slider, 1, channel, Qt::AlignHCenter);
        sliders->addWidget(new QLabel(QString::fromLatin1(SLIDERS[channel].caption), parameterGroup), 2, channel,
                           Qt::AlignHCenter);
    }
    sliders->addWidget(new QLabel(QStringLiteral("Range"), parameterGroup), 3, 0, 1, 4, Qt::AlignHCenter);
    sliders->addWidget(new QLabel(QStringLiteral("0 .. 254"), parameterGroup), 4, 0, 1, 4, Qt::AlignHCenter);
    sliders->setRowStretch(5, 1);
    body->addLayout(sliders);
}

void ParameterPanel::buildFrequencyAndCalibration(QVBoxLayout* group)
{
    // Frequency mode and calibration values under the rows.
    auto* bottom = new QHBoxLayout;
    group->addLayout(bottom);
    frequencyBox = new QFrame(parameterGroup);
    frequencyBox->setObjectName(QStringLiteral("frequencyBox"));
    frequencyBox->setAccessibleName(QStringLiteral("Frequency"));
    frequencyBox->setFrameShape(QFrame::StyledPanel);
    auto* frequency = new QHBoxLayout(frequencyBox);
    frequency->addWidget(new QLabel(QStringLiteral("Frequency"), frequencyBox));
    frequencyStdButton = radio("frequencyStdButton", "Std", QStringLiteral("Frequency Std"), frequencyBox);
    frequencyMedButton = radio("frequencyMedButton", "Med", QStringLiteral("Frequency Med"), frequencyBox);
    frequencyEvoButton = radio("frequencyEvoButton", "Evo", QStringLiteral("Frequency Evo"), frequencyBox);
    for (QRadioButton* b : {frequencyStdButton, frequencyMedButton, frequencyEvoButton})
        frequency->addWidget(b);
    frequencyMedButton->hide();
    bottom->addWidget(frequencyBox);

    calibrationBox = new QGroupBox(QStringLiteral("Calibration"), parameterGroup);
    calibrationBox->setObjectName(QStringLiteral("calibrationBox"));
    calibrationBox->setAccessibleName(QStringLiteral("Calibration"));
    auto* calibration = new QHBoxLayout(calibrationBox);
    const struct {
        QLineEdit** target;
        const char* name;
        const char* caption;
    } calibrationEdits[] = {{&verticalCalibration, "verticalCalibration", "VERT."}, {&horizontalCalibration, "horizontalCalibration", "HORZ."}};
    for (const auto& [target, editName, caption] : calibrationEdits) {
        auto* label = new QLabel(QString::fromLatin1(caption), calibrationBox);
        calibration->addWidget(label);
        const QString name = QString::fromLatin1(editName);
        const ParameterField* field = fieldByEdit(name);
        *target = parameterEdit(name, field->accessibleName(), calibrationBox);
        m_edits.insert(name, *target);
        label->setBuddy(*target);
        calibration->addWidget(*target);
    }
    bottom->addWidget(calibrationBox);
    bottom->addStretch();
}

// The "Parameters" group of the set-up window: the twelve rows of values, the
// brightness sliders, the default bank, the frequency mode and the calibration
// values, with "Read Parameters", "Write Parameters", "Verify", "Save..." and
// "Load...". It shows what the board's replies decode to, marks the values the
// board never answered for and refuses to write them back.
//
// The window places other panels' controls inside it: the sound buttons into
// the rows and above them, the calibration buttons beside the two values. Its
// own controls are its own: the window and the tests reach them by name.
#pragma once

#include "common/ui/BoardPanel.h"
#include "params/Board.h"
#include "params/ParameterWriter.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <utility>

class ColourSwatch;
class Operation;
class QFrame;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class ValueLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QVBoxLayout;
namespace Params {
struct RadioGroup;
} // namespace Params

class ParameterPanel : public BoardPanel {
    Q_OBJECT
public:
    // Runs an operation with the window's progress dialog; false when the link
    // refused it (nothing was sent).
    using OperationRunner = std::function<bool(Operation*)>;

    ParameterPanel(Params::Board& board, OperationRunner runOperation, QWidget* parent = nullptr);

    void readParameters();  // "Read Parameters"
    void writeParameters(); // "Write Parameters"

    // The calibration values as the screen shows them: vertical, horizontal.
    std::pair<QString, QString> calibrationTexts() const;
    // "Save..." stays live while an operation holds the link: it talks to no board.
    QList<QWidget*> keptLiveWhileLocked() const override;

    // ---- Where the window places other panels' controls ----------------------
    // The twelve sound rows, four per bank.
    int rowCount() const { return static_cast<int>(rowPanels.size()); }
    // Appends the widgets, in order, after the values of row panel `row`.
    void addToRow(int row, const QList<QWidget*>& widgets);
    // Controls after "Save..." and "Load...", in the row of the action buttons.
    void addToActions(QWidget* widget);
    // A row of controls above the parameter rows, just below the action buttons.
    void insertActionRow(QWidget* row);
    void addToCalibration(QWidget* widget);
    // A calibration value measured on the board, shown at once.
    void showVerticalCalibration(const QString& text);
    void showHorizontalCalibration(const QString& text);

private:
    QGroupBox* parameterGroup = nullptr;           // the parameter group
    QPushButton* readParametersButton = nullptr;   // "Read Parameters"
    QPushButton* writeParametersButton = nullptr;  // "Write Parameters"
    QPushButton* saveParametersButton = nullptr;   // "Save...": the screen to a parameter file
    QPushButton* loadParametersButton = nullptr;   // "Load...": a parameter file to the screen
    QPushButton* verifyParametersButton = nullptr; // "Verify": where the screen and the board differ
    QRadioButton* defaultBank1Button = nullptr;
    QRadioButton* defaultBank2Button = nullptr;
    QRadioButton* defaultBank3Button = nullptr;
    QLabel* ledRowHeading = nullptr; // heading, names the row the sliders act on
    QSlider* redBrightness = nullptr;
    QSlider* greenBrightness = nullptr;
    QSlider* blueBrightness = nullptr;
    QSlider* whiteBrightness = nullptr;
    QList<QFrame*> rowPanels;   // the twelve sound rows, four per bank
    QList<QLabel*> rowCaptions; // the caption label of each row panel
    QList<ColourSwatch*> rowSwatches; // the colour each row gives the blade
    QFrame* frequencyBox = nullptr;              // "Frequency"
    QRadioButton* frequencyStdButton = nullptr;  // "Std"
    QRadioButton* frequencyMedButton = nullptr;  // "Med", present but not shown
    QRadioButton* frequencyEvoButton = nullptr;  // "Evo"
    QGroupBox* calibrationBox = nullptr;         // "Calibration"
    QLineEdit* verticalCalibration = nullptr;    // "VERT."
    QLineEdit* horizontalCalibration = nullptr;  // "HORZ."
    ValueLabel* parameterStatus = nullptr;       // how many values differ from the board


    // The edits of the parameter screen by name ("bank1GuardRed", "bank1FlickerRed", ...).
    QLineEdit* edit(const QString& name) const;

    void buildActions(QVBoxLayout* group);
    void buildParameterScreen(QVBoxLayout* group);
    void buildRows(QVBoxLayout* rows);
    void buildSliders(QHBoxLayout* body);
    void buildFrequencyAndCalibration(QVBoxLayout* group);
    void connectHandlers();
    void showDecoded(const Params::DecoderEffect& effect);

    void selectSliderRow(int row);                   // the twelve row caption labels
    void brightnessMoved(int channel, int position); // the four brightness sliders
    void limitFlicker(QLineEdit* flicker);           // the twelve flicker edits
    void saveParameters();
    void loadParameters();
    // The property of an edit a loaded file changed, until a read or a write.
    static constexpr const char* LOADED_MARK = "changedByFile";
    // Clears the marks of the fields a loaded file changed (after a read or a write).
    void clearLoadedMarks();
    // Reads the board again and says, value by value, where it differs from the screen.
    void verifyParameters();
    void defaultBankChosen(QRadioButton* button, int bank);
    // A read gave the default bank: shown, and written back as a choice would be.
    void showDefaultBank(int bank);

    QString parameterFileFolder() const;
    QRadioButton* radioButton(const char* name) const;
    // Selects the mode's button without a click's effects; a byte no mode stands
    // for leaves every button unselected and is kept as it is.
    void showFrequency(int value);
    // Values never read are marked and never written back.
    void watchUserValues();
    void userSetValue(int address);
    // The swatches, the marks of values that differ from the board (or were
    // never read, or came from a loaded file) and the status line, kept in
    // step with the screen and the board.
    void watchScreenMarks();
    void showScreenMarks();
    // Marks each value and counts the differences on the status line.
    void showValueMarks();
    // Every value, button and slider says what it does; a value the board holds
    // otherwise also says what the board holds.
    void showParameterTips();
    void refreshParameterTips();
    // The checked plan of "Write Parameters" from the screen; on a bad edit,
    // shows why, puts the cursor there and returns nothing.
    std::optional<Params::WritePlan> planFromScreen();

    OperationRunner m_runOperation;
    QHash<QString, QLineEdit*> m_edits;
    QHBoxLayout* m_actions = nullptr; // "Read Parameters" to "Load...", then a stretch
    // The colour edits of the row the brightness sliders act on (red, green,
    // blue, white); none until a row caption is clicked.
    std::array<QLineEdit*, 4> m_sliderTargets{};
    // Controls that only set-up mode enables.
    QList<QWidget*> m_setUpControls;
    QString m_parameterFileFolder; // where the last parameter file was saved or loaded
    // Values a read did not answer are marked from its end until the next read
    // starts or the port closes; before any read nothing is marked unread.
    bool m_readHasEnded = false;
};

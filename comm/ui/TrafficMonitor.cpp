#include "comm/ui/TrafficMonitor.h"

#include "comm/BoardLink.h"
#include "comm/TrafficLog.h"

#include "app/ScreenCentre.h"
#include "comm/ui/LogMemo.h"
#include "common/Define.h"
#include "sound/Waveform.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QShowEvent>
#include <QTableWidget>

namespace {
constexpr int MONITOR_WIDTH = 1458;
constexpr int MONITOR_HEIGHT = 699;
constexpr int GRID_ROWS = 40;
constexpr int TELEMETRY_COLUMNS = 4;
constexpr int FLASH_COLUMNS = 8;

// A grid in the classic sense: fixed first row and column drawn as headers,
// every cell addressed by (column, row) from the top-left corner.
QTableWidget* makeGrid(QWidget* parent, const char* name, const char* accessible, int columns,
                       bool fixedHeader)
{
    auto* grid = new QTableWidget(GRID_ROWS, columns, parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setAccessibleName(QString::fromLatin1(accessible));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    if (fixedHeader)
        grid->setStyleSheet(QStringLiteral("QTableWidget { gridline-color: #b0b0b0; }"));
    return grid;
}
} // namespace

void SetCell(QTableWidget* grid, int column, int row, const QString& text)
{
    if (row >= grid->rowCount() || column >= grid->columnCount())
        return;
    if (QTableWidgetItem* item = grid->item(row, column))
        item->setText(text);
    else
        grid->setItem(row, column, new QTableWidgetItem(text));
}

QString CellText(const QTableWidget* grid, int column, int row)
{
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

TrafficMonitor::TrafficMonitor(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
    , viewCheck(new QCheckBox(QStringLiteral("View"), this))
    , hexCheck(new QCheckBox(QStringLiteral("HexCheck"), this))
    , sentLog(new LogMemo(QStringLiteral("Memo1"), this))
    , receivedLog(new LogMemo(QStringLiteral("Memo1"), this))
    , telemetryGrid(makeGrid(this, "telemetryGrid", "Telemetry values", TELEMETRY_COLUMNS, true))
    , sampleGrid(makeGrid(this, "sampleGrid", "Sound file samples", Define::SAMPLE_GRID_COLUMNS, true))
    , appFlashGrid(makeGrid(this, "appFlashGrid", "App Flash", FLASH_COLUMNS, false))
{
    setObjectName(QStringLiteral("trafficMonitor"));
    setWindowTitle(QStringLiteral("HiddenForm"));
    resize(MONITOR_WIDTH, MONITOR_HEIGHT);

    viewCheck->setObjectName(QStringLiteral("viewCheck"));
    viewCheck->setAccessibleName(QStringLiteral("Log traffic"));
    viewCheck->setChecked(true);
    hexCheck->setObjectName(QStringLiteral("hexCheck"));
    hexCheck->setAccessibleName(QStringLiteral("Hexadecimal log lines"));
    hexCheck->setChecked(true);
    sentLog->setObjectName(QStringLiteral("sentLog"));
    sentLog->setAccessibleName(QStringLiteral("Transmit log"));
    receivedLog->setObjectName(QStringLiteral("receivedLog"));
    receivedLog->setAccessibleName(QStringLiteral("Receive log"));

    auto* layout = new QGridLayout(this);
    auto* options = new QHBoxLayout;
    options->addWidget(viewCheck);
    options->addWidget(hexCheck);
    options->addStretch();
    layout->addLayout(options, 0, 0, 1, 3);
    // Each pane: a caption above its view, at (row, column) of the grid layout.
    const struct {
        const char* caption;
        QWidget* widget;
        int row;
        int column;
    } panes[] = {{"Transmitted", sentLog, 1, 0},
                 {"Received", receivedLog, 1, 1},
                 {"Telemetry", telemetryGrid, 1, 2},
                 {"Sound samples", sampleGrid, 3, 0},
                 {"App Flash", appFlashGrid, 3, 1}};
    for (const auto& pane : panes) {
        auto* label = new QLabel(QString::fromLatin1(pane.caption), this);
        label->setBuddy(pane.widget);
        layout->addWidget(label, pane.row, pane.column);
        layout->addWidget(pane.widget, pane.row + 1, pane.column);
    }
    layout->setRowStretch(2, 3);
    layout->setRowStretch(4, 2);
}

bool TrafficMonitor::logging() const
{
    return viewCheck->isChecked();
}

bool TrafficMonitor::hexMode() const
{
    return hexCheck->isChecked();
}

void TrafficMonitor::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        CentreOnScreen(this);
}

namespace {
// A log starts again once it holds this many lines, so it never grows without end.
constexpr int LOG_CLEAR_LINES = 500;

void clearWhenFull(LogMemo* memo)
{
    if (memo->LinesCount() == LOG_CLEAR_LINES)
        memo->Clear();
}
} // namespace

void TrafficMonitor::attach(BoardLink& link)
{
    connect(&link, &BoardLink::frameSent, this, &TrafficMonitor::logSent);
    connect(&link, &BoardLink::blockReceived, this, &TrafficMonitor::logReceived);
    // The answer's bytes are in the receive log already; this line says why
    // nothing came of them.
    connect(&link.reads(), &PendingReads::strayAnswer, this, [this, &link](int address) {
        if (!logging())
            return;
        receivedLog->Add(StrayAnswerLine(address, link.reads().strays()));
        clearWhenFull(receivedLog);
    });
}

void TrafficMonitor::logSent(const QByteArray& frame)
{
    if (frame.isEmpty())
        return;
    if (logging())
        sentLog->Add(FormatLogLine(TX_PREFIX, frame, hexMode()));
    clearWhenFull(sentLog);
}

void TrafficMonitor::logReceived(const QByteArray& block)
{
    if (!logging())
        return;
    receivedLog->Add(FormatLogLine(RX_PREFIX, block, hexMode()));
    clearWhenFull(receivedLog);
}

void TrafficMonitor::showSamples(const QByteArray& sound)
{
    sampleGrid->clearContents();
    const int cells = Sound::SampleCellCount(sound);
    for (int i = 0; i < cells; ++i) {
        const Sound::GridCell cell = Sound::SampleCell(i);
        SetCell(sampleGrid, cell.column, cell.row, Sound::SampleCellText(Sound::OffsetSample(sound, i)));
    }
}

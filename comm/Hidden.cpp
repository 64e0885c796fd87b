#include "comm/Hidden.h"

#include "comm/BoardLink.h"
#include "comm/TrafficLog.h"

#include "app/ScreenCentre.h"
#include "comm/LogMemo.h"
#include "common/Define.h"

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

THiddenForm::THiddenForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
    , CheckBox1(new QCheckBox(QStringLiteral("View"), this))
    , HexCheck(new QCheckBox(QStringLiteral("HexCheck"), this))
    , Memo1(new LogMemo(QStringLiteral("Memo1"), this))
    , Memo2(new LogMemo(QStringLiteral("Memo1"), this))
    , StringGrid1(makeGrid(this, "StringGrid1", "Telemetry values", TELEMETRY_COLUMNS, true))
    , StringGrid2(makeGrid(this, "StringGrid2", "Sound file samples", Define::SAMPLE_GRID_COLUMNS, true))
    , StringGrid3(makeGrid(this, "StringGrid3", "App Flash", FLASH_COLUMNS, false))
{
    setObjectName(QStringLiteral("HiddenForm"));
    setWindowTitle(QStringLiteral("HiddenForm"));
    resize(MONITOR_WIDTH, MONITOR_HEIGHT);

    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setAccessibleName(QStringLiteral("Log traffic"));
    CheckBox1->setChecked(true);
    HexCheck->setObjectName(QStringLiteral("HexCheck"));
    HexCheck->setAccessibleName(QStringLiteral("Hexadecimal log lines"));
    HexCheck->setChecked(true);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("Transmit log"));
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setAccessibleName(QStringLiteral("Receive log"));

    auto* layout = new QGridLayout(this);
    auto* options = new QHBoxLayout;
    options->addWidget(CheckBox1);
    options->addWidget(HexCheck);
    options->addStretch();
    layout->addLayout(options, 0, 0, 1, 3);
    // Each pane: a caption above its view, at (row, column) of the grid layout.
    const struct {
        const char* caption;
        QWidget* widget;
        int row;
        int column;
    } panes[] = {{"Transmitted", Memo1, 1, 0},
                 {"Received", Memo2, 1, 1},
                 {"Telemetry", StringGrid1, 1, 2},
                 {"Sound samples", StringGrid2, 3, 0},
                 {"App Flash", StringGrid3, 3, 1}};
    for (const auto& pane : panes) {
        auto* label = new QLabel(QString::fromLatin1(pane.caption), this);
        label->setBuddy(pane.widget);
        layout->addWidget(label, pane.row, pane.column);
        layout->addWidget(pane.widget, pane.row + 1, pane.column);
    }
    layout->setRowStretch(2, 3);
    layout->setRowStretch(4, 2);
}

bool THiddenForm::logging() const
{
    return CheckBox1->isChecked();
}

bool THiddenForm::hexMode() const
{
    return HexCheck->isChecked();
}

void THiddenForm::showEvent(QShowEvent* event)
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

void THiddenForm::attach(BoardLink& link)
{
    connect(&link, &BoardLink::frameSent, this, &THiddenForm::logSent);
    connect(&link, &BoardLink::blockReceived, this, &THiddenForm::logReceived);
}

void THiddenForm::logSent(const QByteArray& frame)
{
    if (frame.isEmpty())
        return;
    if (logging())
        Memo1->Add(FormatLogLine(TX_PREFIX, frame, hexMode()));
    clearWhenFull(Memo1);
}

void THiddenForm::logReceived(const QByteArray& block)
{
    if (!logging())
        return;
    Memo2->Add(FormatLogLine(RX_PREFIX, block, hexMode()));
    clearWhenFull(Memo2);
}

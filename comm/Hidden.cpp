#include "comm/Hidden.h"

namespace {
constexpr int MONITOR_WIDTH = 1458;
constexpr int MONITOR_HEIGHT = 699;
} // namespace

THiddenForm::THiddenForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("HiddenForm"));
    setWindowTitle(QStringLiteral("HiddenForm"));
    resize(MONITOR_WIDTH, MONITOR_HEIGHT);
}

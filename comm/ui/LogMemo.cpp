#include "comm/ui/LogMemo.h"

LogMemo::LogMemo(const QString& initialLine, QWidget* parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFont(QStringLiteral("DejaVu Sans Mono")));
    Add(initialLine);
}

void LogMemo::Add(const QString& line)
{
    appendPlainText(line);
    ++m_lines;
}

void LogMemo::Clear()
{
    clear();
    m_lines = 0;
}

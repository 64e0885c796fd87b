// A log view that counts its own lines, so the "clear at 500 lines" rule costs
// nothing per line however long the session runs.
#pragma once

#include <QPlainTextEdit>

class LogMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit LogMemo(const QString& initialLine, QWidget* parent = nullptr);

    int LinesCount() const { return m_lines; }
    void Add(const QString& line);
    void Clear();

private:
    int m_lines = 0;
};

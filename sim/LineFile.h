// A text file the simulator appends records to, one line at a time, each line
// flushed as it is written so that a test can read it at any moment.
#pragma once

#include <QFile>
#include <QString>

class LineFile {
public:
    // Appends to path from now on (a file in use is closed first).
    bool start(const QString& path, QString* error);
    void stop();
    bool active() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }

protected:
    // Nothing happens while no file is in use.
    void writeLine(const QString& line);

private:
    QFile m_file;
};

// The tool's windows with the set-up window's port open, for one benchmark:
// created and opened on construction, closed and gone when the benchmark ends,
// however it ends (a benchmark that gives up returns early).
#pragma once

#include <QString>

class ToolOnPort {
public:
    // port: a device path, added to the set-up window's port list and opened.
    explicit ToolOnPort(const QString& port);
    ~ToolOnPort();
    ToolOnPort(const ToolOnPort&) = delete;
    ToolOnPort& operator=(const ToolOnPort&) = delete;

    // Opens the selected port again ("Open"); why it did not open, empty when it did.
    QString open();
    // Why the port did not open at construction; empty when it did.
    const QString& failure() const { return m_failure; }

private:
    QString m_failure;
};

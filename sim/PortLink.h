// The published name of the simulated port: a symbolic link in the ports folder
// that points at the pseudo-terminal's slave.
#pragma once

#include <QString>

class PortLink {
public:
    explicit PortLink(QString path);
    ~PortLink();
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    const QString& path() const { return m_path; }

    // Points the link at target, replacing whatever has that name (atomically,
    // so a reader never finds it missing). Creates the folder when needed.
    bool publish(const QString& target, QString* error);
    // Removes the link if it still points where this object put it.
    void withdraw();

private:
    QString m_path;
    QString m_target;
};

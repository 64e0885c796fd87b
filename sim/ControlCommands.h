// The commands of the control channel, one table entry each. Every command
// answers with one line beginning "ok" or "error". The list is in README.md.
#pragma once

#include <QString>
#include <QStringList>
#include <span>

class LineFile;
class Simulator;

class ControlCommands {
public:
    explicit ControlCommands(Simulator& simulator);

    QString execute(const QString& line);

private:
    using Handler = QString (ControlCommands::*)(const QStringList& arguments);
    struct Command {
        const char* name;
        int minArguments;
        int maxArguments;
        const char* usage;
        Handler handler;
    };
    static std::span<const Command> commands();

    QString help(const QStringList& arguments);
    QString switchFirmware(const QStringList& arguments);
    QString firmware(const QStringList& arguments);
    QString shot(const QStringList& arguments);
    QString rate(const QStringList& arguments);
    QString silent(const QStringList& arguments);
    QString deaf(const QStringList& arguments);
    QString unplug(const QStringList& arguments);
    QString plug(const QStringList& arguments);
    QString port(const QStringList& arguments);
    QString dump(const QStringList& arguments);
    QString log(const QStringList& arguments);
    QString param(const QStringList& arguments);
    QString mode(const QStringList& arguments);
    QString pose(const QStringList& arguments);
    QString counters(const QStringList& arguments);
    QString strict(const QStringList& arguments);
    QString violations(const QStringList& arguments);
    QString busy(const QStringList& arguments);
    QString join(const QStringList& arguments);
    QString inject(const QStringList& arguments);
    QString late(const QStringList& arguments);
    QString pieces(const QStringList& arguments);
    QString bundle(const QStringList& arguments);
    QString sent(const QStringList& arguments);
    static QString startRecord(LineFile& record, const QString& name, const QString& argument);

    Simulator& m_sim;
};

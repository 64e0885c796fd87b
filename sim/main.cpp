// kordex-sim: a simulated Kordex board on a pseudo-terminal. See README.md.
#include "sim/SignalWatcher.h"
#include "sim/SimLog.h"
#include "sim/SimOptions.h"
#include "sim/Simulator.h"
#include "sim/Uptime.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

constexpr int EXIT_FAILED = 1;
constexpr int EXIT_BAD_ARGUMENTS = 2;

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kordex-sim"));
    uptimeMs(); // the time base starts now

    QString error;
    const auto options = parseSimOptions(QCoreApplication::arguments(), &error);
    if (!options) {
        std::fprintf(stderr, "kordex-sim: %s\n", error.toLocal8Bit().constData());
        return EXIT_BAD_ARGUMENTS;
    }
    SimLog::setVerbose(options->verbose);
    SimLog::setName(options->name);

    SignalWatcher stopSignals;
    if (!stopSignals.install(&error)) {
        SimLog::warning(error);
        return EXIT_FAILED;
    }
    Simulator simulator(*options);
    if (!simulator.start(&error)) {
        SimLog::warning(error);
        return EXIT_FAILED;
    }
    QObject::connect(&stopSignals, &SignalWatcher::stopRequested, &app, &QCoreApplication::quit);

    std::printf("%s\n", options->portPath().toLocal8Bit().constData());
    std::fflush(stdout);
    const int status = QCoreApplication::exec();
    simulator.stop();
    return status;
}

#include "sim/SimOptions.h"

#include "common/BuildConfig.h"
#include "sim/SimDefaults.h"

#include <QCommandLineParser>
#include <QDir>

namespace {

bool readBounded(const QCommandLineParser& parser, const QCommandLineOption& option, int low, int high,
                 int* value, QString* error)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    const int parsed = parser.value(option).toInt(&ok);
    if (!ok || parsed < low || parsed > high) {
        *error = QStringLiteral("--%1 takes a whole number from %2 to %3")
                     .arg(option.names().constFirst())
                     .arg(low)
                     .arg(high);
        return false;
    }
    *value = parsed;
    return true;
}

// "N" or "N,GAP_MS".
bool readPieces(const QCommandLineParser& parser, const QCommandLineOption& option, Pieces* pieces,
                QString* error)
{
    if (!parser.isSet(option))
        return true;
    const auto parsed = parsePieces(parser.value(option).split(QLatin1Char(',')));
    if (!parsed) {
        *error = QStringLiteral("--pieces takes N[,GAP_MS]: %1").arg(piecesRange());
        return false;
    }
    *pieces = *parsed;
    return true;
}

bool readBundle(const QCommandLineParser& parser, const QCommandLineOption& option, int* bundle,
                QString* error)
{
    if (!parser.isSet(option))
        return true;
    const auto parsed = parseBundle(parser.value(option));
    if (!parsed) {
        *error = QStringLiteral("--bundle takes K: %1").arg(bundleRange());
        return false;
    }
    *bundle = *parsed;
    return true;
}

} // namespace

QString SimOptions::portPath() const
{
    return QDir(dir).filePath(name);
}

QString SimOptions::controlPath() const
{
    return QDir(dir).filePath(name + QLatin1String(SimDefaults::CONTROL_SUFFIX));
}

std::optional<SimOptions> parseSimOptions(const QStringList& arguments, QString* error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated Kordex board on a pseudo-terminal. Prints the published port path on its first line."));
    parser.addHelpOption();
    const QCommandLineOption dirOption(
        QStringLiteral("dir"),
        QStringLiteral("Ports folder (default %1).").arg(QLatin1String(BuildConfig::PORTS_DIR)),
        QStringLiteral("folder"));
    const QCommandLineOption nameOption(
        QStringLiteral("name"),
        QStringLiteral("Name of the published port (default %1).").arg(QLatin1String(SimDefaults::PORT_NAME)),
        QStringLiteral("name"));
    const QCommandLineOption stateOption(QStringLiteral("state"),
                                         QStringLiteral("File holding the parameter memory across runs."),
                                         QStringLiteral("file"));
    const QCommandLineOption rateOption(
        QStringLiteral("rate"),
        QStringLiteral("Telemetry frames per second (default %1).").arg(SimDefaults::TELEMETRY_RATE),
        QStringLiteral("n"));
    const QCommandLineOption idleOption(
        QStringLiteral("idle-ms"),
        QStringLiteral("Silence that ends a sample stream (default %1).").arg(SimDefaults::UPLOAD_IDLE_MS),
        QStringLiteral("ms"));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"),
                                           QStringLiteral("Report every frame and ignored byte on stderr."));
    const QCommandLineOption strictOption(
        QStringLiteral("strict"),
        QStringLiteral("Drop every frame that comes while the board is still busy with the last one."));
    const QCommandLineOption piecesOption(
        QStringLiteral("pieces"),
        QStringLiteral("Cut every write into pieces of at most N bytes, GAP_MS apart (default 0)."),
        QStringLiteral("n[,gap_ms]"));
    const QCommandLineOption bundleOption(
        QStringLiteral("bundle"), QStringLiteral("Join consecutive messages, K at a time, into one write."),
        QStringLiteral("k"));
    parser.addOptions({dirOption, nameOption, stateOption, rateOption, idleOption, verboseOption,
                       strictOption, piecesOption, bundleOption});
    parser.process(arguments);

    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().constFirst());
        return std::nullopt;
    }

    SimOptions options;
    options.dir = parser.isSet(dirOption) ? parser.value(dirOption) : QLatin1String(BuildConfig::PORTS_DIR);
    options.name =
        parser.isSet(nameOption) ? parser.value(nameOption) : QLatin1String(SimDefaults::PORT_NAME);
    options.statePath = parser.value(stateOption);
    options.rate = SimDefaults::TELEMETRY_RATE;
    options.idleMs = SimDefaults::UPLOAD_IDLE_MS;
    options.verbose = parser.isSet(verboseOption);
    options.strict = parser.isSet(strictOption);

    if (options.name.isEmpty() || options.name.contains(QLatin1Char('/'))) {
        *error = QStringLiteral("--name must be a plain file name");
        return std::nullopt;
    }
    if (options.dir.isEmpty()) {
        *error = QStringLiteral("--dir must not be empty");
        return std::nullopt;
    }
    if (!readBounded(parser, rateOption, SimDefaults::TELEMETRY_RATE_MIN, SimDefaults::TELEMETRY_RATE_MAX,
                     &options.rate, error) ||
        !readBounded(parser, idleOption, SimDefaults::UPLOAD_IDLE_MS_MIN, SimDefaults::UPLOAD_IDLE_MS_MAX,
                     &options.idleMs, error) ||
        !readPieces(parser, piecesOption, &options.pieces, error) ||
        !readBundle(parser, bundleOption, &options.bundle, error))
        return std::nullopt;
    options.dir = QDir(options.dir).absolutePath();
    return options;
}

#include "sim/ControlCommands.h"

#include "sim/ParameterMemory.h"
#include "sim/SimDefaults.h"
#include "sim/Simulator.h"
#include "sim/Uptime.h"

#include <QSaveFile>
#include <algorithm>
#include <optional>

namespace {

constexpr int HEX_BASE = 16;
constexpr int DECIMAL_BASE = 10;
constexpr int BYTE_MAX = 0xFF;
// The most answers one join holds back.
constexpr int MAX_JOINED = 16;
constexpr QLatin1StringView HEX_PREFIX("0x");

QString ok(const QString& text = QString())
{
    return text.isEmpty() ? QStringLiteral("ok") : QStringLiteral("ok ") + text;
}

QString error(const QString& text)
{
    return QStringLiteral("error ") + text;
}

// Decimal, or hexadecimal with a "0x" prefix; within low..high.
std::optional<int> number(const QString& text, int low, int high)
{
    bool valid = false;
    const int value = text.startsWith(HEX_PREFIX, Qt::CaseInsensitive)
                          ? text.mid(HEX_PREFIX.size()).toInt(&valid, HEX_BASE)
                          : text.toInt(&valid, DECIMAL_BASE);
    if (!valid || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<bool> onOff(const QString& text)
{
    if (text == QLatin1String("on"))
        return true;
    if (text == QLatin1String("off"))
        return false;
    return std::nullopt;
}

QString firmwareWord(Firmware firmware)
{
    return firmware == Firmware::Loader ? QStringLiteral("loader") : QStringLiteral("app");
}

QString writeFile(const QString& path, const QByteArray& contents)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.commit())
        return error(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return ok(QStringLiteral("%1 bytes").arg(contents.size()));
}

} // namespace

std::span<const ControlCommands::Command> ControlCommands::commands()
{
    static const Command table[] = {
        {"help", 0, 0, "help", &ControlCommands::help},
        {"switch", 1, 1, "switch loader|app", &ControlCommands::switchFirmware},
        {"firmware", 0, 0, "firmware", &ControlCommands::firmware},
        {"shot", 0, 0, "shot", &ControlCommands::shot},
        {"rate", 0, 1, "rate [N]", &ControlCommands::rate},
        {"silent", 1, 1, "silent on|off", &ControlCommands::silent},
        {"deaf", 0, 2, "deaf [after CODE|off]", &ControlCommands::deaf},
        {"unplug", 0, 0, "unplug", &ControlCommands::unplug},
        {"plug", 0, 0, "plug", &ControlCommands::plug},
        {"port", 0, 0, "port", &ControlCommands::port},
        {"dump", 2, 2, "dump params|sound|program FILE", &ControlCommands::dump},
        {"log", 1, 1, "log FILE|off", &ControlCommands::log},
        {"param", 1, 2, "param A [V]", &ControlCommands::param},
        {"mode", 0, 0, "mode", &ControlCommands::mode},
        {"pose", 1, 1, "pose sweep|vertical|horizontal", &ControlCommands::pose},
        {"counters", 0, 0, "counters", &ControlCommands::counters},
        {"strict", 0, 1, "strict [on|off]", &ControlCommands::strict},
        {"violations", 0, 0, "violations", &ControlCommands::violations},
        {"busy", 0, 0, "busy", &ControlCommands::busy},
        {"join", 1, MAX_JOINED + 1, "join A B... [late]|off", &ControlCommands::join},
        {"pieces", 0, 2, "pieces [N [GAP_MS]|off]", &ControlCommands::pieces},
        {"bundle", 0, 1, "bundle [K|off]", &ControlCommands::bundle},
        {"sent", 1, 1, "sent FILE|off", &ControlCommands::sent},
        {"inject", 1, 3, "inject HEX [before A]", &ControlCommands::inject},
        {"late", 2, 2, "late A N", &ControlCommands::late},
    };
    return table;
}

ControlCommands::ControlCommands(Simulator& simulator)
    : m_sim(simulator)
{
}

QString ControlCommands::execute(const QString& line)
{
    QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return error(QStringLiteral("empty command"));
    const QString name = words.takeFirst();
    const auto table = commands();
    const auto command = std::find_if(table.begin(), table.end(),
                                      [&](const Command& c) { return name == QLatin1String(c.name); });
    if (command == table.end())
        return error(QStringLiteral("unknown command %1 (try help)").arg(name));
    if (words.size() < command->minArguments || words.size() > command->maxArguments)
        return error(QStringLiteral("usage: %1").arg(QLatin1String(command->usage)));
    return (this->*command->handler)(words);
}

QString ControlCommands::help(const QStringList&)
{
    QStringList usages;
    for (const Command& command : commands())
        usages << QLatin1String(command.usage);
    return ok(usages.join(QStringLiteral("; ")));
}

QString ControlCommands::switchFirmware(const QStringList& arguments)
{
    Firmware position;
    if (arguments[0] == QLatin1String("loader"))
        position = Firmware::Loader;
    else if (arguments[0] == QLatin1String("app"))
        position = Firmware::Application;
    else
        return error(QStringLiteral("usage: switch loader|app"));
    Board& board = m_sim.board();
    board.setSwitches(position);
    if (board.running() == position)
        return ok(QStringLiteral("switch %1").arg(arguments[0]));
    if (!m_sim.plugged()) // powered down: read when plugged in
        return ok(QStringLiteral("switch %1, read at plug").arg(arguments[0]));
    return ok(QStringLiteral("switch %1, read at the next open").arg(arguments[0]));
}

QString ControlCommands::firmware(const QStringList&)
{
    return ok(firmwareWord(m_sim.board().running()));
}

QString ControlCommands::shot(const QStringList&)
{
    Board& board = m_sim.board();
    if (!m_sim.portOpen())
        return error(QStringLiteral("port not open"));
    if (board.running() != Firmware::Application)
        return error(QStringLiteral("the loader sends no shots"));
    if (board.silent())
        return error(QStringLiteral("silent"));
    board.application().sendShot();
    return ok(QStringLiteral("shot"));
}

QString ControlCommands::rate(const QStringList& arguments)
{
    AppFirmware& app = m_sim.board().application();
    if (arguments.isEmpty())
        return ok(QString::number(app.rate()));
    const auto perSecond =
        number(arguments[0], SimDefaults::TELEMETRY_RATE_MIN, SimDefaults::TELEMETRY_RATE_MAX);
    if (!perSecond)
        return error(QStringLiteral("rate takes %1 to %2 frames per second")
                         .arg(SimDefaults::TELEMETRY_RATE_MIN)
                         .arg(SimDefaults::TELEMETRY_RATE_MAX));
    app.setRate(*perSecond);
    return ok(QStringLiteral("rate %1").arg(*perSecond));
}

QString ControlCommands::silent(const QStringList& arguments)
{
    const auto on = onOff(arguments[0]);
    if (!on)
        return error(QStringLiteral("usage: silent on|off"));
    m_sim.board().setSilent(*on);
    return ok(QStringLiteral("silent %1").arg(arguments[0]));
}

QString ControlCommands::deaf(const QStringList& arguments)
{
    AppFirmware& app = m_sim.board().application();
    if (arguments.isEmpty()) {
        if (app.deaf())
            return ok(QStringLiteral("deaf"));
        if (const std::optional<char> code = app.deafAfter())
            return ok(QStringLiteral("after %1").arg(QLatin1Char(*code)));
        return ok(QStringLiteral("off"));
    }
    if (arguments == QStringList{QStringLiteral("off")}) {
        app.hearAgain();
        return ok(QStringLiteral("deaf off"));
    }
    const bool oneCode = arguments.size() == 2 && arguments[0] == QLatin1String("after") &&
                         arguments[1].size() == 1 && arguments[1][0].unicode() <= BYTE_MAX;
    if (!oneCode)
        return error(QStringLiteral("usage: deaf [after CODE|off]"));
    app.deafenAfter(arguments[1][0].toLatin1());
    return ok(QStringLiteral("deaf after %1").arg(arguments[1]));
}

QString ControlCommands::unplug(const QStringList&)
{
    if (!m_sim.plugged())
        return error(QStringLiteral("already unplugged"));
    m_sim.unplug();
    return ok(QStringLiteral("unplugged"));
}

QString ControlCommands::plug(const QStringList&)
{
    if (m_sim.plugged())
        return error(QStringLiteral("already plugged"));
    QString reason;
    if (!m_sim.plug(&reason))
        return error(reason);
    return ok(m_sim.options().portPath());
}

QString ControlCommands::port(const QStringList&)
{
    if (!m_sim.plugged())
        return ok(QStringLiteral("unplugged"));
    return ok(m_sim.portOpen() ? QStringLiteral("open") : QStringLiteral("closed"));
}

QString ControlCommands::dump(const QStringList& arguments)
{
    const BoardMemory& memory = m_sim.board().memory();
    const QString& what = arguments[0];
    if (what == QLatin1String("params"))
        return writeFile(arguments[1], memory.parameters.bytes());
    if (what == QLatin1String("sound"))
        return writeFile(arguments[1], memory.sound.contents());
    if (what == QLatin1String("program"))
        return writeFile(arguments[1], memory.program.contents());
    return error(QStringLiteral("usage: dump params|sound|program FILE"));
}

QString ControlCommands::log(const QStringList& arguments)
{
    return startRecord(m_sim.trafficLog(), QStringLiteral("log"), arguments[0]);
}

QString ControlCommands::sent(const QStringList& arguments)
{
    return startRecord(m_sim.wire().sentRecord(), QStringLiteral("sent"), arguments[0]);
}

// "off" stops the record, anything else is the file to append to.
QString ControlCommands::startRecord(LineFile& record, const QString& name, const QString& argument)
{
    if (argument == QLatin1String("off")) {
        record.stop();
        return ok(QStringLiteral("%1 off").arg(name));
    }
    QString reason;
    if (!record.start(argument, &reason))
        return error(reason);
    return ok(QStringLiteral("%1 %2").arg(name, argument));
}

QString ControlCommands::param(const QStringList& arguments)
{
    const auto address = number(arguments[0], 0, ParameterMemory::SIZE - 1);
    if (!address)
        return error(QStringLiteral("address must be 0 to %1").arg(ParameterMemory::SIZE - 1));
    Board& board = m_sim.board();
    if (arguments.size() > 1) {
        const auto value = number(arguments[1], 0, BYTE_MAX);
        if (!value)
            return error(QStringLiteral("value must be 0 to %1").arg(BYTE_MAX));
        board.application().writeParameter(static_cast<quint8>(*address), static_cast<quint8>(*value));
    }
    return ok(QString::number(board.memory().parameters.read(static_cast<quint8>(*address))));
}

QString ControlCommands::mode(const QStringList&)
{
    return ok(QString::number(m_sim.board().application().status()));
}

QString ControlCommands::pose(const QStringList& arguments)
{
    static const std::pair<const char*, Pose> poses[] = {
        {"sweep", Pose::Sweep}, {"vertical", Pose::Vertical}, {"horizontal", Pose::Horizontal}};
    for (const auto& [word, pose] : poses) {
        if (arguments[0] == QLatin1String(word)) {
            m_sim.board().application().motion().setPose(pose);
            return ok(QStringLiteral("pose %1").arg(arguments[0]));
        }
    }
    return error(QStringLiteral("usage: pose sweep|vertical|horizontal"));
}

QString ControlCommands::counters(const QStringList&)
{
    const BoardCounters& c = m_sim.board().memory().counters;
    const std::pair<const char*, qint64> fields[] = {
        {"received", c.receivedBytes},
        {"frames", c.frames},
        {"ignored_bytes", c.ignoredBytes},
        {"deaf_bytes", c.deafBytes},
        {"ignored_frames", c.ignoredFrames},
        {"malformed", c.malformedFrames},
        {"violations", m_sim.board().application().pacing().lateCount()},
        {"uploads", c.uploads},
        {"upload_bytes", c.uploadBytes},
        {"overflow", c.overflowBytes},
        {"telemetry", c.telemetryFrames},
        {"shots", c.shots},
        {"program_words", c.programWords},
        {"program_overflow", c.programOverflow},
        {"telemetry_sent", m_sim.wire().telemetrySent()},
        {"wire_writes", m_sim.wire().writes()},
    };
    QStringList parts;
    for (const auto& [name, value] : fields)
        parts << QStringLiteral("%1=%2").arg(QLatin1String(name)).arg(value);
    return ok(parts.join(QLatin1Char(' ')));
}

QString ControlCommands::strict(const QStringList& arguments)
{
    Pacing& pacing = m_sim.board().application().pacing();
    if (arguments.isEmpty())
        return ok(pacing.strict() ? QStringLiteral("on") : QStringLiteral("off"));
    const auto on = onOff(arguments[0]);
    if (!on)
        return error(QStringLiteral("usage: strict [on|off]"));
    pacing.setStrict(*on);
    return ok(QStringLiteral("strict %1").arg(arguments[0]));
}

QString ControlCommands::violations(const QStringList&)
{
    const Pacing& pacing = m_sim.board().application().pacing();
    QStringList parts{QString::number(pacing.lateCount())};
    for (const LateFrame& late : pacing.recent())
        parts << late.describe();
    return ok(parts.join(QStringLiteral(" | ")));
}

QString ControlCommands::busy(const QStringList&)
{
    return ok(QString::number(m_sim.board().application().pacing().busyLeftMs(uptimeMs())));
}

QString ControlCommands::inject(const QStringList& arguments)
{
    const QByteArray bytes = QByteArray::fromHex(arguments[0].toLatin1());
    const bool valid = !bytes.isEmpty() && bytes.toHex().compare(arguments[0].toLatin1(), Qt::CaseInsensitive) == 0;
    const bool before = arguments.size() == 3 && arguments[1] == QLatin1String("before");
    if (!valid || (arguments.size() != 1 && !before))
        return error(QStringLiteral("usage: inject HEX [before A]"));
    Board& board = m_sim.board();
    if (board.running() != Firmware::Application)
        return error(QStringLiteral("the loader sends nothing of its own"));
    if (before) {
        const auto address = number(arguments[2], 0, BYTE_MAX);
        if (!address)
            return error(QStringLiteral("usage: inject HEX [before A] (addresses 0 to %1)").arg(BYTE_MAX));
        board.application().injectBefore(static_cast<quint8>(*address), bytes);
        return ok(QStringLiteral("inject before %1").arg(*address));
    }
    if (!m_sim.portOpen())
        return error(QStringLiteral("port not open"));
    board.application().inject(bytes);
    return ok(QStringLiteral("inject %1 bytes").arg(bytes.size()));
}

QString ControlCommands::late(const QStringList& arguments)
{
    const auto address = number(arguments[0], 0, BYTE_MAX);
    const auto later = number(arguments[1], 1, BYTE_MAX);
    if (!address || !later)
        return error(QStringLiteral("usage: late A N (addresses 0 to %1, N at least 1)").arg(BYTE_MAX));
    m_sim.board().application().answerLate(static_cast<quint8>(*address), *later);
    return ok(QStringLiteral("late %1 after %2").arg(*address).arg(*later));
}

QString ControlCommands::join(const QStringList& arguments)
{
    ReplyJoin& joins = m_sim.board().application().replyJoin();
    if (arguments == QStringList{QStringLiteral("off")}) {
        joins.clear();
        return ok(QStringLiteral("join off"));
    }
    QStringList addresses = arguments;
    const bool late = addresses.last() == QLatin1String("late");
    if (late)
        addresses.removeLast();
    std::set<int> chosen;
    for (const QString& word : addresses) {
        const auto address = number(word, 0, BYTE_MAX);
        if (!address)
            return error(QStringLiteral("usage: join A B... [late]|off (addresses 0 to %1)").arg(BYTE_MAX));
        chosen.insert(*address);
    }
    if (chosen.size() < 2 && !late)
        return error(QStringLiteral("a join needs two addresses or more, or late"));
    if (!joins.add(chosen, late))
        return error(QStringLiteral("an address is in a join already"));
    return ok(QStringLiteral("join %1").arg(arguments.join(QLatin1Char(' '))));
}

QString ControlCommands::pieces(const QStringList& arguments)
{
    WireShape& wire = m_sim.wire();
    if (arguments.isEmpty()) {
        const Pieces now = wire.pieces();
        return ok(now.on() ? QStringLiteral("%1 %2").arg(now.size).arg(now.gapMs) : QStringLiteral("off"));
    }
    if (arguments == QStringList{QStringLiteral("off")}) {
        wire.setPieces({});
        return ok(QStringLiteral("pieces off"));
    }
    const auto chosen = parsePieces(arguments);
    if (!chosen)
        return error(QStringLiteral("usage: pieces [N [GAP_MS]|off] (%1)").arg(piecesRange()));
    wire.setPieces(*chosen);
    return ok(QStringLiteral("pieces %1 %2").arg(chosen->size).arg(chosen->gapMs));
}

QString ControlCommands::bundle(const QStringList& arguments)
{
    WireShape& wire = m_sim.wire();
    if (arguments.isEmpty())
        return ok(wire.bundle() > 0 ? QString::number(wire.bundle()) : QStringLiteral("off"));
    if (arguments[0] == QLatin1String("off")) {
        wire.setBundle(0);
        return ok(QStringLiteral("bundle off"));
    }
    const auto count = parseBundle(arguments[0]);
    if (!count)
        return error(QStringLiteral("usage: bundle [K|off] (%1)").arg(bundleRange()));
    wire.setBundle(*count);
    return ok(QStringLiteral("bundle %1").arg(*count));
}

#include "metercli.h"

#include "cliprompts.h"

#include "link/errors.h"
#include "link/metersession.h"
#include "link/portdirectory.h"
#include "link/registers.h"
#include "pages/metersetup.h"
#include "pages/monitor/linetext.h"
#include "pages/setup/setupfile.h"
#include "pages/setup/setuptransfer.h"
#include "pages/tables/tablefiles.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QHash>
#include <QRegularExpression>

struct MeterCli::Options
{
    QString command;
    QStringList arguments;
    QString port;
    int portNumber = 0;
    QString device;
    int baud = 0;
    Parity parity = Parity::None;
    bool trace = false;
    QStringList without;
    bool dryRun = false;
    bool yes = false;
    int intervalMs = 1000;
};

namespace {

const char *const Commands = R"(Commands:
  ports                      The COM table with the device behind each port.
  detect                     Finds the meter: address, model, version, baud, parity.
  read REG...                Reads registers: REG = "value".
  write REG=VALUE...         Writes setting registers, checked as the pages check them.
  save FILE                  Saves the meter's setup to a setup file.
  diff FILE                  Lists where the meter differs from a setup file.
  apply FILE                 Writes the differences from a setup file, then checks them.
  watch                      Prints the live reading, one line per poll, until Ctrl+C.

Exit codes:
  0    done; diff: the meter matches the file
  1    diff: the meter differs from the file
  2    another error: usage, the port, a refused value, a write that did not stick
  3    no meter answered
  4    the meter stopped answering (time-out)
  5    the setup file was refused
  6    the file is from another model (apply writes nothing)
  130  interrupted (Ctrl+C): the exchange on the line finished, then the run stopped
)";

const QRegularExpression RegisterName(QStringLiteral("^([0-9]{1,4}|[A-Z])$"));

// Identity registers: the address probe, model and version.
bool isIdentity(const QString &reg)
{
    return reg == QLatin1String("150") || reg == QLatin1String("153") || reg == QLatin1String("154");
}

} // namespace

MeterCli::MeterCli(Io io, LineMaker makeLine, Clock &clock, QObject *parent)
    : QObject(parent), m_io(std::move(io)), m_makeLine(std::move(makeLine)), m_clock(clock)
{}

MeterCli::~MeterCli() = default;

void MeterCli::say(const QString &text)
{
    *m_io.err << QCoreApplication::applicationName() << ": " << text << '\n';
    m_io.err->flush();
}

void MeterCli::interrupt()
{
    m_interrupted = true;
    if (m_prompts)
        m_prompts->setInterrupted(true);
    if (m_onInterrupt)
        m_onInterrupt();
}

int MeterCli::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Sets up a Korvane panel meter from a shell.\n\n")
                                     + QLatin1String(Commands));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption port({QStringLiteral("p"), QStringLiteral("port")},
                                  QStringLiteral("The meter's port: COMn or a device path."), QStringLiteral("port"));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("The meter's baud rate: no scan (with --parity)."),
                                  QStringLiteral("rate"));
    const QCommandLineOption parity(QStringLiteral("parity"), QStringLiteral("none, odd or even (with --baud)."),
                                    QStringLiteral("parity"), QStringLiteral("none"));
    const QCommandLineOption trace(QStringLiteral("trace"),
                                   QStringLiteral("Writes every command and reply to stderr, with times."));
    const QCommandLineOption without(QStringLiteral("without"),
                                     QStringLiteral("save: leaves groups out: tables, macro, or a page (code_4, ...)."),
                                     QStringLiteral("groups"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"), QStringLiteral("apply: shows the writes, sends none."));
    const QCommandLineOption yes(QStringLiteral("yes"), QStringLiteral("apply: writes without asking."));
    const QCommandLineOption interval(QStringLiteral("interval"),
                                      QStringLiteral("watch: ms between polls (500-30000)."), QStringLiteral("ms"),
                                      QStringLiteral("1000"));
    parser.addOptions({port, baud, parity, trace, without, dryRun, yes, interval});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("One of the commands below."));
    parser.addPositionalArgument(QStringLiteral("arguments"), QStringLiteral("The command's registers or file."),
                                 QStringLiteral("[arguments...]"));

    if (!parser.parse(arguments)) {
        say(parser.errorText());
        return Failed;
    }
    if (parser.isSet(help)) {
        *m_io.out << parser.helpText();
        return Success;
    }
    if (parser.isSet(version)) {
        *m_io.out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion() << '\n';
        return Success;
    }

    Options options;
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        say(QStringLiteral("no command given; try --help"));
        return Failed;
    }
    options.command = positional.first();
    options.arguments = positional.mid(1);
    options.trace = parser.isSet(trace);
    options.dryRun = parser.isSet(dryRun);
    options.yes = parser.isSet(yes);
    options.without = parser.value(without).split(QLatin1Char(','), Qt::SkipEmptyParts);
    options.port = parser.value(port);
    if (parser.isSet(baud)) {
        options.baud = parser.value(baud).toInt();
        const auto &rates = MeterDetector::BaudRates;
        if (std::find(std::begin(rates), std::end(rates), options.baud) == std::end(rates)) {
            say(QStringLiteral("--baud takes 19200, 9600, 4800, 2400, 1200, 600 or 300"));
            return Failed;
        }
        const std::optional<Parity> named = parityNamed(parser.value(parity));
        if (!named) {
            say(QStringLiteral("--parity takes none, odd or even"));
            return Failed;
        }
        options.parity = *named;
    }
    bool intervalOk = false;
    options.intervalMs = parser.value(interval).toInt(&intervalOk);
    if (!intervalOk || options.intervalMs < 500 || options.intervalMs > 30000) {
        say(QStringLiteral("--interval takes 500 to 30000 ms"));
        return Failed;
    }

    const QHash<QString, int (MeterCli::*)(const Options &)> commands{
        {QStringLiteral("detect"), &MeterCli::detect}, {QStringLiteral("read"), &MeterCli::read},
        {QStringLiteral("write"), &MeterCli::write},   {QStringLiteral("save"), &MeterCli::save},
        {QStringLiteral("diff"), &MeterCli::diff},     {QStringLiteral("apply"), &MeterCli::apply},
        {QStringLiteral("watch"), &MeterCli::watch}};
    if (options.command == QLatin1String("ports"))
        return listPorts();
    const auto command = commands.constFind(options.command);
    if (command == commands.constEnd()) {
        say(QStringLiteral("unknown command \"%1\"; try --help").arg(options.command));
        return Failed;
    }
    if (options.port.isEmpty()) {
        say(QStringLiteral("name the meter's port with --port COMn or a device path (meter-cli ports lists them)"));
        return Failed;
    }
    static const QRegularExpression comName(QStringLiteral("^COM([0-9]+)$"), QRegularExpression::CaseInsensitiveOption);
    if (const auto match = comName.match(options.port); match.hasMatch()) {
        options.portNumber = match.captured(1).toInt();
        options.device = PortDirectory::devicePath(options.portNumber);
        if (options.device.isEmpty()) {
            say(QStringLiteral("there is no port %1: ports are COM1 to COM50").arg(options.port));
            return Failed;
        }
    } else {
        options.device = options.port;
        options.portNumber = PortDirectory::portNumberOf(options.port);
    }
    return (this->*command.value())(options);
}

int MeterCli::listPorts()
{
    const QList<PortEntry> ports = PortDirectory().list();
    if (ports.isEmpty())
        say(QStringLiteral("no serial port found; a device of your own can be linked as COM41 to COM50 in %1")
                .arg(PortDirectory::linkFolder()));
    for (const PortEntry &entry : ports) {
        QString line = PortDirectory::portName(entry.number).leftJustified(7) + entry.device;
        if (!entry.description.isEmpty())
            line += QStringLiteral("  ") + entry.description;
        if (entry.busy) {
            const QString holder = PortDirectory::holderOf(PortDirectory::devicePath(entry.number));
            line += holder.isEmpty() ? QStringLiteral("  (in use, or not open to you)")
                                     : QStringLiteral("  (in use by %1)").arg(holder);
        }
        *m_io.out << line << '\n';
    }
    return Success;
}

void MeterCli::makeSession(const Options &options)
{
    if (m_session)
        return;
    m_prompts = std::make_unique<CliPrompts>(
        CliPrompts::Terminal{m_io.err, m_io.errIsTerminal, m_io.inIsTerminal, m_io.readAnswer}, options.portNumber);
    m_session =
        std::make_unique<MeterSession>(m_makeLine(options.portNumber, options.device), m_prompts.get(), m_clock);
    m_setup = std::make_unique<MeterSetup>(*m_session);
    // The command line reads only what it is asked for, not the pages.
    m_session->setLoadSteps({});
    if (options.trace) {
        // The same lines as the window's line monitor copies and saves.
        connect(m_session.get(), &MeterSession::lineEvent, this,
                [this, text = LineText(m_setup->settingRegisters())](const LineEvent &event) {
                    *m_io.err << text.line(event) << '\n';
                    m_io.err->flush();
                });
    }
    if (options.baud != 0)
        m_session->detector().setScanSettings(options.baud, options.parity);
}

int MeterCli::findMeter(const Options &options)
{
    makeSession(options);
    // An interrupt during the scan ends it at once: nothing is written there.
    m_onInterrupt = [this]() { m_session->exitProgram(); };
    m_session->startDetection();
    m_onInterrupt = nullptr;
    m_session->pollTimer().stop();
    if (m_interrupted)
        return Interrupted;
    if (m_session->identity().modelCode.isEmpty()) {
        if (m_prompts->timedOutOnce()) {
            say(QStringLiteral("no meter answered on %1").arg(options.port));
            return NoMeter;
        }
        return Failed; // the port could not be opened: said already
    }
    if (m_session->quitting())
        return Failed; // firmware the program does not support: said already
    return Success;
}

int MeterCli::exchangeEnded() const
{
    if (m_interrupted)
        return Interrupted;
    return m_prompts && m_prompts->timedOutOnce() ? TimedOut : Failed;
}

int MeterCli::detect(const Options &options)
{
    if (const int found = findMeter(options); found != Success)
        return found;
    const MeterIdentity &meter = m_session->identity();
    *m_io.out << "address: " << meter.address << '\n'
              << "model: " << meter.modelCode << '\n'
              << "version: " << meter.version << '\n'
              << "baud: " << meter.baudRate << '\n'
              << "parity: " << parityName(m_session->line().parity()) << '\n';
    return Success;
}

int MeterCli::read(const Options &options)
{
    for (const QString &reg : options.arguments) {
        if (!RegisterName.match(reg).hasMatch()) {
            say(QStringLiteral("\"%1\" is no register: a number or a capital letter").arg(reg));
            return Failed;
        }
    }
    if (options.arguments.isEmpty()) {
        say(QStringLiteral("read: name the registers to read"));
        return Failed;
    }
    if (const int found = findMeter(options); found != Success)
        return found;
    try {
        for (const QString &reg : options.arguments) {
            if (m_interrupted)
                return Interrupted;
            const Reply reply = m_session->exchange().comms(QStringLiteral("SR") + reg);
            *m_io.out << reg << " = " << setupfile::quoted(reply.text) << '\n';
            m_io.out->flush();
        }
    } catch (const ExchangeAbandoned &) {
        return exchangeEnded();
    } catch (const UserError &e) {
        say(e.message());
        return Failed;
    }
    return m_interrupted ? Interrupted : Success;
}

int MeterCli::write(const Options &options)
{
    if (options.arguments.isEmpty()) {
        say(QStringLiteral("write: give REG=VALUE pairs"));
        return Failed;
    }
    if (const int found = findMeter(options); found != Success)
        return found;
    // Every value is checked before the first write.
    QHash<QString, SettingRegister> settings;
    for (const SettingRegister &setting : m_setup->settingRegisters()) {
        // The meter's own description of a register described per model.
        if (!settings.contains(setting.reg) || setting.presentOn(m_session->identity()))
            settings.insert(setting.reg, setting);
    }
    QList<QPair<SettingRegister, QString>> writes;
    for (const QString &argument : options.arguments) {
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString reg = argument.left(equals);
        const QString value = equals < 0 ? QString() : argument.mid(equals + 1);
        if (equals < 0 || !RegisterName.match(reg).hasMatch()) {
            say(QStringLiteral("\"%1\" is not REG=VALUE").arg(argument));
            return Failed;
        }
        if (isIdentity(reg)) {
            say(QStringLiteral("register %1 is the meter's identity, which is never written").arg(reg));
            return Failed;
        }
        if (!settings.contains(reg)) {
            say(QStringLiteral("register %1 is not a setting").arg(reg));
            return Failed;
        }
        const SettingRegister &setting = settings.value(reg);
        if (!setting.presentOn(m_session->identity())) {
            say(QStringLiteral("a %1 meter has no register %2 (%3)")
                    .arg(m_session->identity().modelCode, reg, setupfile::settingLabel(setting)));
            return Failed;
        }
        if (const std::optional<QString> refusal = setting.refusal(value)) {
            say(QStringLiteral("register %1 (%2): %3").arg(reg, setupfile::settingLabel(setting), *refusal));
            return Failed;
        }
        writes.append({setting, value});
    }
    QStringList written;
    int ended = Success;
    try {
        for (const auto &[setting, value] : writes) {
            if (m_interrupted)
                break;
            m_session->exchange().comms(QStringLiteral("SW") + setting.reg + QLatin1Char(',') + setting.sent(value));
            written.append(setting.reg);
            *m_io.out << setting.reg << " = " << setupfile::quoted(value) << "  written\n";
            m_io.out->flush();
        }
    } catch (const ExchangeAbandoned &) {
        ended = exchangeEnded();
    } catch (const UserError &e) {
        say(e.message());
        ended = Failed;
    }
    if (written.size() == writes.size())
        return Success;
    QStringList notWritten;
    for (qsizetype i = written.size(); i < writes.size(); ++i)
        notWritten.append(writes.at(i).first.reg);
    say(QStringLiteral("not written: %1").arg(notWritten.join(QStringLiteral(", "))));
    return ended != Success ? ended : Interrupted;
}

int MeterCli::save(const Options &options)
{
    if (options.arguments.size() != 1) {
        say(QStringLiteral("save: give one file name"));
        return Failed;
    }
    if (const int found = findMeter(options); found != Success)
        return found;
    const MeterIdentity &meter = m_session->identity();
    const QList<SettingRegister> description = m_setup->settingRegisters();
    QList<SettingRegister> registers;
    for (const SettingRegister &setting : setuptransfer::registersOf(description, meter)) {
        const bool leftOut =
            options.without.contains(setting.group) || options.without.contains(setupfile::pageKey(setting.page));
        if (!leftOut)
            registers.append(setting);
    }
    QList<setupfile::Entry> values;
    try {
        const auto progress = m_prompts->startProgress(QStringLiteral("Reading"));
        values = setuptransfer::readRegisters(
            m_session->exchange(), registers,
            [&progress](int done, int total, const QString &page) { return progress->update(done, total, page); });
    } catch (const ExchangeAbandoned &) {
        say(QStringLiteral("nothing was saved"));
        return exchangeEnded();
    } catch (const UserError &e) {
        say(e.message() + QStringLiteral(" Nothing was saved."));
        return Failed;
    }
    if (values.size() < registers.size()) {
        say(QStringLiteral("interrupted after %1 of %2 registers: nothing was saved")
                .arg(values.size())
                .arg(registers.size()));
        return Interrupted;
    }
    const QString port =
        options.portNumber > 0
            ? QStringLiteral("%1 (%2)").arg(PortDirectory::portName(options.portNumber), options.device)
            : options.device;
    const setupfile::Origin origin{QDateTime::currentDateTime(),
                                   QCoreApplication::applicationName() + QLatin1Char(' ')
                                       + QCoreApplication::applicationVersion(),
                                   meter.address, port};
    if (!tablefiles::writeFile(options.arguments.first(),
                               setupfile::write({meter.modelCode, meter.version, values}, origin, description))) {
        say(QStringLiteral("%1: %2").arg(options.arguments.first(), tablefiles::writeErrorText()));
        return Failed;
    }
    say(QStringLiteral("saved %1 registers to %2").arg(values.size()).arg(options.arguments.first()));
    return Success;
}

namespace {

// A setup file read and checked, or the reason it was refused.
std::optional<setupfile::Document> readSetupFile(const QString &name, const QList<SettingRegister> &description,
                                                 QString *refusal)
{
    const std::optional<QByteArray> bytes = tablefiles::readFile(name);
    if (!bytes) {
        *refusal = QStringLiteral("%1: %2").arg(name, tablefiles::readErrorText());
        return std::nullopt;
    }
    try {
        return setupfile::read(*bytes, description);
    } catch (const setupfile::Refused &e) {
        *refusal = QStringLiteral("%1: %2").arg(name, e.message());
        return std::nullopt;
    }
}

} // namespace

int MeterCli::compareWithFile(const Options &options, setupfile::Document *file, QList<setuptransfer::Row> *rows)
{
    if (options.arguments.size() != 1) {
        say(QStringLiteral("%1: give one setup file").arg(options.command));
        return Failed;
    }
    // The file is checked before anything is sent.
    makeSession(options);
    QString refusal;
    const std::optional<setupfile::Document> read =
        readSetupFile(options.arguments.first(), m_setup->settingRegisters(), &refusal);
    if (!read) {
        say(refusal);
        return FileRefused;
    }
    *file = *read;
    if (const int found = findMeter(options); found != Success)
        return found;
    const QList<SettingRegister> description =
        setuptransfer::registersOf(m_setup->settingRegisters(), m_session->identity());
    QList<SettingRegister> toRead;
    for (const SettingRegister &setting : description) {
        for (const setupfile::Entry &entry : file->entries) {
            if (entry.reg == setting.reg) {
                toRead.append(setting);
                break;
            }
        }
    }
    QList<setupfile::Entry> meter;
    try {
        const auto progress = m_prompts->startProgress(QStringLiteral("Reading"));
        meter = setuptransfer::readRegisters(
            m_session->exchange(), toRead,
            [&progress](int done, int total, const QString &page) { return progress->update(done, total, page); });
    } catch (const ExchangeAbandoned &) {
        return exchangeEnded();
    } catch (const UserError &e) {
        say(e.message());
        return Failed;
    }
    if (meter.size() < toRead.size())
        return Interrupted;
    *rows = setuptransfer::compare(description, file->entries, meter);
    return Success;
}

int MeterCli::diff(const Options &options)
{
    setupfile::Document file;
    QList<setuptransfer::Row> rows;
    if (const int compared = compareWithFile(options, &file, &rows); compared != Success)
        return compared;
    if (const std::optional<QString> refusal = setuptransfer::modelRefusal(file, m_session->identity()))
        say(*refusal);
    int differing = 0;
    for (const setuptransfer::Row &row : rows) {
        if (!row.differs)
            continue;
        ++differing;
        *m_io.out << row.setting.reg << ' ' << setupfile::settingLabel(row.setting) << ": meter "
                  << setupfile::quoted(row.meter) << " file " << setupfile::quoted(row.file) << '\n';
    }
    return differing > 0 ? Differs : Success;
}

int MeterCli::apply(const Options &options)
{
    setupfile::Document file;
    QList<setuptransfer::Row> rows;
    if (const int compared = compareWithFile(options, &file, &rows); compared != Success)
        return compared;
    const MeterIdentity &meter = m_session->identity();
    if (const std::optional<QString> refusal = setuptransfer::modelRefusal(file, meter)) {
        say(*refusal + QStringLiteral(" Nothing was written."));
        return OtherModel;
    }
    const QList<SettingRegister> description = setuptransfer::registersOf(m_setup->settingRegisters(), meter);
    const QList<setuptransfer::Write> writes = setuptransfer::writesFor(rows, description, meter);
    if (writes.isEmpty()) {
        say(QStringLiteral("the meter matches the file: nothing to write"));
        return Success;
    }
    QHash<QString, setuptransfer::Row> byRegister;
    for (const setuptransfer::Row &row : rows)
        byRegister.insert(row.setting.reg, row);
    for (const setuptransfer::Write &write : writes) {
        const setuptransfer::Row row = byRegister.value(write.setting.reg);
        *m_io.out << (options.dryRun ? "would write " : "write ") << write.command << "   # "
                  << setupfile::settingLabel(write.setting) << ": meter " << setupfile::quoted(row.meter) << " file "
                  << setupfile::quoted(row.file) << '\n';
    }
    m_io.out->flush();
    if (options.dryRun)
        return Success;
    if (setuptransfer::otherVersion(file, meter) && !options.yes) {
        const QString question = QStringLiteral("The file was saved from firmware version %1 and the meter has %2. "
                                                "Write anyway?")
                                     .arg(file.version, meter.version);
        if (!m_io.inIsTerminal) {
            say(QStringLiteral("the file is from firmware version %1, the meter has %2: give --yes to write anyway")
                    .arg(file.version, meter.version));
            return Failed;
        }
        if (!m_prompts->confirm(question))
            return Failed;
    } else if (m_io.inIsTerminal && !options.yes
               && !m_prompts->confirm(
                   QStringLiteral("Write %1 registers to the meter on %2?").arg(writes.size()).arg(options.port))) {
        say(QStringLiteral("nothing was written"));
        return Failed;
    }

    setuptransfer::WriteReport report;
    {
        const auto progress = m_prompts->startProgress(QStringLiteral("Writing"));
        report = setuptransfer::writeAll(
            m_session->exchange(), writes,
            [&progress](int done, int total, const QString &page) { return progress->update(done, total, page); });
    }
    say(QStringLiteral("written: %1")
            .arg(report.written.isEmpty() ? QStringLiteral("none") : report.written.join(QStringLiteral(", "))));
    if (!report.notWritten.isEmpty())
        say(QStringLiteral("not written: %1").arg(report.notWritten.join(QStringLiteral(", "))));
    if (!report.failure.isEmpty())
        return m_interrupted ? Interrupted : exchangeEnded();

    // Each written register is read back and compared with the file.
    QList<SettingRegister> writtenSettings;
    for (const setuptransfer::Write &write : writes) {
        if (std::none_of(writtenSettings.begin(), writtenSettings.end(),
                         [&write](const SettingRegister &s) { return s.reg == write.setting.reg; }))
            writtenSettings.append(write.setting);
    }
    try {
        const QList<setuptransfer::Row> after = setuptransfer::compare(
            description, file.entries, setuptransfer::readRegisters(m_session->exchange(), writtenSettings));
        QStringList stillDiffer;
        for (const setuptransfer::Row &row : after) {
            if (row.differs)
                stillDiffer.append(
                    QStringLiteral("%1 (meter %2, file %3)")
                        .arg(row.setting.reg, setupfile::quoted(row.meter), setupfile::quoted(row.file)));
        }
        if (!stillDiffer.isEmpty()) {
            say(QStringLiteral("still different after writing: %1").arg(stillDiffer.join(QStringLiteral(", "))));
            return Failed;
        }
    } catch (const ExchangeAbandoned &) {
        return exchangeEnded();
    } catch (const UserError &e) {
        say(e.message());
        return Failed;
    }
    return Success;
}

int MeterCli::watch(const Options &options)
{
    if (const int found = findMeter(options); found != Success)
        return found;
    QStringList readings(3);
    QEventLoop loop;
    connect(m_session.get(), &MeterSession::statusPanelChanged, &loop, [&](int panel, const QString &text) {
        if (panel > 2)
            return;
        readings[panel] = text.section(QLatin1Char(' '), 1, -1, QString::SectionSkipEmpty);
        if (panel == 2) {
            *m_io.out << QDateTime::currentDateTime().toString(Qt::ISODate) << "  result " << readings[0]
                      << "  channel1 " << readings[1] << "  channel2 " << readings[2] << '\n';
            m_io.out->flush();
        }
    });
    connect(m_session.get(), &MeterSession::quitRequested, &loop, &QEventLoop::quit);
    // Ctrl+C ends the watch once the poll's exchange is done.
    m_onInterrupt = [&loop]() { loop.quit(); };
    m_session->setPollInterval(options.intervalMs);
    m_session->pollTimer().start();
    loop.exec();
    m_onInterrupt = nullptr;
    m_session->pollTimer().stop();
    if (m_session->quitting() && !m_interrupted)
        return exchangeEnded();
    return Success;
}

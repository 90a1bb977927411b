#include "setupactions.h"

#include "setuptransfer.h"

#include "pages/metersetup.h"
#include "pages/pagerows.h"
#include "pages/tables/tablefiles.h"

#include "link/metersession.h"
#include "link/portdirectory.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

const Prompts::FileQuestion SetupActions::SaveQuestion{QStringLiteral("Save Meter Setup"),
                                                       QStringLiteral("Meter Setup|*.toml"), QStringLiteral("toml")};
const Prompts::FileQuestion SetupActions::OpenQuestion{QStringLiteral("Compare Meter with Setup File"),
                                                       QStringLiteral("Meter Setup|*.toml"), QStringLiteral("toml")};

namespace {

QString listed(const QStringList &registers)
{
    return registers.join(QStringLiteral(", "));
}

} // namespace

SetupActions::SetupActions(MeterSetup &setup, QObject *parent) : QObject(parent), m_setup(setup) {}

QString SetupActions::origin() const
{
    const int port = m_setup.session().line().portNumber();
    const QString device = PortDirectory::devicePath(port);
    return device.isEmpty() ? PortDirectory::portName(port)
                            : QStringLiteral("%1 (%2)").arg(PortDirectory::portName(port), device);
}

void SetupActions::saveMeterSetup()
{
    Prompts *prompts = m_setup.session().prompts();
    const MeterIdentity &identity = m_setup.session().identity();
    const QList<SettingRegister> registers = setuptransfer::registersOf(m_setup.settingRegisters(), identity);

    // One group per page, in the page strip's order.
    QList<PageId> pages;
    QList<Prompts::SetupGroup> groups;
    for (const SettingRegister &setting : registers) {
        if (pages.isEmpty() || pages.constLast() != setting.page) {
            pages.append(setting.page);
            groups.append({setupfile::pageName(setting.page), 0});
        }
        ++groups.last().reads;
    }
    const std::optional<QList<bool>> chosen = prompts->chooseSetupGroups(groups, setuptransfer::readMilliseconds(1));
    if (!chosen)
        return;
    QList<PageId> leftOut;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (!chosen->value(i, true))
            leftOut.append(pages.at(i));
    }
    const std::optional<QString> name = prompts->saveFileName(SaveQuestion);
    if (!name)
        return;

    const QList<SettingRegister> toRead = setuptransfer::registersOf(registers, identity, leftOut);
    QList<setupfile::Entry> values;
    {
        const std::unique_ptr<Prompts::Progress> progress = prompts->startProgress(QStringLiteral("Reading the meter"));
        values = setuptransfer::readRegisters(
            m_setup.session().exchange(), toRead,
            [&progress](int done, int total, const QString &page) { return progress->update(done, total, page); });
    }
    if (values.size() < toRead.size()) {
        prompts->message(QStringLiteral("Cancelled after %1 of %2 registers: nothing was saved.")
                             .arg(values.size())
                             .arg(toRead.size()));
        return;
    }
    const setupfile::Document document{identity.modelCode, identity.version, values};
    const setupfile::Origin from{QDateTime::currentDateTime(),
                                 QCoreApplication::applicationName() + QStringLiteral(" " METER_SETUP_VERSION),
                                 identity.address, origin()};
    if (!tablefiles::writeFile(*name, setupfile::write(document, from, m_setup.settingRegisters())))
        prompts->fileError(tablefiles::writeErrorText());
}

void SetupActions::compareWithFile()
{
    Prompts *prompts = m_setup.session().prompts();
    const std::optional<QString> name = prompts->openFileName(OpenQuestion);
    if (!name)
        return;
    const std::optional<QByteArray> bytes = tablefiles::readFile(*name);
    if (!bytes) {
        prompts->fileError(tablefiles::readErrorText());
        return;
    }
    setupfile::Document file;
    try {
        file = setupfile::read(*bytes, m_setup.settingRegisters());
    } catch (const setupfile::Refused &e) {
        prompts->error(e.message());
        return;
    }
    compareWith(file);
}

void SetupActions::compareWith(const setupfile::Document &file)
{
    MeterSession &session = m_setup.session();
    Prompts *prompts = session.prompts();
    const MeterIdentity &identity = session.identity();
    const QList<SettingRegister> description = setuptransfer::registersOf(m_setup.settingRegisters(), identity);
    QSet<QString> inFile;
    for (const setupfile::Entry &entry : file.entries)
        inFile.insert(entry.reg);
    QList<SettingRegister> toRead;
    for (const SettingRegister &setting : description) {
        if (inFile.contains(setting.reg))
            toRead.append(setting);
    }

    QString report;
    QStringList justWritten;
    for (;;) {
        QList<setupfile::Entry> meter;
        {
            const std::unique_ptr<Prompts::Progress> progress =
                prompts->startProgress(QStringLiteral("Reading the meter"));
            meter = setuptransfer::readRegisters(
                session.exchange(), toRead,
                [&progress](int done, int total, const QString &page) { return progress->update(done, total, page); });
        }
        if (meter.size() < toRead.size())
            return;
        const QList<setuptransfer::Row> rows = setuptransfer::compare(description, file.entries, meter);
        QList<Prompts::ComparisonRow> shown;
        int writable = 0;
        for (const setuptransfer::Row &row : rows) {
            shown.append({setupfile::pageName(row.setting.page), row.setting.name, row.setting.reg, row.meter, row.file,
                          row.differs});
            writable += row.differs ? 1 : 0;
        }
        QStringList stillDiffer;
        for (const setuptransfer::Row &row : rows) {
            if (row.differs && justWritten.contains(row.setting.reg))
                stillDiffer.append(row.setting.reg);
        }
        QString note = report;
        if (!stillDiffer.isEmpty())
            note += QStringLiteral(" Still different after writing: %1.").arg(listed(stillDiffer));
        if (const std::optional<QString> refusal = setuptransfer::modelRefusal(file, identity)) {
            writable = 0;
            note = *refusal;
        }
        if (!prompts->showComparison(shown, writable, note))
            return;
        if (setuptransfer::otherVersion(file, identity)
            && !prompts->confirm(QStringLiteral("The file was saved from firmware version %1 and this meter has "
                                                "version %2. Write the differences anyway?")
                                     .arg(file.version, identity.version))) {
            report.clear();
            justWritten.clear();
            continue;
        }

        const QList<setuptransfer::Write> writes = setuptransfer::writesFor(rows, description, identity);
        setuptransfer::WriteReport written;
        {
            const std::unique_ptr<Prompts::Progress> progress =
                prompts->startProgress(QStringLiteral("Writing to the meter"));
            written = setuptransfer::writeAll(
                session.exchange(), writes,
                [&progress](int done, int total, const QString &page) { return progress->update(done, total, page); });
        }
        QSet<PageId> changed;
        for (const setuptransfer::Write &write : writes) {
            if (written.written.contains(write.setting.reg))
                changed.insert(write.setting.page);
        }
        report = QStringLiteral("Wrote %1 registers: %2.").arg(written.written.size()).arg(listed(written.written));
        if (!written.notWritten.isEmpty())
            report += QStringLiteral(" Not written: %1.").arg(listed(written.notWritten));
        if (!written.failure.isEmpty())
            report += QLatin1Char(' ') + written.failure;
        if (session.exchange().restartPending() || session.quitting()) {
            // The meter is being looked for again: the comparison comes back
            // once it is found, showing the meter as it is then.
            prompts->message(report);
            auto *again = new QObject(this);
            connect(&session, &MeterSession::detectionFinished, again, [this, again, file, &session]() {
                again->deleteLater();
                session.runHandler([&]() { session.runOperation([&]() { compareWith(file); }); });
            });
            return;
        }
        justWritten = written.written;
        m_setup.refreshPages(changed);
        // The next round reads every register again: what still differs
        // after the write shows in the table.
    }
}

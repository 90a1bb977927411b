#include "setuptransfer.h"

#include "pages/pagerows.h"

#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/meterdetector.h"

#include <QHash>

#include <algorithm>

namespace setuptransfer {

namespace {

bool isCodePage(PageId page)
{
    return page >= PageId::Code1 && page <= PageId::Code10;
}

QString writeCommandFor(const SettingRegister &setting, const QString &value)
{
    return QStringLiteral("SW") + setting.reg + QLatin1Char(',') + setting.sent(value);
}

} // namespace

QList<SettingRegister> registersOf(const QList<SettingRegister> &description, const MeterIdentity &identity,
                                   const QList<PageId> &leftOut)
{
    QList<SettingRegister> registers;
    for (const SettingRegister &setting : description) {
        if (setting.presentOn(identity) && !leftOut.contains(setting.page))
            registers.append(setting);
    }
    return registers;
}

qint64 readMilliseconds(int reads, int answerMs)
{
    const qint64 pace = 2 * TickClock::DefaultTick.count();
    return qint64(reads) * (pace + answerMs);
}

QList<setupfile::Entry> readRegisters(CommandExchange &exchange, const QList<SettingRegister> &registers,
                                      const Step &step)
{
    QList<setupfile::Entry> values;
    for (const SettingRegister &setting : registers) {
        if (step && !step(int(values.size()), int(registers.size()), setupfile::pageName(setting.page)))
            break;
        const Reply reply = exchange.comms(QStringLiteral("SR") + setting.reg);
        values.append({setting.reg, reply.text, 0});
    }
    if (step)
        step(int(values.size()), int(registers.size()), QString());
    return values;
}

QList<Row> compare(const QList<SettingRegister> &description, const QList<setupfile::Entry> &file,
                   const QList<setupfile::Entry> &meter)
{
    QHash<QString, QString> fileValues;
    for (const setupfile::Entry &entry : file)
        fileValues.insert(entry.reg, entry.value);
    QHash<QString, QString> meterValues;
    for (const setupfile::Entry &entry : meter)
        meterValues.insert(entry.reg, entry.value);

    QList<Row> rows;
    for (const SettingRegister &setting : description) {
        if (!fileValues.contains(setting.reg) || !meterValues.contains(setting.reg))
            continue;
        const QString inMeter = meterValues.value(setting.reg);
        const QString inFile = fileValues.value(setting.reg);
        rows.append({setting, inMeter, inFile, !setting.sameValue(inMeter, inFile)});
    }
    std::stable_partition(rows.begin(), rows.end(), [](const Row &row) { return row.differs; });
    return rows;
}

std::optional<QString> modelRefusal(const setupfile::Document &file, const MeterIdentity &identity)
{
    if (file.model.trimmed() == identity.modelCode.trimmed())
        return std::nullopt;
    return QStringLiteral("The file is from a %1 meter and this meter is a %2: it is compared but not written.")
        .arg(file.model, identity.modelCode);
}

bool otherVersion(const setupfile::Document &file, const MeterIdentity &identity)
{
    return file.version.trimmed() != identity.version.trimmed();
}

QList<Write> writesFor(const QList<Row> &rows, const QList<SettingRegister> &description, const MeterIdentity &identity)
{
    QHash<QString, QString> wanted;
    for (const Row &row : rows) {
        if (row.differs && row.setting.presentOn(identity))
            wanted.insert(row.setting.reg, row.file);
    }
    QList<Write> codes;
    QList<Write> pages;
    QList<Write> macro;
    for (const SettingRegister &setting : description) {
        if (!wanted.contains(setting.reg))
            continue;
        const Write write{setting, writeCommandFor(setting, wanted.value(setting.reg))};
        if (isCodePage(setting.page))
            codes.append(write);
        else if (setting.group == QLatin1String("macro"))
            macro.append(write);
        else
            pages.append(write);
    }
    if (!macro.isEmpty()) {
        // The meter must never run a half-written macro: its first word is
        // cleared before the others and written after them, as the Macros
        // page downloads it. Without the first word's value (a file that
        // leaves it out) no macro word is written.
        const auto first = std::find_if(description.begin(), description.end(),
                                        [](const SettingRegister &s) { return s.group == QLatin1String("macro"); });
        const auto known =
            std::find_if(rows.begin(), rows.end(), [&first](const Row &row) { return row.setting.reg == first->reg; });
        if (known == rows.end())
            return codes + pages;
        macro.erase(std::remove_if(macro.begin(), macro.end(),
                                   [&first](const Write &w) { return w.setting.reg == first->reg; }),
                    macro.end());
        macro.prepend({*first, QStringLiteral("SW") + first->reg + QStringLiteral(",00")});
        macro.append({*first, writeCommandFor(*first, known->file)});
    }
    return codes + pages + macro;
}

WriteReport writeAll(CommandExchange &exchange, const QList<Write> &writes, const Step &step)
{
    WriteReport report;
    qsizetype i = 0;
    try {
        for (; i < writes.size(); ++i) {
            if (step && !step(int(i), int(writes.size()), setupfile::pageName(writes.at(i).setting.page))) {
                report.failure = QStringLiteral("Stopped before all differences were written.");
                break;
            }
            exchange.comms(writes.at(i).command);
            if (!report.written.contains(writes.at(i).setting.reg))
                report.written.append(writes.at(i).setting.reg);
        }
    } catch (const ExchangeAbandoned &) {
        report.failure = QStringLiteral("The meter stopped answering.");
    } catch (const UserError &e) {
        report.failure = e.message();
    }
    for (qsizetype j = i; j < writes.size(); ++j) {
        const QString &reg = writes.at(j).setting.reg;
        if (!report.written.contains(reg) && !report.notWritten.contains(reg))
            report.notWritten.append(reg);
    }
    return report;
}

} // namespace setuptransfer

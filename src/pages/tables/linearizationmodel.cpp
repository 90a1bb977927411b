#include "linearizationmodel.h"

#include "link/commandexchange.h"
#include "link/meterdetector.h"
#include "link/registers.h"

using namespace tablefiles;

LinearizationModel::LinearizationModel(const ModelContext &context, QObject *parent)
    : PageModel(PageId::Linearization, context, parent)
{}

void LinearizationModel::setTable(int t, const Table &values)
{
    m_tables[std::size_t(t)] = values;
    emit changed();
}

void LinearizationModel::setCell(int t, int row, int column, const QString &text)
{
    TablePoint &point = m_tables[std::size_t(t)][std::size_t(row)];
    (column == 0 ? point.input : point.output) = text;
}

void LinearizationModel::adaptTo(const MeterIdentity &identity)
{
    // Tables once taken away stay away.
    if (!identity.hasOption("E"))
        return;
    m_oneTable = true;
    m_current = 0;
    emit changed();
}

QList<SettingRegister> LinearizationModel::settings() const
{
    QList<SettingRegister> registers;
    for (int t = 1; t <= Tables; ++t) {
        for (int r = 1; r <= TablePoints; ++r) {
            for (const bool input : {true, false}) {
                SettingRegister cell;
                cell.reg = QString::number(input ? inputRegister(t, r) : outputRegister(t, r));
                cell.page = PageId::Linearization;
                cell.name = QStringLiteral("Table %1 point %2 %3").arg(t).arg(r).arg(input ? "input" : "output");
                cell.minimum = CellMinimum;
                cell.maximum = CellMaximum;
                cell.absentWithOption = t > 1 ? QStringLiteral("E") : QString();
                cell.group = QStringLiteral("tables");
                registers.append(cell);
            }
        }
    }
    return registers;
}

void LinearizationModel::readTablesOnFirstEntry()
{
    if (m_transfersEnabled)
        return;
    std::optional<QString> notANumber;
    for (int t = m_oneTable ? 0 : Tables - 1; t >= 0; --t) {
        makeCurrent(t);
        setProgress(0);
        const std::optional<QString> found = readTable(t);
        if (!notANumber)
            notANumber = found;
        m_shown[std::size_t(t)] = true;
        emit changed();
    }
    if (notANumber)
        context().prompts->warning(*notANumber);
}

void LinearizationModel::makeCurrent(int t)
{
    m_current = t;
    emit changed();
}

void LinearizationModel::selectTable(int t)
{
    makeCurrent(t);
}

void LinearizationModel::enterTable(int t)
{
    m_transfersEnabled = true;
    makeCurrent(t);
}

void LinearizationModel::sortTable(int t)
{
    tablefiles::sortTable(m_tables[std::size_t(t)]);
    emit changed();
}

std::optional<QString> LinearizationModel::readTable(int t)
{
    CommandExchange &exchange = *context().exchange;
    // Read into a copy: a read stopped part way, or by replies out of step,
    // leaves the table as it was.
    Table values;
    for (int r = 1; r <= TablePoints; ++r) {
        TablePoint &point = values[std::size_t(r - 1)];
        point.input = cellFromReply(exchange.comms(readCommand(inputRegister(t + 1, r))).value);
        point.output = cellFromReply(exchange.comms(readCommand(outputRegister(t + 1, r))).value);
        setProgress(std::min(m_progress + ProgressStep, ProgressMaximum));
    }
    m_tables[std::size_t(t)] = values;
    m_transfersEnabled = true;
    emit changed();
    return firstCellNotANumber(t + 1, values);
}

void LinearizationModel::setProgress(int value)
{
    m_progress = value;
    emit progressChanged(value);
}

void LinearizationModel::refresh()
{
    if (!m_transfersEnabled)
        return; // the first entry reads them all
    std::optional<QString> notANumber;
    for (int t = 0; t < Tables; ++t) {
        if (!hasTable(t))
            continue;
        const std::optional<QString> found = readTable(t);
        if (!notANumber)
            notANumber = found;
    }
    if (notANumber)
        context().prompts->warning(*notANumber);
}

void LinearizationModel::uploadTable()
{
    if (const std::optional<QString> notANumber = readTable(m_current))
        context().prompts->warning(*notANumber);
}

void LinearizationModel::downloadTable()
{
    const int t = m_current;
    sortTable(t);
    // Every cell is checked before the first write, so a table with an empty
    // or broken cell leaves the meter as it was.
    const auto values = tableValues(m_tables[std::size_t(t)]);
    CommandExchange &exchange = *context().exchange;
    for (int r = 1; r <= TablePoints; ++r) {
        exchange.comms(writeCommand(inputRegister(t + 1, r), qint64(values[std::size_t(r - 1)][0])));
        exchange.comms(writeCommand(outputRegister(t + 1, r), qint64(values[std::size_t(r - 1)][1])));
    }
}

void LinearizationModel::openTable(const std::optional<QString> &fileName)
{
    if (fileName) {
        if (const std::optional<QByteArray> bytes = readFile(*fileName))
            tablefiles::readTable(*bytes, m_tables[std::size_t(m_current)]);
        else
            context().prompts->fileError(readErrorText());
    }
    m_transfersEnabled = true;
    emit changed();
}

void LinearizationModel::saveTable(const QString &fileName)
{
    sortTable(m_current);
    if (!writeFile(fileName, writeTable(m_tables[std::size_t(m_current)])))
        context().prompts->fileError(writeErrorText());
}

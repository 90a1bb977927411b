#include "summarymodel.h"

#include "summaryreads.h"

#include "link/errors.h"
#include "link/meterdetector.h"
#include "pages/metersetup.h"

namespace {

// Row labels of the label columns 0, 2, 4 and 6.
const char *const Labels[SummaryGrid::Rows][4] = {
    {"Brightness", "Display Text Setpoint 1", "Setpoint 1", "Setpoint Control 1"},
    {"Calibration", "Display Text Setpoint 2", "Setpoint 2", "Setpoint Control 2"},
    {"Code 1", "Display Text Setpoint 3", "Setpoint 3", "Setpoint Control 3"},
    {"Code 2", "Display Text Setpoint 4", "Setpoint 4", "Setpoint Control 4"},
    {"Code 3", "Display Text Setpoint 5", "Setpoint 5", "Setpoint Control 5"},
    {"Code 4", "Display Text Setpoint 6", "Setpoint 6", "Setpoint Control 6"},
    {"Code 5", "Make Delay Setpoint 1", "Break Delay Setpoint 1", "Tolerence Setpoint 1"},
    {"Code 6", "Make Delay Setpoint 2", "Break Delay Setpoint 2", "Tolerence Setpoint 2"},
    {"Code 7", "Make Delay Setpoint 3", "Break Delay Setpoint 3", "Tolerence Setpoint 3"},
    {"Code 8", "Make Delay Setpoint 4", "Break Delay Setpoint 4", "Tolerence Setpoint 4"},
    {"Code 9", "Make Delay Setpoint 5", "Break Delay Setpoint 5", "Tolerence Setpoint 5"},
    {"Code 10", "Make Delay Setpoint 6", "Break Delay Setpoint 6", "Tolerence Setpoint 6"},
    {"Model", "Delay Type Setpoint 1", "Display Options Data source", "Display Character Data Source"},
    {"Version", "Delay Type Setpoint 2", "Display Options Channel 1", "Display Character Channel 1"},
    {"Baud Rate", "Delay Type Setpoint 3", "Display Options Channel 2", "Display Character Channel 2"},
    {"Address", "Delay Type Setpoint 4", "Display Options Channel 3", "Display Character Channel 3"},
    {"Macro Running", "Delay Type Setpoint 5", "Display Options Channel 4", "Display Character Channel 4"},
    {"Macro Loaded", "Delay Type Setpoint 6", "Display Options Total", "Display Character Total"},
    {"Bargraph Low", "Scale Result", "Display Options Sub Total", "Display Character Sub Total"},
    {"Bargraph High", "Scale Channel 1", "Display Text Peak", "Display Text Valley"},
    {"Bargraph Centre Zero", "Scale Channel 2", "Display Text Sub Total", "Display Text Total"},
    {"Bargraph Colour", "Offset Result", "Display Text Channel 1", "Display Text Channel 2"},
    {"K Factor", "Offset Channel 1", "Display Text Channel 3", "Display Text Channel 4"},
    {"K Factor", "Offset Channel 2", "Display Text Over", "Display Text Under"},
    {"Print String", "", "", ""},
};

} // namespace

SummaryModel::SummaryModel(const ModelContext &context, QObject *parent) : PageModel(PageId::Summary, context, parent)
{
    for (int r = 0; r < SummaryGrid::Rows; ++r) {
        for (int pair = 0; pair < 4; ++pair) {
            if (*Labels[r][pair])
                context.setup->setSummaryCell({r, pair * 2}, QString::fromLatin1(Labels[r][pair]));
        }
    }
}

void SummaryModel::fill()
{
    MeterSetup &setup = *context().setup;
    QList<SummaryCell> filled;
    try {
        for (const summaryreads::Read &read : summaryreads::reads()) {
            const Reply reply = context().exchange->comms(summaryreads::command(read));
            setup.setSummaryCell(read.cell, summaryreads::cellText(read.conversion, reply));
            filled.append(read.cell);
        }
    } catch (const RepliesOutOfStep &) {
        // Any of this fill's values may be another register's: none stays.
        for (const SummaryCell &cell : std::as_const(filled))
            setup.setSummaryCell(cell, QString());
        throw;
    }
}

void SummaryModel::loadAtDetection()
{
    const MeterIdentity &identity = *context().identity;
    MeterSetup &setup = *context().setup;
    setup.setSummaryCell(summarycell::Model, identity.modelCode);
    setup.setSummaryCell(summarycell::Version, identity.version);
    setup.setSummaryCell(summarycell::BaudRate, QString::number(identity.baudRate));
    setup.setSummaryCell(summarycell::Address, identity.address);
}

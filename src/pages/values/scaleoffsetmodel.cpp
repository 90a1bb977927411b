#include "scaleoffsetmodel.h"

#include "decimaltext.h"

#include "link/commandexchange.h"
#include "link/registers.h"
#include "pages/metersetup.h"

namespace {

// The scale bounds are -1.9999 and 3.2767, the offset bounds -19999 and
// 32767, all excluded. Offsets are whole display counts.
const std::array<ScaleOffsetModel::Field, ScaleOffsetModel::Fields> Table = {{
    {24, "Result scale", "1.0000", -1.9999, 3.2767, 4},
    {25, "Channel 1 scale", "1.0000", -1.9999, 3.2767, 4},
    {26, "Channel 2 scale", "1.0000", -1.9999, 3.2767, 4},
    {27, "Result offset", "0", -19999, 32767, 0},
    {28, "Channel 1 offset", "0", -19999, 32767, 0},
    {29, "Channel 2 offset", "0", -19999, 32767, 0},
}};

} // namespace

const std::array<ScaleOffsetModel::Field, ScaleOffsetModel::Fields> &ScaleOffsetModel::fields()
{
    return Table;
}

ScaleOffsetModel::ScaleOffsetModel(const ModelContext &context, QObject *parent)
    : PageModel(PageId::ScaleOffset, context, parent)
{
    for (int i = 0; i < Fields; ++i)
        m_texts[std::size_t(i)] = QString::fromLatin1(Table[std::size_t(i)].defaultText);
}

void ScaleOffsetModel::leave(int field, const QString &entryText)
{
    QString &text = m_texts[std::size_t(field)];
    // A field the meter answered blank and the operator left untouched has
    // nothing to write.
    if (text.isEmpty() && entryText.isEmpty())
        return;
    const float typed = decimaltext::toSingle(text);
    // The range applies to the single-precision value as it will be sent,
    // after rounding: 3.27669 would go out as the excluded 3.2767.
    const SettingRegister described = setting(field);
    const bool refused = described.refusal(text).has_value();
    text = refused ? entryText : decimaltext::fixed(typed, described.length);
    emit changed();
    if (!refused)
        context().exchange->comms(writeCommand(Table[std::size_t(field)].reg, text));
}

void ScaleOffsetModel::loadAtDetection()
{
    // Scales are shown as the meter sends them; offsets are whole display
    // counts, so their reply loses its first ".". A blank reply leaves the
    // field empty.
    for (int i = 0; i < Fields; ++i) {
        const Reply reply = context().exchange->comms(readCommand(Table[std::size_t(i)].reg));
        m_texts[std::size_t(i)] = isScale(i) ? reply.text : reply.value;
        setSummaryCell(i);
        emit changed();
    }
}

void ScaleOffsetModel::distrustLoad()
{
    for (int i = 0; i < Fields; ++i) {
        m_texts[std::size_t(i)].clear();
        setSummaryCell(i);
    }
    emit changed();
}

void ScaleOffsetModel::setSummaryCell(int field)
{
    const SummaryCell cell = isScale(field) ? summarycell::scale(field) : summarycell::offset(field - 3);
    context().setup->setSummaryCell(cell, m_texts[std::size_t(field)]);
}

SettingRegister ScaleOffsetModel::setting(int field) const
{
    const Field &row = Table[std::size_t(field)];
    SettingRegister setting;
    setting.reg = QString::number(row.reg);
    setting.page = PageId::ScaleOffset;
    setting.name = QString::fromLatin1(row.name);
    setting.kind = SettingRegister::Kind::Decimal;
    setting.minimum = row.lower;
    setting.maximum = row.upper;
    setting.length = row.decimals;
    return setting;
}

QList<SettingRegister> ScaleOffsetModel::settings() const
{
    QList<SettingRegister> all;
    for (int i = 0; i < Fields; ++i)
        all.append(setting(i));
    return all;
}

#include "bargraphmodel.h"

#include "bargraph.h"

#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/registers.h"

BargraphModel::BargraphModel(const ModelContext &context, QObject *parent)
    : QObject(parent), m_context(context), m_minimum(bargraph::MinValue),
      m_maximum(bargraph::MaxValue), m_fields{QString::number(bargraph::MinValue), QString::number(bargraph::MaxValue),
                                              QStringLiteral("0")}
{}

void BargraphModel::setShown(bool shown)
{
    m_shown = shown;
    emit changed();
}

int BargraphModel::readWhole(int reg) const
{
    return convert::toInt(m_context.exchange->comms(readCommand(reg)).value);
}

void BargraphModel::draw()
{
    // The slider writes nothing while it is being set.
    m_zeroWrites = false;
    const int high = readWhole(HighRegister);
    const int low = readWhole(LowRegister);
    const int zero = readWhole(ZeroRegister);
    const bargraph::Scale scale = bargraph::scaleFor(low, high, zero, m_segments);
    m_ascending = scale.ascending;
    m_tickSpacing = scale.tickSpacing;
    m_minimum = scale.minimum;
    m_maximum = scale.maximum;
    m_position = scale.position;
    m_fields[LowField] = QString::number(scale.minimum);
    m_fields[HighField] = QString::number(scale.maximum);
    m_fields[ZeroField] = QString::number(scale.position);
    m_zeroWrites = true;
    emit changed();

    const int colours = bargraph::colourPattern(readWhole(ColourRegister));
    QList<int> setpoints;
    for (int reg = FirstSetpoint; reg < FirstSetpoint + Setpoints; ++reg)
        setpoints.append(readWhole(reg));
    const int count = bargraph::zoneCount(setpoints, m_minimum, m_maximum);
    m_zones.clear();
    for (int zone = 0; zone < count; ++zone)
        m_zones.append(bargraph::colourCode(colours, zone));
    emit changed();
}

int BargraphModel::zeroSegment() const
{
    return bargraph::segmentAt(m_position, m_minimum, m_maximum, m_segments);
}

void BargraphModel::moveZero(int position)
{
    m_position = position;
    if (!m_zeroWrites)
        return;
    m_fields[ZeroField] =
        QString::number(bargraph::segmentValue(zeroSegment(), m_minimum, m_maximum, m_ascending, m_segments));
    emit changed();
    // Quick moves write the position the slider has when the line is free.
    m_context.exchange->comms([this]() { return writeCommand(ZeroRegister, zeroSegment()); });
}

void BargraphModel::leaveField(Field field, const QString &entryText)
{
    m_zeroWrites = false;
    // A value that cannot be sent puts the field's text on entry back and
    // ends here, sending nothing.
    const auto revert = [this, field, &entryText]() {
        m_fields[field] = entryText;
        m_zeroWrites = true;
        emit changed();
    };
    int low = 0;
    int high = 0;
    int zero = 0;
    try {
        const int typed = bargraph::fieldValue(m_fields[field]);
        if (typed < bargraph::MinValue || typed > bargraph::MaxValue)
            return revert();
        low = bargraph::fieldValue(m_fields[LowField]);
        high = bargraph::fieldValue(m_fields[HighField]);
        zero = bargraph::fieldValue(m_fields[ZeroField]);
    } catch (const UserError &) {
        revert();
        throw;
    }
    // Equal ends leave no room for a zero position.
    if (low == high)
        return revert();

    CommandExchange &exchange = *m_context.exchange;
    // The smaller value goes to register 99, each as typed.
    exchange.comms(writeCommand(LowRegister, m_fields[low < high ? LowField : HighField]));
    exchange.comms(writeCommand(HighRegister, m_fields[low < high ? HighField : LowField]));
    exchange.comms(writeCommand(ZeroRegister, bargraph::zeroSegment(low, high, zero, m_segments)));
    m_zeroWrites = true;
    draw();
}

void BargraphModel::cycleColour(int zone)
{
    if (zone < 0 || zone >= m_zones.size())
        return;
    // The meter's current colours, not those of the last drawing.
    const int colours = bargraph::colourPattern(readWhole(ColourRegister));
    const int code = bargraph::nextColourCode(m_zones[zone]);
    m_zones[zone] = code;
    emit changed();
    m_context.exchange->comms(writeCommand(ColourRegister, bargraph::withColourCode(colours, zone, code)));
}

void BargraphModel::setScaleType(int digit)
{
    m_linear = digit == 0 || digit == 1;
    emit changed();
}

QList<SettingRegister> BargraphModel::settings() const
{
    SettingRegister low;
    low.page = PageId::Code10;
    low.needsAnyOption = {QStringLiteral("B")};
    low.reg = QString::number(LowRegister);
    low.name = QStringLiteral("Bar Low");
    low.minimum = bargraph::MinValue;
    low.maximum = bargraph::MaxValue;
    SettingRegister high = low;
    high.reg = QString::number(HighRegister);
    high.name = QStringLiteral("Bar High");
    // The zero's segment, counted from the smaller end: 100 segments, or 50
    // on models whose code contains "51".
    SettingRegister zero = low;
    zero.reg = QString::number(ZeroRegister);
    zero.name = QStringLiteral("Bar Zero Position");
    zero.minimum = 0;
    zero.maximum = bargraph::segments(QString());
    zero.absentWithOption = QStringLiteral("51");
    SettingRegister shortZero = zero;
    shortZero.maximum = bargraph::segments(QStringLiteral("51"));
    shortZero.needsAnyOption = {QStringLiteral("51")};
    shortZero.absentWithOption.clear();
    // Two bits per zone.
    SettingRegister colours = low;
    colours.reg = QString::number(ColourRegister);
    colours.name = QStringLiteral("Bargraph Colour");
    colours.kind = SettingRegister::Kind::Mask;
    colours.minimum = 0;
    colours.maximum = 65535;
    return {low, high, zero, shortZero, colours};
}

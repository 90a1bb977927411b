#include "kfactormodel.h"

#include "link/commandexchange.h"
#include "link/errors.h"
#include "link/registers.h"

#include <QtNumeric>

namespace {

const QString HighCaption = QStringLiteral("K Factor High Byte");
const QString LowCaption = QStringLiteral("K Factor Low Byte");

struct Unit
{
    const char *name;
    int factor;
};
const Unit Units[] = {{"Seconds", 5}, {"Minutes", 300}, {"Hours", 18000}, {"Days", 432000}};

} // namespace

KFactorModel::KFactorModel(const ModelContext &context, QObject *parent)
    : QObject(parent), m_context(context), m_unit(QString::fromLatin1(Units[0].name)), m_high(HighCaption),
      m_low(LowCaption)
{}

QStringList KFactorModel::units()
{
    QStringList names;
    for (const Unit &unit : Units)
        names << QString::fromLatin1(unit.name);
    return names;
}

void KFactorModel::openFromMeter()
{
    CommandExchange &exchange = *m_context.exchange;
    // Register 38 shows after the high caption and 152 after the low one,
    // the other way round from the send.
    m_high = HighCaption + QStringLiteral("  ") + exchange.comms(readCommand(QuotientRegister)).value;
    emit changed();
    m_low = LowCaption + QStringLiteral("  ") + exchange.comms(readCommand(MultiplierRegister)).value;
    m_open = true;
    emit changed();
}

int KFactorModel::unitFactor(const QString &unit)
{
    for (const Unit &u : Units) {
        if (unit == QLatin1String(u.name))
            return u.factor;
    }
    return Units[0].factor;
}

std::optional<qint64> KFactorModel::totalCount(int rate, int time, int factor, int total)
{
    // time x factor fits in 64 bits for any 32-bit time; only the product
    // with the rate can overflow, and then N is far beyond the limit.
    qint64 product = 0;
    if (qMulOverflow(qint64(time) * factor, qint64(rate), &product))
        return std::nullopt;
    const qint64 n = product / total;
    if (n < 0 || n > Limit)
        return std::nullopt;
    return n;
}

std::optional<KFactorModel::KFactor> KFactorModel::split(qint64 total)
{
    for (int n = 1; n <= MaxMultiplier; ++n) {
        if (total % n == 0 && total / n <= MaxQuotient)
            return KFactor{n, int(total / n)};
    }
    return std::nullopt;
}

void KFactorModel::showFailure(const QString &high)
{
    m_high = high;
    m_low.clear();
    m_result.reset();
    emit changed();
}

void KFactorModel::calculate()
{
    const int rate = convert::toInt(m_rate);
    const int time = convert::toInt(m_time);
    const int total = convert::toInt(m_total);
    if (total == 0)
        throw UserError(QStringLiteral("Division by zero"));

    const std::optional<qint64> n = totalCount(rate, time, unitFactor(m_unit), total);
    if (!n)
        return showFailure(QStringLiteral("Value to large"));
    const std::optional<KFactor> pair = split(*n);
    if (!pair)
        return showFailure(QStringLiteral("No K Factor pair fits"));
    m_result = pair;
    m_high = QString::number(pair->multiplier);
    m_low = QString::number(pair->quotient);
    emit changed();
}

void KFactorModel::send()
{
    if (!m_result)
        return;
    const KFactor pair = *m_result;
    m_context.exchange->comms(writeCommand(MultiplierRegister, pair.multiplier));
    m_context.exchange->comms(writeCommand(QuotientRegister, pair.quotient));
    close();
    emit sent();
}

void KFactorModel::close()
{
    m_open = false;
    emit changed();
}

QList<SettingRegister> KFactorModel::settings() const
{
    SettingRegister multiplier;
    multiplier.reg = QString::number(MultiplierRegister);
    multiplier.page = PageId::Code2;
    multiplier.name = HighCaption;
    multiplier.minimum = 1;
    multiplier.maximum = MaxMultiplier;
    SettingRegister quotient = multiplier;
    quotient.reg = QString::number(QuotientRegister);
    quotient.name = LowCaption;
    quotient.minimum = 0;
    quotient.maximum = MaxQuotient;
    // In the order the send writes them.
    return {multiplier, quotient};
}

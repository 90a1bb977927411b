#include "decimaltext.h"

#include <QLocale>
#include <QRegularExpression>

#include <cfloat>
#include <cmath>

namespace decimaltext {

float toSingle(const QString &text)
{
    // Anchored at the very end: "$" alone would let a trailing line break through.
    static const QRegularExpression plainDecimal(
        QRegularExpression::anchoredPattern(QStringLiteral("[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?")));
    if (!plainDecimal.match(text).hasMatch())
        throw notANumber(text);
    // The C locale reads "." whatever the desktop uses. Its failures here can
    // only be overflow (an infinity) or underflow (zero): both are numbers.
    const double wide = QLocale::c().toDouble(text);
    if (std::fabs(wide) > double(FLT_MAX))
        return wide < 0 ? -HUGE_VALF : HUGE_VALF;
    return float(wide);
}

UserError notANumber(const QString &text)
{
    return UserError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

QString fixed(float value, int decimals)
{
    // A float times a power of ten up to 10^9 is exact in a double, so the
    // rounding below sees the single-precision value itself.
    const double units = std::round(double(value) * std::pow(10.0, decimals)); // half away from zero
    QString digits = QString::number(std::fabs(units), 'f', 0);
    if (decimals > 0) {
        digits = digits.rightJustified(decimals + 1, QLatin1Char('0'));
        digits.insert(digits.size() - decimals, QLatin1Char('.'));
    }
    if (units < 0)
        digits.prepend(QLatin1Char('-'));
    return digits;
}

} // namespace decimaltext

#include "displayformat.h"

#include "link/errors.h"

namespace displayformat {

namespace {

const std::array<FormatGroup, 3> Groups = {{
    {"GroupBox1",
     "First Digit",
     "Rounding",
     {{{"0 No Rounding"},
       {"1 Multiples of 2"},
       {"2 Multiples of 5"},
       {"3 Mulitples of 10"},
       {nullptr},
       {nullptr},
       {nullptr},
       {nullptr}}}},
    {"GroupBox2",
     "Second Digit",
     "Display Format",
     {{{"0 Decimal"},
       {"1 Hours:Minutes:Seconds"},
       {"2 12 or 24 Hour clock"},
       {"3 Days:Hours:Minutes"},
       {"4", false},
       {"5", false},
       {"6", false},
       // Never chosen here; a format read from the meter may check it.
       {"7 Alphanumeric character LSD", true, false}}}},
    {"GroupBox3",
     "Third Digit",
     "Decimal Point",
     {{{"0 No Decimal Point"},
       {"1 XX . XX . XX"},
       {"2 X . XXXXX"},
       {"3 X . XXXX"},
       {"4 X . XXX"},
       {"5 X . XX"},
       {"6 X . X"},
       {"7 Set from rear pins"}}}},
}};

} // namespace

bool isView(int target)
{
    return (target >= 1 && target <= 7) || target == 22 || target == 23;
}

int formatRegister(int target)
{
    return target >= 22 ? 203 + target : 198 + target;
}

int characterRegister(int target)
{
    return 205 + target;
}

QString formatDigits(const QString &reply)
{
    const int value = convert::toInt(reply);
    if (value < 0 || value > 999)
        throw UserError(QStringLiteral("'%1' is not a three-digit code").arg(reply));
    return QStringLiteral("%1").arg(value, 3, 10, QLatin1Char('0'));
}

} // namespace displayformat

namespace displayformat {

const std::array<FormatGroup, 3> &formatGroups()
{
    return Groups;
}

bool hasOption(int group, int digit)
{
    return digit >= 0 && digit < int(Groups[0].options.size())
           && Groups[std::size_t(group)].options[std::size_t(digit)].caption;
}

} // namespace displayformat

#pragma once

#include "pageid.h"

#include <QString>
#include <QStringList>
#include <optional>

struct MeterIdentity;

// One setting register as a page shows it: where it lives, what the page
// calls it, and which values the page would write to it. The setup file,
// the command line and the line monitor all describe registers with it.
struct SettingRegister
{
    enum class Kind {
        Code,    // three decimal digits, each 0 to 9
        Integer, // a whole number from minimum to maximum
        Decimal, // a decimal number strictly between minimum and maximum
        Text,    // up to `length` characters, no "*"
        Mask,    // a whole number from minimum to maximum whose bits are boxes
    };

    QString reg; // "130", or a letter register "X"
    PageId page = PageId::DisplayValue;
    QString name; // in the page's words: "Code 1", "Result scale"
    Kind kind = Kind::Integer;
    // Integer and Mask: the range, both ends allowed. Decimal: the open
    // range, and `length` decimals. Text: `length` characters at most.
    double minimum = 0;
    double maximum = 0;
    int length = 0;
    // The model options a meter needs for the register, any of them ("B",
    // "3"); empty when every model has it.
    QStringList needsAnyOption;
    // A model option that takes the register away ("E" for tables 2 to 4).
    QString absentWithOption;
    // Model options any of which take the register away ("B", "3").
    QStringList absentWithAnyOption;
    // A group a setup can leave out on its own ("tables", "macro"); empty
    // for the page's own settings.
    QString group;
    // How the page writes a value: a code with a comma after it (setpoint
    // codes of rows 1 to 4); a text filled with blanks to `length`.
    bool trailingComma = false;
    bool padded = false;
    // A mask written as a signed 16-bit number (32768 and above as the value
    // minus 65536); a negative value stands for its 16 bits.
    bool signedWord = false;

    bool presentOn(const MeterIdentity &identity) const;
    // Why the page would not write `value` to this register; nothing when
    // it would.
    std::optional<QString> refusal(const QString &value) const;
    // The value as the page writes it: codes and whole numbers without
    // leading zeros, decimals to `length` places, texts as the page sends
    // them. `value` must be one refusal() accepts.
    QString sent(const QString &value) const;
    // Whether two values are the same setting, however each is written
    // ("013" and "13" for a code, "1.50" and "1.5000" for a scale).
    bool sameValue(const QString &a, const QString &b) const;
};

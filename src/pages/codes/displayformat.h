#pragma once

#include <QString>
#include <array>

// The display formats of the meter's views: which registers hold a view's
// format code and last-digit character, and how a format reply reads.
namespace displayformat {

// Targets 1 to 7 are the views chosen on the Code 1 page, 22 and 23 the
// second and third displays; 0 stands for no view.
bool isView(int target);
// Format register: 198 + k for 0 to 7, 203 + k for 22 and 23.
int formatRegister(int target);
// Character register: 205 + k.
int characterRegister(int target);
// A format reply as three digits: read as a whole number and padded with
// leading zeros ("16" is "016", "0" is "000"). Throws UserError when the
// reply is no whole number or no three-digit code.
QString formatDigits(const QString &reply);

// The three digit groups of a format code and their options, as the page
// shows them.
struct FormatOption
{
    const char *caption; // nullptr: the digit has no option
    bool shown = true;
    bool enabled = true;
};
struct FormatGroup
{
    const char *name;
    const char *caption;
    const char *label;
    std::array<FormatOption, 8> options;
};
const std::array<FormatGroup, 3> &formatGroups();
// Whether the group has an option for the digit (0 to 9).
bool hasOption(int group, int digit);

} // namespace displayformat

#pragma once

#include <array>

// The meter's vocabulary for the setup codes: per code, the feature label
// and the eight options of each digit, with how each option is shown and
// which handler a choice runs.
namespace codetables {

enum class Handler {
    SetDigit,            // sets the group's digit value
    OpenDisplaySettings, // Code 1 third digit: display settings views
    TareAndKFactor,      // Code 2 tare and totaliser source, K factor
    SamplingRate,        // Code 4 sampling rate
    MeasurementType,     // Code 4 measurement type
    PrescalerMode,       // Code 4 third digit, Code 6 second digit 7: prescalers
    Channel2Type,        // Code 6 channel 2 measurement type
    ResetLogBuffer,      // Code 8 reset of the log buffer
    BarScale,            // Code 10 third digit
};

enum class Mark { Shown, Hidden, Disabled };

struct Option
{
    const char *caption;
    Mark mark = Mark::Shown;
    Handler handler = Handler::SetDigit;
    const char *hint = nullptr;
};

struct Group
{
    const char *label;
    std::array<Option, 8> options;
};

using Table = std::array<Group, 3>;

// Code 1 to Code 10; code 0 is the calibration code.
const Table &optionTable(int code);

// Run-time relabelling of one digit group: a caption of nullptr hides the
// option and leaves its caption as it was.
struct Relabel
{
    const char *label;
    std::array<const char *, 8> captions;
};

// Code 4 third digit, by the measurement type in the second digit (0 to 7).
const Relabel &code4ThirdDigit(int measurementType);
// Code 6 second digit, by the channel 2 measurement type (0 to 3).
const Relabel &code6SecondDigit(int measurementType);

// Code 10 as model adaptation relabels it: the group labels, the first
// digit's four shown options and the eight options of each other digit.
struct Code10Captions
{
    const char *labels[3];
    const char *first[4];
    const char *second[8];
    const char *third[8];
};
const Code10Captions &code10Bargraph();
const Code10Captions &code10ExtraDisplays();

} // namespace codetables

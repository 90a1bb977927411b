#include "codetables.h"

namespace codetables {

namespace {

constexpr Mark H = Mark::Hidden;
constexpr Mark D = Mark::Disabled;
constexpr Mark S = Mark::Shown;

const char *const NumberedUndefined[8] = {"0 Undefined", "1 Undefined", "2 Undefined", "3 Undefined",
                                          "4 Undefined", "5 Undefined", "6 Undefined", "7 Undefined"};

// An option that exists but is not shown.
Option undefinedHidden(int digit)
{
    return Option{NumberedUndefined[digit], H};
}

using Options = std::array<Option, 8>;

// Eight options with the same caption and handler.
Options alike(const char *caption, Handler handler)
{
    Options options;
    options.fill(Option{caption, S, handler});
    return options;
}

Options withLast(Options options, Handler handler)
{
    options.back().handler = handler;
    return options;
}

// "0 Undefined" to "7 Undefined", all shown.
Options numberedUndefined(Handler handler)
{
    Options options;
    for (std::size_t d = 0; d < options.size(); ++d)
        options[d] = Option{NumberedUndefined[d], S, handler};
    return options;
}

// A digit with four options; options 4 to 7 exist but are hidden.
Group fourShown(const char *label, const std::array<Option, 4> &shown)
{
    return Group{label,
                 {{shown[0], shown[1], shown[2], shown[3], undefinedHidden(4), undefinedHidden(5), undefinedHidden(6),
                   undefinedHidden(7)}}};
}

const Table Calibration = {{
    fourShown("Calibration Mode", {{{"0 Calibration function"},
                                    {"1 Set baud rate, parity, & address", D},
                                    {"2 Calibrate K Type Thermocouple", D},
                                    {"3 Calibrate RTD Module", D}}}),
    {"Calibration function",
     {{{"0 No Calibration"},
       {"1 Maual Claibration"},
       {"2 Auto Calibration"},
       {"3 Single Point Calibration"},
       {"4 Dual Point Calibration"},
       {"5 Primary Input Compensation"},
       {"6 Analog output scaling"},
       {"7 Analog Output Calibration"}}}},
    {"Calibration Object",
     {{{"0 Result"},
       {"1 Channel 1"},
       {"2 Channel 2"},
       undefinedHidden(3),
       undefinedHidden(4),
       undefinedHidden(5),
       undefinedHidden(6),
       undefinedHidden(7)}}},
}};

constexpr Handler OpensView = Handler::OpenDisplaySettings;

const Table Code1 = {{
    {"LED Annunciators",
     {{{"0 Annunciators ON - relay ON"},
       {"1 Annunciators ON - relay OFF"},
       {"2 Annunciators OFF", S, Handler::SetDigit,
        "Annunciators are also used to show which Linearisation table is selected in some modes"},
       {"3 Annunciators show tendency"},
       undefinedHidden(4),
       undefinedHidden(5),
       undefinedHidden(6),
       undefinedHidden(7)}}},
    {"Display Data Source",
     {{{"0 Processed Data - Channel 1"},
       {"1 Processed Data - Channel 2"},
       {"2 Processed Data - Channel 3"},
       {"3 Processed Data - Result"},
       {"4 Totalisator Display"},
       {"5 Peak Display"},
       {"6 Valley Display"},
       {"7 Manual Loader"}}}},
    {"Display Settings",
     {{{"0 No Function", S, OpensView},
       {"1 Format Display Data Source", S, OpensView},
       {"2 Format Channel 1 view mode", S, OpensView},
       {"3 Format Channel 2 view mode", S, OpensView},
       {"4 Format Channel 3 view mode", S, OpensView},
       {"5 Format Channel 4 view mode", S, OpensView},
       {"6 Format Totaliser view mode", S, OpensView},
       {"7 Format Sub-Totaliser view mode", S, OpensView}}}},
}};

constexpr Handler Tare = Handler::TareAndKFactor;

const Table Code2 = {{
    fourShown("Tare Function", {{{"0 No Function", S, Tare},
                                 {"1 Tare Display Value", S, Tare},
                                 {"2 Tare Channel 1", S, Tare},
                                 {"3 Tare Channel 2", S, Tare}}}),
    {"Totalisator Data Source",
     {{{"0 No Function", S, Tare},
       {"1 Totalisator from Result", S, Tare},
       {"2 Totalisator from Channel 1", S, Tare},
       {"3 Totalisator from Channel 2", S, Tare},
       {"4 Totalisator from Channel 3", S, Tare},
       {"5 Totalisator from Channel 4", S, Tare},
       {"6 ", D, Tare},
       {"7 Set K factor", S, Tare}}}},
    {"Channel 3 Function",
     {{{"0 Chnl 3 avaliable for macro"},
       {"1 Timer up 1 second resolution"},
       {"2 Timer up 1 minute resolution"},
       {"3 Real Time Clock (Hrs:Mins:Sec)"},
       {"4 Timer down 1 second resolution"},
       {"5 Timer down 1 minute resolution"},
       {"6 Chnl 3 counts SP5 activations"},
       undefinedHidden(7)}}},
}};

// Both analogue outputs offer the same sources.
const Options AnalogueOutputSources = {{{"0 Display Data"},
                                        {"1 Result"},
                                        {"2 Channel 1"},
                                        {"3 Channel 2"},
                                        {"4 Channel 3"},
                                        {"5 Channel 4"},
                                        {"6 Totalisator"},
                                        {"7 Sub-Totalisator"}}};

const Table Code3 = {{
    fourShown("Serial Mode", {{{"0 ASCII Mode"}, {"1 Modbus Mode", D}, {"2 Profibus Mode", D}, {"3 Print Mode", D}}}),
    {"Analogue Output 1 Source", AnalogueOutputSources},
    {"Analogue Output 2 Source", AnalogueOutputSources},
}};

constexpr Handler Sampling = Handler::SamplingRate;
constexpr Handler Measurement = Handler::MeasurementType;
constexpr Handler Prescaling = Handler::PrescalerMode;

const Table Code4 = {{
    fourShown("Sampling Rate", {{{"0 Single channel 60Hz", S, Sampling},
                                 {"1 Dual channel 60Hz", S, Sampling},
                                 {"2 Single channel 50Hz", S, Sampling},
                                 {"3 Dual channel 50Hz", S, Sampling}}}),
    {"Measurement Type",
     {{{"0 Voltage / Current", S, Measurement},
       {"1 Thermocouple", S, Measurement},
       {"2 RTD 3 Wire", S, Measurement},
       {"3 RTD 2 or 4 Wire", S, Measurement},
       {"4 Frequency", S, Measurement},
       {"5 Period", S, Measurement},
       {"6 Counter", S, Measurement},
       {"7 Channel 1 Disabled", S, Measurement}}}},
    {"DEFINED AT RUN TIME", alike("Undefined", Prescaling)},
}};

const Table Code5 = {{
    {"Applied Function",
     {{{"0 Direct - No Processing"},
       {"1 Square root"},
       {"2 Inverse"},
       undefinedHidden(3),
       undefinedHidden(4),
       undefinedHidden(5),
       undefinedHidden(6),
       undefinedHidden(7)}}},
    {"Linearisation Channel 1",
     {{{"0 No Linearisation"},
       {"1 Linearisation Table 1 - 32 Point"},
       {"2 Linearisation Table 2 - 32 Point"},
       {"3 Linearisation Table 3 -32 Point"},
       {"4 Linearisation Table 4 - 32 Point"},
       {"5 All Tables combined - 128 point"},
       {"6 Table selected from rear pins"},
       {"7 Set from Channel 1", D}}}},
    {"Averaging Channel 1",
     {{{"0 8 samples/10 Count window"},
       {"1 16 samples/20 Count Window"},
       {"2 4 samples"},
       {"3 8 samples"},
       {"4 16 samples"},
       {"5 32 Samples"},
       {"6 64 Samples"},
       {"7 No Averaging"}}}},
}};

constexpr Handler Channel2 = Handler::Channel2Type;

const Table Code6 = {{
    fourShown("Measurement Type", {{{"0 Voltage / Current", S, Channel2},
                                    {"1 Thermocouple", S, Channel2},
                                    {"2 RTD 3 Wire", S, Channel2},
                                    {"3 Second digital input", S, Channel2}}}),
    // Option 7 may set the second input's prescaler.
    {"Display Data Source", withLast(alike("undefined", Handler::SetDigit), Prescaling)},
    {"Linearisation Channel 2",
     {{{"0 No Linearisation"},
       {"1 Linearisation Table 1- 32 Point"},
       {"2 Linearisation Table 2 - 32 Point"},
       {"3 Linearisation Table 3 - 32 Point"},
       {"4 Linearisation Table 4 - 32 Point"},
       {"5 All Tables combined - 128 Point"},
       undefinedHidden(6),
       undefinedHidden(7)}}},
}};

const Table Code7 = {{
    {"Applied Function",
     {{{"0 Direct - No Processing"},
       {"1 Squre root"},
       {"2 Inverse"},
       {"3 undefined", H},
       undefinedHidden(4),
       undefinedHidden(5),
       undefinedHidden(6),
       undefinedHidden(7)}}},
    {"Linearisation for Result",
     {{{"0 No Linearisation"},
       {"1 Linearisation Table 1 - 32 Point"},
       {"2 Linearisation Table 2 - 32 Point"},
       {"3 Linearisation Table 3 - 32 Point"},
       {"4 Linearisation Table 4 - 32 Point"},
       {"5 All Tables combined - 128 Point"},
       {"6 Table selected from rear pins"},
       undefinedHidden(7)}}},
    {"Math Function for Result",
     {{{"0 channel 1"},
       {"1 pH ( Buffer chnl 1, pH chnl 2 )"},
       {"2 Result = chnl 1, Setpoint = chnl 2"},
       {"3 channel 1 + channel 2"},
       {"4 channel 1 - channel 2"},
       {"5 (20,000 x channel 1)/channel 2"},
       {"6 (channel 1 x channel 2)/10,000"},
       {"7 Result from Macro"}}}},
}};

const Table Code8 = {{
    fourShown("Log buffer", {{{"0 No Data logging"},
                              {"1 Cyclic buffer"},
                              {"2 Linear FIFO buffer"},
                              {"3 Reset FIFO buffer", S, Handler::ResetLogBuffer}}}),
    {"Time Stamp",
     {{{"0 No Time Stamp"},
       {"1 M-D-Y Hr:Min:Sec with<CR><LF>"},
       {"2 D-M-Y Hr:Min:Sec with<CR><LF>"},
       {"3 Hrs:Min:Sec with<CR><LF>"},
       {"4 No Time Stamp"},
       {"5 M-D-Y Hr:Min:Sec"},
       {"6 D-M-Y Hr:Min:Sec"},
       {"7 Hr:Min:Sec"}}}},
    {"Trigger",
     {{{"0 No Trigger"},
       {"1 Program button"},
       {"2 Setpoint 5"},
       {"3 Setpoint 5 OR Program button"},
       {"4 Setpoint 6"},
       {"5 Setpoint 6 OR Program button"},
       {"6 Setpoint 5 OR Setpoint 6"},
       {"7 SP5, SP 6 OR Program button"}}}},
}};

const Table Code9 = {{
    fourShown("Display Test - Reset on Power Up ", {{{"0 Display Test Only"},
                                                     {"1 Counter Chnl 1 & Sub-Total"},
                                                     {"2 Counters Chnls 1,2 & Totalisators"},
                                                     {"3 Reset Total & Sub-Total"}}}),
    {"Hold Pin Function",
     {{{"0 Display Hold"},
       {"1 Reset Channel 1"},
       {"2 Reset Total & Sub-Total"},
       {"3 Reset Sub-Total"},
       {"4 Reset Peak & Valley"},
       {"5 Reset Tare"},
       {"6 Set Tare"},
       {"7 Unlatch all setpoints"}}}},
    {"Lock Pin  Function",
     {{{"0 Key Lock"},
       {"1 Reset Channel 1"},
       {"2 Reset Channel 2"},
       {"3 Reset Channel 3"},
       {"4 Reset Channel 4"},
       {"5 Reset Tare"},
       {"6 Reset Total"},
       {"7 Unlatch all setpoints"}}}},
}};

constexpr Handler BarScaling = Handler::BarScale;

const Table Code10 = {{
    fourShown("Undefined",
              {{{NumberedUndefined[0]}, {NumberedUndefined[1]}, {NumberedUndefined[2]}, {NumberedUndefined[3]}}}),
    {"Undefined", numberedUndefined(Handler::SetDigit)},
    {"Undefined", numberedUndefined(BarScaling)},
}};

const Table *const Tables[] = {&Calibration, &Code1, &Code2, &Code3, &Code4, &Code5,
                               &Code6,       &Code7, &Code8, &Code9, &Code10};

const Relabel Rtd = {"RTD",
                     {"0 Resistance", "1 RTD 385", "2 RTD 392", "3 RTD 120", "4 Cn 10", nullptr, nullptr, nullptr}};

const Relabel Thermocouple = {"Thermocouple",
                              {"0 J Type Thermocouple", "1 K Type Thermocouple", "2 R Type Thermocouple",
                               "3 S Type Thermocouple", "4 T Type Thermocouple", "5 B Type Thermocouple",
                               "6 N Type Thermocouple", "7 Linearization Table 1"}};

const Relabel Code4Third[8] = {
    {"Voltage / Current",
     {"0 No Function", "1 Peak Detect", "2 Pressure with Auto Cal", nullptr, nullptr, nullptr, nullptr, nullptr}},
    Thermocouple,
    Rtd,
    Rtd,
    {"Frequency",
     {"0 0.040Hz - 32.000Hz", "1 2.000Hz - 32.000Hz", "2 0.040Hz - 320.00Hz", "3 2.000Hz - 320.00Hz",
      "4 0.100Hz - 3200.0Hz", "5 2.000Hz - 3200.0Hz", "6 1Hz - 32kHz", "7 10Hz - 320kHz"}},
    {"Period",
     {"0 32.766 S (1 mS)", "1 3.2766 S (100 uS)", "2 327.66 mS (10 uS)", "3 32.766 mS (1 uS)", nullptr, nullptr,
      nullptr, nullptr}},
    {"Counter",
     {"0 Counter with Prescaler", "1 Set Prescaler", "2 Prescaler and Debounce", "3 Up/Down counter with prescaler",
      "4 Stop watch HRS:MIN:SEC", "5 Stop watch DAYS:HRS:MIN", "6 External 24 Hour Clock", "7 Internal 24 Hour Clock"}},
    {"Disabled", {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}},
};

const Relabel Code6Second[4] = {
    {"Voltage/Current",
     {"0 No Processing", "1 Square root of channel 2", "2 Inverse of channel 2", nullptr, nullptr, nullptr, nullptr,
      nullptr}},
    Thermocouple,
    Rtd,
    {"Digital Input",
     {"0 0.04Hz - 320.00Hz", "1 0.1Hz - 3200.0Hz", "2 1Hz - 32kHz", "3 10Hz - 320kHz", "4 3.2766 S (100 uS)",
      "5 327.66 mS (10 uS)", "6 Up/Down Counter with Prescaler", "7 Set Prescaler"}},
};

const Code10Captions BargraphCaptions = {
    {"Display Option", "Source", "Scale"},
    {"0 Setpoints on bar", "1 Peak & Valley on bar", "2 Setup Colors", "3 Setup scaling"},
    {"0 Display Data", "1 Result", "2 Channel 1", "3 Channel 2", "4 Channel 3", "5 Channel 4", "6 Total",
     "7 Sub-total"},
    {"0 Linear", "1 via Linearization Table 1", "2 ", "3 Log 10 bar/decade", "4 Log 20 bar/decade",
     "5 Log 25 bar/decade", "6 Log 33 bar/decade", "7 Log 50 bar/decade"},
};

const Code10Captions ExtraDisplayCaptions = {
    {"Extra Display Setup", "Second Display Source", "Third Display Source"},
    {"0 No Function", "1 Set Source Registers", "2 Setup Second Display", "3 Setup Third Display"},
    {"0 Channel 1", "1 Channel 2", "2 Channel 3", "3 Channel 4", "4 Result", "5 Total", "6 Peak",
     "7 User defined register  ->"},
    {"0 Channel 1", "1 Channel 2", "2 Channel 3", "3 Channel 4", "4 Result", "5 Sub Total", "6 Valley",
     "7 User defined register   ->"},
};

} // namespace

const Table &optionTable(int code)
{
    return *Tables[code];
}

const Relabel &code4ThirdDigit(int measurementType)
{
    return Code4Third[measurementType];
}

const Relabel &code6SecondDigit(int measurementType)
{
    return Code6Second[measurementType];
}

const Code10Captions &code10Bargraph()
{
    return BargraphCaptions;
}

const Code10Captions &code10ExtraDisplays()
{
    return ExtraDisplayCaptions;
}

} // namespace codetables

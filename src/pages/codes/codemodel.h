#pragma once

#include "codetables.h"
#include "pages/pagemodel.h"

#include <array>
#include <memory>

class BargraphModel;
class CodeRules;
class DisplaySourcesModel;
class KFactorModel;
class PrescalerModel;

// One setup code (Code 1 to Code 10, or the calibration code): three digit
// groups of eight options each. Each group keeps the digit value of the
// option chosen last; the code word sent is their sum. storedCode() is the
// code last read from the meter. What a code adds to this (its panels, the
// options that change other options or pages) lives in its CodeRules.
class CodeModel : public PageModel
{
    Q_OBJECT
public:
    static constexpr int Groups = 3;
    static constexpr int Options = 8;
    static constexpr int CalibrationCode = 0;
    enum Group { FirstDigit, SecondDigit, ThirdDigit };

    struct Info
    {
        int code;
        int reg;
        PageId page;
        const char *heading;
        const char *sendButton;
        std::array<const char *, Groups> groupNames;
        // Feature labels with a name of their own; nullptr for the others.
        std::array<const char *, Groups> labelNames;
        // Entering the page shows the code last read from the meter again.
        bool restoresOnEntry;
    };
    static const Info &info(int code);

    CodeModel(int code, const ModelContext &context, QObject *parent = nullptr);
    ~CodeModel() override;

    int code() const { return m_info.code; }
    const Info &info() const { return m_info; }

    // What the page shows; groups are 0 to 2, digits 0 to 7.
    QString label(int group) const { return m_labels[std::size_t(group)]; }
    QString caption(int group, int digit) const { return option(group, digit).caption; }
    bool isShown(int group, int digit) const { return option(group, digit).shown; }
    bool isEnabled(int group, int digit) const { return option(group, digit).enabled; }
    QString hint(int group, int digit) const;
    // The option checked in the group; -1 for a digit without an option.
    int checkedOption(int group) const { return m_checked[std::size_t(group)]; }
    int digitValue(int group) const { return m_digitValue[std::size_t(group)]; }
    // The sum of the three digit values, as the send writes it.
    int codeWord() const;
    int storedCode() const override { return m_storedCode; }
    // The code was read from the meter (by a load or a send) since it was found.
    bool codeRead() const { return m_codeRead; }
    // The send button acts; it waits for a read of the code when the meter
    // was found again, and some options hold it back until a task is done.
    bool canSend() const { return m_sendAllowed && !waitsForRead(); }
    bool waitsForRead() const { return !m_codeRead && m_info.code != CalibrationCode; }

    // The panels and fields some codes have; nullptr on the others.
    KFactorModel *kFactor() const;
    PrescalerModel *prescaler() const;
    BargraphModel *bargraph() const;
    DisplaySourcesModel *displaySources() const;

    // Makes an option the checked one of its group, as a click or the
    // program does: its handler runs only when it was not checked already.
    void choose(int group, int digit);
    // Composes the code word, writes it, reads it back and shows the
    // meter's answer. The calibration code is only read: its send does
    // nothing.
    void sendCode();
    // The page's entry handling; `codeDigits` is the stored code as three
    // digits.
    void enter(const QString &codeDigits);
    // Whether the operator may leave the page for another one.
    bool canLeave() const;

    void adaptTo(const MeterIdentity &identity) override;
    // Reads the code from the meter into the groups.
    void loadAtDetection() override;
    // Takes the code the meter holds now as the stored code and shows its
    // digits, without running the options' handlers: nothing opens.
    void refresh() override;
    void distrustLoad() override { setCodeRead(false); }
    QList<SettingRegister> settings() const override;

    // For the code rules. The generic option handler: the group's digit
    // value becomes the option's.
    void setDigitFromOption(int group, int digit);
    // Sets a group's digit value without choosing an option.
    void setDigit(int group, int digit);
    // A digit the program shows from a code rather than an operator's
    // choice: the group takes its value and its option is checked without
    // running the option's handler.
    void takeDigit(int group, int digit);
    // Checks, without running a handler, the option that the group's digit
    // value stands for (none for a digit without an option).
    void showDigitValue(int group);
    // The options allow the send, or hold it back.
    void setSendAllowed(bool allowed);
    // Relabels one group; a caption of nullptr hides its option.
    void relabel(int group, const codetables::Relabel &relabel);
    void setLabel(int group, const QString &label);
    void setCaption(int group, int digit, const QString &caption);
    void setOptionEnabled(int group, int digit, bool enabled);
    // An option's value, which a choice gives its group (digit x 100, x 10, x 1).
    int optionValue(int group, int digit) const { return option(group, digit).value; }
    void setOptionValue(int group, int digit, int value) { option(group, digit).value = value; }
    void setHandler(int group, int digit, codetables::Handler handler) { option(group, digit).handler = handler; }

private:
    struct OptionState
    {
        QString caption;
        bool shown = true;
        bool enabled = true;
        int value = 0;
        codetables::Handler handler = codetables::Handler::SetDigit;
    };

    OptionState &option(int group, int digit) { return m_options[std::size_t(group)][std::size_t(digit)]; }
    const OptionState &option(int group, int digit) const { return m_options[std::size_t(group)][std::size_t(digit)]; }
    void runOption(int group, int digit);
    void setChecked(int group, int digit);
    void applyDigit(int group, QChar digit, bool fromMeter);
    void restore(const QString &digits);
    void takeCodeRead(const QString &replyValue);
    void setCodeRead(bool read);

    const Info &m_info;
    std::unique_ptr<CodeRules> m_rules;
    int m_storedCode;
    bool m_codeRead = false;
    bool m_sendAllowed = true;
    std::array<QString, Groups> m_labels;
    std::array<std::array<OptionState, Options>, Groups> m_options;
    std::array<int, Groups> m_checked{};
    std::array<int, Groups> m_digitValue{};
};

#pragma once

#include "codetables.h"
#include "pages/page.h"

#include <array>
#include <memory>

class CodeRules;
class KFactorPanel;
class PrescalerPanel;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// One setup-code page (Code 1 to Code 10, or the calibration code): three
// digit groups of eight options each and the send button. Each group keeps
// the digit value of the option chosen last; the page's tag is its
// StoredCode, the code last read from the meter. What a code adds to this
// lives in its CodeRules.
class CodePage : public Page
{
    Q_OBJECT
public:
    static constexpr int Groups = 3;
    static constexpr int Options = 8;
    static constexpr int CalibrationCode = 0;

    struct Info
    {
        int code;
        int reg;
        PageId page;
        const char *hint;
        const char *heading;
        const char *sendButton;
        std::array<const char *, Groups> groupNames;
        // Entering the page shows the code last read from the meter again.
        bool restoresOnEntry;
    };
    static const Info &info(int code);

    CodePage(const PageContext &context, int code, QWidget *parent = nullptr);
    ~CodePage() override;

    int code() const { return m_info.code; }
    int storedCode() const { return tag(); }
    // True once the code has been read from the meter (by a load or a send).
    bool codeRead() const { return m_codeRead; }

    // Groups are numbered 1 to 3 (first, second, third digit).
    QRadioButton *option(int group, int digit) const { return m_options[group - 1][digit]; }
    QLabel *featureLabel(int group) const { return m_labels[group - 1]; }
    QGroupBox *group(int group) const { return m_groups[group - 1]; }
    int digitValue(int group) const { return m_digitValue[group - 1]; }
    QPushButton *sendButton() const { return m_send; }
    KFactorPanel *kFactorPanel() const;
    PrescalerPanel *prescalerPanel() const;

    // Makes an option the checked one of its group as the program does: its
    // handler runs only when the option was not checked already.
    void chooseOption(int group, int digit);

    // Composes the code word from the three digit values, writes it, reads
    // it back and shows the meter's answer.
    void sendCode();
    // Reads the code from the meter into the page (detection).
    void loadFromMeter();

    void enter(const PageEntry &entry) override;
    bool canLeave() const override;
    void adaptTo(const MeterIdentity &identity) override;
    void loadAtDetection() override { loadFromMeter(); }
    void distrustLoad() override { setCodeRead(false); }

    // Enables or disables the send button as the options ask; it stays
    // disabled while the code has not been read since the meter was found.
    void setSendEnabled(bool enabled);

    // For the code rules; groups numbered 0 to 2.
    QRadioButton *optionAt(int group, int digit) const { return m_options[group][digit]; }
    QLabel *labelAt(int group) const { return m_labels[group]; }
    // The generic option handler: the group's digit value becomes the option's.
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
    // Checks an option without running its handler; the digit value stays.
    void checkQuietly(int group, int digit);
    // Binds another handler to an option (model adaptation).
    void setHandler(int group, int digit, codetables::Handler handler) { m_handlers[group][digit] = handler; }
    // Relabels one digit group; a caption of nullptr hides its option.
    void relabel(int group, const codetables::Relabel &relabel);
    // Sizes the groups to their captions after a change of captions.
    void fitGroups();
    // Button captions show "&" literally instead of as a mnemonic marker.
    static QString buttonText(const char *caption);

private:
    void buildGroups();
    void userChose(int group, int digit);
    void runOption(int group, int digit);
    void uncheckGroup(int group);
    void applyDigit(int group, QChar digit, bool fromMeter);
    void restore(const QString &digits);
    void showCodeRead(const QString &replyValue);
    void setCodeRead(bool read);

    const Info &m_info;
    std::unique_ptr<CodeRules> m_rules;
    bool m_codeRead = false;
    bool m_sendWanted = true;
    std::array<int, Groups> m_digitValue{};
    std::array<QGroupBox *, Groups> m_groups{};
    std::array<QLabel *, Groups> m_labels{};
    std::array<QButtonGroup *, Groups> m_buttons{};
    std::array<std::array<QRadioButton *, Options>, Groups> m_options{};
    std::array<std::array<codetables::Handler, Options>, Groups> m_handlers{};
    QPushButton *m_send = nullptr;
};

#pragma once

#include "codetables.h"
#include "link/meterdetector.h"
#include "pages/page.h"

#include <array>

class KFactorPanel;
class PrescalerPanel;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

// One setup-code page (Code 1 to Code 10, or the calibration code): three
// digit groups of eight options each and the send button. Each group keeps
// the digit value of the option chosen last; the page's tag is its
// StoredCode, the code last read from the meter.
enum class Code10Mode { Bargraph, ExtraDisplays };

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
    };
    static const Info &info(int code);

    CodePage(const PageContext &context, int code, QWidget *parent = nullptr);

    int code() const { return m_info.code; }
    int StoredCode() const { return tag(); }
    // True once the code has been read from the meter (by a load or a send).
    bool codeRead() const { return m_codeRead; }

    // Groups are numbered 1 to 3 (first, second, third digit).
    QRadioButton *option(int group, int digit) const { return m_options[group - 1][digit]; }
    QLabel *featureLabel(int group) const { return m_labels[group - 1]; }
    QGroupBox *group(int group) const { return m_groups[group - 1]; }
    int DigitValue(int group) const { return m_digitValue[group - 1]; }
    QPushButton *sendButton() const { return m_send; }
    KFactorPanel *kFactorPanel() const { return m_kFactor; }
    PrescalerPanel *prescalerPanel() const { return m_prescaler; }

    // Makes an option the checked one of its group as the program does: its
    // handler runs only when the option was not checked already.
    void chooseOption(int group, int digit);

    // Composes the code word from the three digit values, writes it, reads
    // it back and shows the meter's answer.
    void SetCode();
    // Reads the code from the meter into the page (detection).
    void loadFromMeter();

    void enter(const PageEntry &entry) override;
    // A Code 2 page holding a tare code (first digit 1 to 3) cannot be left.
    bool canLeave() const override;
    // Code 10: bargraph meters and meters with extra displays show the page.
    void adaptTo(const MeterIdentity &identity) override;
    void loadAtDetection() override { loadFromMeter(); }

    // Code 10 only: relabels the page for a bargraph or for extra displays.
    void adaptCode10(Code10Mode mode);

private:
    void buildGroups();
    void buildPanels();
    void buildCode10Extras();
    void userChose(int group, int digit);
    void runOption(int group, int digit);
    void setDigitFromOption(int group, int digit);
    void uncheckGroup(int group);
    void applyDigit(int group, QChar digit, bool fromMeter);
    void restore(const QString &digits);
    void showCodeRead(const QString &replyValue);
    void relabel(int group, const codetables::Relabel &relabel);
    void setCode6TabFromSampling(int samplingDigit);

    // Option handlers (groups 0-based here).
    void OnClickCode1(int group, int digit);
    void OnClickCode2(int group, int digit);
    void OnClickCode41(int group, int digit);
    void OnClickCode42(int group, int digit);
    void OnClick43x(int group, int digit);
    void OnClickCode6(int group, int digit);
    void OnClickCode81(int group, int digit);
    void OnClick103x(int group, int digit);
    void enterCode8();

    const Info &m_info;
    bool m_codeRead = false;
    bool m_extraDisplays = false;
    std::array<int, Groups> m_digitValue{};
    std::array<QGroupBox *, Groups> m_groups{};
    std::array<QLabel *, Groups> m_labels{};
    std::array<QButtonGroup *, Groups> m_buttons{};
    std::array<std::array<QRadioButton *, Options>, Groups> m_options{};
    std::array<std::array<codetables::Handler, Options>, Groups> m_handlers{};
    QPushButton *m_send = nullptr;
    KFactorPanel *m_kFactor = nullptr;
    PrescalerPanel *m_prescaler = nullptr;
    QLineEdit *m_barLow = nullptr;
    QLineEdit *m_barHigh = nullptr;
    QLineEdit *m_barZero = nullptr;
    QSlider *m_barZeroPosition = nullptr;
    QLineEdit *m_secondSource = nullptr;
    QLineEdit *m_thirdSource = nullptr;
};

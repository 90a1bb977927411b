#pragma once

#include "link/meterdetector.h"
#include "pages/page.h"

#include <array>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

// One setup-code page (Code 1 to Code 10): three digit groups of eight
// options each and the send button. Its tag is the page's StoredCode.
class CodePage : public Page
{
    Q_OBJECT
public:
    static constexpr int Groups = 3;
    static constexpr int Options = 8;

    struct Info
    {
        int code;
        int reg;
        int pageIndex;
        const char *hint;
        const char *heading;
        const char *sendButton;
        std::array<const char *, Groups> groupNames;
    };
    static const Info &info(int code);

    CodePage(const PageContext &context, int code, QWidget *parent = nullptr);

    int code() const { return m_info.code; }
    int StoredCode() const { return tag(); }
    QRadioButton *option(int group, int digit) const { return m_options[group - 1][digit]; }
    QLabel *featureLabel(int group) const { return m_labels[group - 1]; }

    // Code 10 only: relabels the page for a bargraph or for extra displays.
    void adaptCode10(Code10Mode mode);

private:
    void buildCode10Extras();

    const Info &m_info;
    std::array<QGroupBox *, Groups> m_groups{};
    std::array<QLabel *, Groups> m_labels{};
    std::array<std::array<QRadioButton *, Options>, Groups> m_options{};
    QPushButton *m_send = nullptr;
    QLineEdit *m_barLow = nullptr;
    QLineEdit *m_barHigh = nullptr;
    QLineEdit *m_barZero = nullptr;
    QSlider *m_barZeroPosition = nullptr;
    QLineEdit *m_secondSource = nullptr;
    QLineEdit *m_thirdSource = nullptr;
};

#pragma once

#include "pages/pagemodel.h"

#include <QString>
#include <array>

class MeterClockModel;

// The Advanced Functions page without widgets: the three lockout masks
// (registers 705 to 707), the sixteen display texts and the print string
// (letter registers H to X), and the meter clock. Entering the page reads
// the masks, then the texts; a box the operator changes writes its whole
// mask, a text is written when the operator leaves it after an edit.
class AdvancedModel : public PageModel
{
    Q_OBJECT
public:
    static constexpr int Masks = 3;
    static constexpr int Bits = 16;
    static constexpr int PageMask = 0; // 705: Lock message, Calibration, the code pages
    static constexpr int Code10Bit = 13;

    struct Mask
    {
        int reg;
        // The bits that have a box; a write counts only these.
        quint16 boxes;
        // Boxes never shown: they keep their bits as the meter last reported them.
        quint16 kept;
        // Written as a signed 16-bit number (bit 15 is the sign).
        bool signedWord;
    };
    static const std::array<Mask, Masks> &masks();

    struct DisplayText
    {
        char letter;
        const char *creationText;
        const char *item; // what the meter shows it for
    };
    // In the order the page reads them: H, I, J, K, T .. W, R, S, L .. Q.
    static constexpr int Texts = 16;
    static const std::array<DisplayText, Texts> &displayTexts();
    static constexpr char PrintLetter = 'X';

    explicit AdvancedModel(const ModelContext &context, QObject *parent = nullptr);

    // --- Lockouts
    bool isChecked(int mask, int bit) const { return m_masks[std::size_t(mask)] & (1u << bit); }
    // Whether the mask was read since the page was last entered; until it
    // is, nothing of it is written, so that a read-back stopped part way, or
    // none, never sends the creation defaults.
    bool isMaskRead(int mask) const { return m_maskRead[std::size_t(mask)]; }
    // The operator changed a box: the whole mask is written, built once the
    // line is free from the boxes as they are then, so quick changes leave
    // the meter with the mask shown. Kept bits do not change.
    void setChecked(int mask, int bit, bool checked);
    // Models with a Code 10 page (bargraph or extra displays) have its
    // lockout row, for good; register 705 then counts one bit further.
    bool hasCode10Row() const { return m_pageLockLimit > Code10Bit; }
    int pageLockLimit() const { return m_pageLockLimit; }

    // --- Display texts and the print string
    QString displayText(int index) const { return m_texts[std::size_t(index)].text; }
    bool isDisplayTextRead(int index) const { return m_texts[std::size_t(index)].read; }
    // The operator's edit; written when the field is left.
    void editDisplayText(int index, const QString &text);
    // Leaving the field: an edit is written once, as exactly six characters,
    // which the field then shows.
    void leaveDisplayText(int index);
    QString printString() const { return m_print.text; }
    bool isPrintStringRead() const { return m_print.read; }
    void editPrintString(const QString &text);
    // Leaving the field: only the operator's edit is sent, since the text as
    // read may not survive the trip back (a reply ends at its first CR LF).
    void leavePrintString();

    MeterClockModel &clock() const { return *m_clock; }

    // The page's entry: the masks, then the texts, then the framer woken in
    // case it timed out. A reply that is no number stops it there.
    void enter();

    void adaptTo(const MeterIdentity &identity) override;
    // Reads the masks and texts again if the page has read them.
    void refresh() override;
    QList<SettingRegister> settings() const override;

private:
    struct Text
    {
        QString text;
        bool modified = false;
        bool read = false;
    };

    void holdUnread();
    void readLockouts();
    void readTexts();
    quint16 countedBits(int mask) const;

    std::array<quint16, Masks> m_masks{};
    std::array<bool, Masks> m_maskRead{};
    int m_pageLockLimit = 13;
    std::array<Text, Texts> m_texts;
    Text m_print;
    MeterClockModel *m_clock = nullptr;
};

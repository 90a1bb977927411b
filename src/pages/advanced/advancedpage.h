#pragma once

#include "pages/page.h"

#include <array>

class MeterClockPanel;
class PrintStringEdit;
class QCheckBox;
class QLabel;
class QLineEdit;
struct MeterIdentity;

// The "Advanced Functions" page: the three lockout masks (registers 705 to
// 707) as check boxes, the sixteen display texts and the print string
// (letter registers H to X), and the meter clock controls.
class AdvancedPage : public Page
{
    Q_OBJECT
public:
    static constexpr int Masks = 3;
    static constexpr int Bits = 16;

    explicit AdvancedPage(const PageContext &context, QWidget *parent = nullptr);

    // Models with a Code 10 page (bargraph or extra displays) also have its
    // lockout row, for good, and the lockable pages run one further.
    void adaptTo(const MeterIdentity &identity) override;
    // Reads the masks, then the texts, then wakes a framer that may have
    // timed out.
    void enter(const PageEntry &entry) override;

    // Write the whole mask of register 705, 706 or 707 after the operator
    // changed one of its boxes.
    void writePageLockouts();
    void writeSetpointLockouts();
    void writeDisplayLockouts();
    // Leaving a display-text field: writes it once per edit.
    void writeDisplayText(QLineEdit *field);
    // Leaving the print-string field: writes it once per edit.
    void writePrintString();

    MeterClockPanel *clock() const { return m_clock; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildGroups();
    // Nothing is written that was not read since the page was entered: the
    // controls stay disabled until the read-back reaches them, so that a
    // read-back stopped part way, or none, never sends creation defaults.
    void holdUnread();
    void readLockouts();
    void readTexts();
    void setMaskReadable(int mask, bool readable);
    void writeMask(int mask);
    // The boxes a write of the mask counts: register 705 counts "Code 10"
    // only where its row is shown.
    quint16 countedBits(int mask) const;
    quint16 checkedBits(int mask) const;

    std::array<std::array<QCheckBox *, Bits>, Masks> m_boxes{};
    // Bits with a box the operator can see (or, for Code 10, be shown).
    std::array<quint16, Masks> m_shownBits{};
    // Whether the mask was read since the page was last entered.
    std::array<bool, Masks> m_read{};
    std::array<QLineEdit *, 16> m_texts{};
    QLabel *m_code10Label = nullptr;
    PrintStringEdit *m_print = nullptr;
    MeterClockPanel *m_clock = nullptr;
};

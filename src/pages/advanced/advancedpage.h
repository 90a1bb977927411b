#pragma once

#include "advancedmodel.h"

#include "pages/page.h"

#include <array>

class MeterClockPanel;
class PrintStringEdit;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;

// The "Advanced Functions" page: the three lockout masks (registers 705 to
// 707) as check boxes, the sixteen display texts and the print string
// (letter registers H to X), and the meter clock controls. It shows its
// model and passes the operator's changes to it.
class AdvancedPage : public Page
{
    Q_OBJECT
public:
    explicit AdvancedPage(const PageContext &context, QWidget *parent = nullptr);

    // Reads the masks, then the texts.
    void enter(const PageEntry &entry) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildGroups();
    void buildBoxes(QGridLayout *const grids[]);
    void buildTexts(QGridLayout *const grids[]);
    // Shows the model: the boxes, the texts, and what is enabled (a control
    // waits for the read-back to reach it).
    void showModel();

    AdvancedModel &m_model;
    std::array<std::array<QCheckBox *, AdvancedModel::Bits>, AdvancedModel::Masks> m_boxes{};
    std::array<QLineEdit *, AdvancedModel::Texts> m_texts{};
    QLabel *m_code10Label = nullptr;
    PrintStringEdit *m_print = nullptr;
    MeterClockPanel *m_clock = nullptr;
};

#pragma once

#include "pages/page.h"

class QButtonGroup;
class QGroupBox;
class QRadioButton;

// The "Brightness" page: one radio group whose item index is the display
// brightness (register 148); every change of the selection is written at once.
class BrightnessPage : public Page
{
    Q_OBJECT
public:
    static constexpr int Levels = 8;
    static constexpr int DefaultLevel = 5;

    explicit BrightnessPage(const PageContext &context, QWidget *parent = nullptr);

    // Detection's brightness load: selects the meter's brightness, writing it
    // back when it differs from the item shown, and fills the summary cell.
    void loadBrightness();
    void loadAtDetection() override { loadBrightness(); }
    // The selection handler: writes the selected item.
    void Change_Brightness();

    // -1 when no item is selected.
    int selected() const;
    QRadioButton *item(int index) const;
    QGroupBox *group() const { return m_box; }

private:
    QGroupBox *m_box = nullptr;
    QButtonGroup *m_items = nullptr;
};

#pragma once

#include "pages/page.h"

class BrightnessModel;
class QButtonGroup;
class QGroupBox;

// The "Brightness" page: one radio group whose item index is the display
// brightness; every change of the selection goes to the model, which writes it.
class BrightnessPage : public Page
{
    Q_OBJECT
public:
    explicit BrightnessPage(const PageContext &context, QWidget *parent = nullptr);

private:
    // Shows the model's level; no item when it is -1.
    void showLevel();

    BrightnessModel &m_model;
    QGroupBox *m_box = nullptr;
    QButtonGroup *m_items = nullptr;
};

#pragma once

#include "pages/page.h"

class QCheckBox;
class QLabel;

// The "Advanced Functions" page: lockouts, display texts, print string and
// the meter clock.
class AdvancedPage : public Page
{
    Q_OBJECT
public:
    explicit AdvancedPage(const PageContext &context, QWidget *parent = nullptr);

    // Models with a Code 10 page also have its lockout.
    void showCode10Lockout();

private:
    QLabel *m_code10Label = nullptr;
    QCheckBox *m_code10Lockout = nullptr;
};

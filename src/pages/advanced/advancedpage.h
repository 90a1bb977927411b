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

    // Models with a Code 10 page (bargraph or extra displays) also have its
    // lockout, and the lockable pages run one further.
    void adaptTo(const MeterIdentity &identity) override;
    // Ends by waking a framer that may have timed out.
    void enter(const PageEntry &entry) override;

private:
    QLabel *m_code10Label = nullptr;
    QCheckBox *m_code10Lockout = nullptr;
};

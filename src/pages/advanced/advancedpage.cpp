#include "advancedpage.h"

#include "link/commandexchange.h"
#include "link/meterdetector.h"
#include "link/replyframer.h"

#include <QCheckBox>
#include <QLabel>

AdvancedPage::AdvancedPage(const PageContext &context, QWidget *parent)
    : Page(context, QStringLiteral("TabSheet16"), parent)
{
    addHeading(this, QStringLiteral("Advanced Functions"));
    m_code10Label = new QLabel(QStringLiteral("Code 10"), this);
    m_code10Label->setObjectName(QStringLiteral("Label56"));
    m_code10Label->move(8, 60);
    m_code10Label->hide();
    m_code10Lockout = new QCheckBox(this);
    m_code10Lockout->setObjectName(QStringLiteral("CheckBox1613"));
    m_code10Lockout->setAccessibleName(QStringLiteral("Lock Code 10"));
    m_code10Lockout->move(80, 58);
    m_code10Lockout->hide();
}

void AdvancedPage::adaptTo(const MeterIdentity &identity)
{
    if (!identity.hasOption("B") && !identity.hasOption("3"))
        return;
    m_code10Label->show();
    m_code10Lockout->show();
    context().shared->PageLockLimit = 14;
}

void AdvancedPage::enter(const PageEntry &)
{
    context().exchange->framer()->enable();
}

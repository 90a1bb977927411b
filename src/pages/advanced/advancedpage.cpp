#include "advancedpage.h"

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

void AdvancedPage::showCode10Lockout()
{
    m_code10Label->show();
    m_code10Lockout->show();
}

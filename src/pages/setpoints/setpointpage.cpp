#include "setpointpage.h"

SetpointPage::SetpointPage(const PageContext &context, QWidget *parent) : Page(context, QStringLiteral("TabSheet13"), parent)
{
    addHeading(this, QStringLiteral("Setpoint Control"));
}

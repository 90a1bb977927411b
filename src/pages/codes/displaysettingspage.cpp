#include "displaysettingspage.h"

DisplaySettingsPage::DisplaySettingsPage(const PageContext &context, QWidget *parent) : Page(context, QStringLiteral("TabSheet19"), parent)
{
    addHeading(this, QStringLiteral("Display Settings"));
}

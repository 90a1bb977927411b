#include "brightnesspage.h"

BrightnessPage::BrightnessPage(const PageContext &context, QWidget *parent) : Page(context, QStringLiteral("TabSheet3"), parent)
{
    addHeading(this, QStringLiteral("Brightness"));
}

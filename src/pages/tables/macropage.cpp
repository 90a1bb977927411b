#include "macropage.h"

MacroPage::MacroPage(const PageContext &context, QWidget *parent) : Page(context, QStringLiteral("TabSheet17"), parent)
{
    addHeading(this, QStringLiteral("Macros"));
}

#include "scaleoffsetpage.h"

ScaleOffsetPage::ScaleOffsetPage(const PageContext &context, QWidget *parent) : Page(context, QStringLiteral("TabSheet2"), parent)
{
    addHeading(this, QStringLiteral("Scale & Offset"));
}

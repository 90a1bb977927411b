#include "mathpage.h"

MathPage::MathPage(const PageContext &context, QWidget *parent) : Page(context, QStringLiteral("TabSheet14"), parent)
{
    addHeading(this, QStringLiteral("Math Functions"));
}

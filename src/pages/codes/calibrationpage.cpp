#include "calibrationpage.h"

CalibrationPage::CalibrationPage(const PageContext &context, QWidget *parent) : Page(context, QStringLiteral("TabSheet4"), parent)
{
    addHeading(this, QStringLiteral("Calibration"));
}

#pragma once

#include "pages/page.h"

// The "Calibration" page; its controls and meter traffic come with its own work.
class CalibrationPage : public Page
{
    Q_OBJECT
public:
    explicit CalibrationPage(const PageContext &context, QWidget *parent = nullptr);
};

#pragma once

#include "pages/page.h"

// The "Brightness" page; its controls and meter traffic come with its own work.
class BrightnessPage : public Page
{
    Q_OBJECT
public:
    explicit BrightnessPage(const PageContext &context, QWidget *parent = nullptr);
};

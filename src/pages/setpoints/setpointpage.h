#pragma once

#include "pages/page.h"

// The "Setpoint Control" page; its controls and meter traffic come with its own work.
class SetpointPage : public Page
{
    Q_OBJECT
public:
    explicit SetpointPage(const PageContext &context, QWidget *parent = nullptr);
};

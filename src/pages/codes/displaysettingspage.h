#pragma once

#include "pages/page.h"

// The "Display Settings" page; its controls and meter traffic come with its own work.
class DisplaySettingsPage : public Page
{
    Q_OBJECT
public:
    explicit DisplaySettingsPage(const PageContext &context, QWidget *parent = nullptr);
};

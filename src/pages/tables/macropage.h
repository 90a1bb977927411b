#pragma once

#include "pages/page.h"

// The "Macros" page; its controls and meter traffic come with its own work.
class MacroPage : public Page
{
    Q_OBJECT
public:
    explicit MacroPage(const PageContext &context, QWidget *parent = nullptr);
};

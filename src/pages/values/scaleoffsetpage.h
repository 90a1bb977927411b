#pragma once

#include "pages/page.h"

// The "Scale & Offset" page; its controls and meter traffic come with its own work.
class ScaleOffsetPage : public Page
{
    Q_OBJECT
public:
    explicit ScaleOffsetPage(const PageContext &context, QWidget *parent = nullptr);
};

#pragma once

#include "pages/page.h"

// The "Math Functions" page; its controls and meter traffic come with its own work.
class MathPage : public Page
{
    Q_OBJECT
public:
    explicit MathPage(const PageContext &context, QWidget *parent = nullptr);
};

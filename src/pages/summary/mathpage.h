#pragma once

#include "pages/page.h"

// The "Math Functions" page: a heading and three formulas. Its tab is never
// shown and it talks to no meter.
class MathPage : public Page
{
    Q_OBJECT
public:
    explicit MathPage(const PageContext &context, QWidget *parent = nullptr);
};

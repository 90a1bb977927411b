#pragma once

#include "codemodel.h"
#include "codepage.h"

// The "Calibration" page: the meter's calibration code laid out like a code
// page. Its tab stays hidden and its send button has no action; the code is
// only read, for the summary.
class CalibrationPage : public CodePage
{
    Q_OBJECT
public:
    explicit CalibrationPage(const PageContext &context, QWidget *parent = nullptr)
        : CodePage(context, CodeModel::CalibrationCode, parent)
    {}
};

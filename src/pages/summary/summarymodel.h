#pragma once

#include "pages/pagemodel.h"

// The Summary page's cells in the setup's summary grid: the row labels, the
// meter's identity from detection, and the fill that reads the other
// settings each time the page is entered. Nothing of the fill is cached.
class SummaryModel : public PageModel
{
    Q_OBJECT
public:
    // Puts the row labels into the grid.
    explicit SummaryModel(const ModelContext &context, QObject *parent = nullptr);

    // Reads every register the grid shows, each cell written as its reply
    // comes in, so a failed conversion leaves the cells before it filled.
    void fill();
    // Detection's last step: the meter's identity rows.
    void loadAtDetection() override;
};

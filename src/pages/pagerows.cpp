#include "pagerows.h"

#include "advanced/advancedmodel.h"
#include "codes/brightnessmodel.h"
#include "setpoints/setpointmodel.h"
#include "summary/summarymodel.h"
#include "tables/linearizationmodel.h"
#include "tables/macromodel.h"
#include "values/scaleoffsetmodel.h"

namespace {

template<typename T>
PageModel *make(const ModelContext &context)
{
    return new T(context);
}

const std::array<PageRow, PageCount> Rows = {{
    {PageId::DisplayValue, "Display Value", "Display Value", true, nullptr},
    {PageId::ScaleOffset, "Scale & Offset", "Scale and Offset", true, make<ScaleOffsetModel>},
    {PageId::Brightness, "Brightness", "Brightness", true, make<BrightnessModel>},
    {PageId::Calibration, "Calibration", "Calibration", false, nullptr},
    {PageId::DisplaySettings, "Display Settings", "Display Settings", false, nullptr},
    {PageId::Code1, "Code 1 - 000", "Display Setup", true, nullptr},
    {PageId::Code2, "Code 2 - 000", "Totalisator", true, nullptr},
    {PageId::Code3, "Code 3 - 000", "Analog Output", true, nullptr},
    {PageId::Code4, "Code 4 - 000", "Channel 1 Setup", true, nullptr},
    {PageId::Code5, "Code 5 - 000", "Channel 1 Processing", true, nullptr},
    {PageId::Code6, "Code 6 - 000", "Channel 2 Setup", true, nullptr},
    {PageId::Code7, "Code 7 - 000", "Result Processing", true, nullptr},
    {PageId::Code8, "Code 8 - 000", "Data Logging & Print Mode", true, nullptr},
    {PageId::Code9, "Code 9 - 000", "Digital Input Setup", true, nullptr},
    {PageId::Code10, "Code 10 - 000", "Bargraph Setup", false, nullptr},
    // This tab shows no hint.
    {PageId::Setpoints, "Setpoint Control", "", true, make<SetpointModel>},
    {PageId::Math, "Math Functions", "Math Functions", false, nullptr},
    {PageId::Linearization, "Linearization Tables", "Linearization Tables", true, make<LinearizationModel>},
    {PageId::Macros, "Macros", "Macro", true, make<MacroModel>},
    {PageId::Advanced, "Advanced Functions", "Advanced Functions", true, make<AdvancedModel>},
    {PageId::Summary, "Summary", "Summary", true, make<SummaryModel>},
}};

} // namespace

const std::array<PageRow, PageCount> &pageRows()
{
    return Rows;
}

const PageRow &pageRow(PageId id)
{
    return Rows[std::size_t(pageIndex(id))];
}

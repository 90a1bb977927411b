#include "pagerows.h"

#include "advanced/advancedmodel.h"
#include "codes/brightnessmodel.h"
#include "codes/codemodel.h"
#include "codes/displaysettingsmodel.h"
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

template<int Code>
PageModel *makeCode(const ModelContext &context)
{
    return new CodeModel(Code, context);
}

const std::array<PageRow, PageCount> Rows = {{
    {PageId::DisplayValue, "Display Value", "Display Value", true, nullptr},
    {PageId::ScaleOffset, "Scale & Offset", "Scale and Offset", true, make<ScaleOffsetModel>},
    {PageId::Brightness, "Brightness", "Brightness", true, make<BrightnessModel>},
    {PageId::Calibration, "Calibration", "Calibration", false, makeCode<CodeModel::CalibrationCode>},
    {PageId::DisplaySettings, "Display Settings", "Display Settings", false, make<DisplaySettingsModel>},
    {PageId::Code1, "Code 1 - 000", "Display Setup", true, makeCode<1>},
    {PageId::Code2, "Code 2 - 000", "Totalisator", true, makeCode<2>},
    {PageId::Code3, "Code 3 - 000", "Analog Output", true, makeCode<3>},
    {PageId::Code4, "Code 4 - 000", "Channel 1 Setup", true, makeCode<4>},
    {PageId::Code5, "Code 5 - 000", "Channel 1 Processing", true, makeCode<5>},
    {PageId::Code6, "Code 6 - 000", "Channel 2 Setup", true, makeCode<6>},
    {PageId::Code7, "Code 7 - 000", "Result Processing", true, makeCode<7>},
    {PageId::Code8, "Code 8 - 000", "Data Logging & Print Mode", true, makeCode<8>},
    {PageId::Code9, "Code 9 - 000", "Digital Input Setup", true, makeCode<9>},
    {PageId::Code10, "Code 10 - 000", "Bargraph Setup", false, makeCode<10>},
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

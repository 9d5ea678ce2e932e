#include "foundation/Branding.h"

#include "foundation/AppTexts.h"

namespace zav {

namespace {

// Every variant sells the same nine models; they differ in version label and default password.
constexpr std::array<const char*, kModelItemCount> kModelItems = {
    "Auto", "3/3 Modular L(10-600kVA)", "3/3 Modular(10-200kVA)", "3/3 Tower(40-200kVA)",
    "3/3 Tower X(10-40kVA)", "3/3 Tower(10-30kVA)", "3/1 Tower(10-20kVA)",
    "31/11 Tower X(6-20kVA)", "1/1 Tower(6-20kVA)", "1/1 Tower(1-3kVA)"};

const BrandingRow kRows[kBrandingRowCount] = {
    {kModelItems, "Version 1.92", "20190318"},
    {kModelItems, "Version 1.92_EC", "73019264"},
    {kModelItems, "Version 1.92_PT", "51862039"},
    {kModelItems, "Version 1.92_SV", "64170385"},
    {kModelItems, "Version 1.92_TK", "39025716"},
    {kModelItems, "Version 1.92_RU", "82643150"},
};

const BrandingColumn kColumns[kBrandingColumnCount] = {
    {{"ZAV UPS监控软件", "ZAV UPS Monitor", "ZAV UPS監控軟體"},
     false, true, true, true, true, QPoint(40, 40), QPoint(40, 80)},
    {{"UPS电源监控", "UPS POWER ZAV", "UPS电源监控"},
     true, false, false, false, false, QPoint(260, 150), QPoint(260, 190)},
    {{"UPS监控系统", "UPS Monitor", "UPS監控系統"},
     true, false, false, false, false, QPoint(260, 150), QPoint(260, 190)},
};

int clampIndex(int value, int count) { return (value >= 0 && value < count) ? value : 1; }

} // namespace

const BrandingRow& brandingRow(int row) { return kRows[clampIndex(row, kBrandingRowCount)]; }

const BrandingColumn& brandingColumn(int column) {
    return kColumns[clampIndex(column, kBrandingColumnCount)];
}

QString brandingTitle(int language, int column) {
    return QString::fromUtf8(brandingColumn(column).titles[clampLanguage(language)]);
}

QStringList brandingModelItems(int row) {
    QStringList items;
    for (const char* item : brandingRow(row).modelItems) items << QString::fromUtf8(item);
    return items;
}

QString brandingVersionLabel(int row) { return QString::fromUtf8(brandingRow(row).versionLabel); }

QString brandingDefaultPassword(int row) { return QString::fromUtf8(brandingRow(row).defaultPassword); }

} // namespace zav

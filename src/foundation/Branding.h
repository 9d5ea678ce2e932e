#pragma once
// Branding: which customer variant this build shows. The row picks the model list, the version
// label and the default password; the column picks the window title, the header images and the
// maker texts of the Help and About pages. Both are fixed for the whole run.

#include <QPoint>
#include <array>
#include <QString>
#include <QStringList>

namespace zav {

inline constexpr int kBrandingRowCount = 6;
inline constexpr int kBrandingColumnCount = 3;
inline constexpr int kBrandingRow = 1;    // set when the program starts
inline constexpr int kBrandingColumn = 1; // set by the main window's creation; 0 is the maker's own
inline constexpr int kModelItemCount = 10; // "Auto" and the nine models

struct BrandingRow {
    const std::array<const char*, kModelItemCount>& modelItems; // ComboBoxUpsType; item k + 1 is UpsModel k
    const char* versionLabel;                // Label12 on the About page
    const char* defaultPassword;
};

struct BrandingColumn {
    const char* titles[3];      // by language: application title, window caption, Label11
    bool customerLogo;          // ImageCustomerLogo
    bool makerHeader;           // Image8
    bool languageLabels;        // Image1, ImageEnglandFlag, LabelChinese, LabelEnglish
    bool makerTexts;            // Help contact line; About rights notice, web address, company image
    bool scodeTriggerTab;       // the trigger-control tab of the maintenance-code page
    QPoint titlePos, versionPos; // Label11, Label12 on the About page
};

const BrandingRow& brandingRow(int row = kBrandingRow);
const BrandingColumn& brandingColumn(int column = kBrandingColumn);

// Title table [language x 3 + column].
QString brandingTitle(int language, int column = kBrandingColumn);
QStringList brandingModelItems(int row = kBrandingRow);
QString brandingVersionLabel(int row = kBrandingRow);
QString brandingDefaultPassword(int row = kBrandingRow);

} // namespace zav

#include "settings/FieldData.h"

#include "settings/FieldDataNames.h"
#include "settings/SettingRows.h"

#include <array>
#include <utility>

namespace zav {

RegisterStore* FieldSnapshot::storeOf(int reg) {
    for (RegisterStore* s : {&LiveData, &LiveStatus, &ModuleData, &ModuleStatus, &SettingData})
        if (s->contains(reg)) return s;
    return nullptr;
}

const RegisterStore* FieldSnapshot::storeOf(int reg) const {
    return const_cast<FieldSnapshot*>(this)->storeOf(reg);
}

void FieldSnapshot::takeLive(const LiveStores& live) {
    LiveData = live.LiveData;
    LiveStatus = live.LiveStatus;
    ModuleData = live.ModuleData;
    ModuleStatus = live.ModuleStatus;
}

void FieldSnapshot::giveLive(LiveStores& live) const {
    live.LiveData = LiveData;
    live.LiveStatus = LiveStatus;
    live.ModuleData = ModuleData;
    live.ModuleStatus = ModuleStatus;
    live.updateModulePresence();
}

void copyGrid(const TextGrid& from, TextGrid& to) {
    for (int r = 0; r < std::min(from.rows(), to.rows()); ++r)
        for (int c = 0; c < std::min(from.columns(), to.columns()); ++c) to.set(c, r, from.at(c, r));
}

namespace {

const char* const kSheetNames[4][3] = {
    {"遥测量", "Analog Data", "遥测量"},
    {"遥信量", "Status Data", "遥信量"},
    {"设置寄存器", "Setting Register", "设置寄存器"},
    {"下载历史记录", "History log", "下载历史记录"},
};
const char* const kTitles[3][3] = {
    {"寄存器号", "Register Number", "寄存器號"},
    {"名称", "Name", "名稱"},
    {"寄存器值", "Register Value", "寄存器值"},
};
const char* const kHeadings[2][3] = {
    {"以下为模块数据", "The flowing is module data", "以下為模組資料"},
    {"以下为模块告警量综合", "The flowing is integrated module alarm data", "以下為模組告警量綜合"},
};

int lang(int language) { return language >= 0 && language <= 2 ? language : 1; }

} // namespace

QString fieldRegisterName(int reg, int language, int model) {
    language = lang(language);
    if (reg >= 3071 && reg <= 3190) {
        const int i = reg - 3071;
        return QStringLiteral("# %1 integrated alarm register%2").arg(i / 4 + 1).arg(i % 4 + 1);
    }
    if (reg >= 301 && reg <= 480) {
        static const RegisterStore none{301, 480};
        for (const SettingRow& row : settingRows())
            if (reg >= row.reg && reg < row.reg + row.regCount && rowExists(row, model))
                return rowCaption(row, model, language, none).trimmed();
        return language == 1 ? QStringLiteral("Reserved") : QStringLiteral("（保留）");
    }
    return liveRegisterName(reg, language);
}

QString fieldSheetName(int sheet, int language) {
    return sheet >= 1 && sheet <= 4 ? QString::fromUtf8(kSheetNames[sheet - 1][lang(language)]) : QString();
}

QString fieldColumnTitle(int column, int language) {
    return column >= 0 && column <= 2 ? QString::fromUtf8(kTitles[column][lang(language)]) : QString();
}

QString fieldModuleHeading(int sheet, int language) {
    return sheet >= 1 && sheet <= 2 ? QString::fromUtf8(kHeadings[sheet - 1][lang(language)]) : QString();
}

QString fieldDataSavedText(const QString& path, int language) {
    static const char* const kSaved[3] = {"数据已保存到 %1", "Data saved to %1", "數據已保存到 %1"};
    const int l = language >= 0 && language <= 2 ? language : 1;
    return QString::fromUtf8(kSaved[l]).arg(path);
}

} // namespace zav

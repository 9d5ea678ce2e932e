// One check of a value against its control, run by every writer: for every writable entry field of
// every model, a value its field refuses (past its range, or longer than the field takes) is
// refused by the workbook transfer, by a typed value as `zavctl set` puts it in, and by NUT SET VAR.
// The UPS's own registers (the virtual UPS) are the starting point, as on a real unit.

#include "SettingsBank.h"
#include "SimSettings.h"
#include "VirtualUps.h"
#include "settings/FieldDataRestore.h"
#include "settings/SettingRows.h"
#include "settings/SettingStores.h"
#include "settings/SettingWrites.h"
#include "zavd/NutSettings.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zav;
using namespace zav::sim;
using zav::test::simSettings;

namespace {

const QDateTime kNow(QDate(2026, 12, 10), QTime(14, 0));
constexpr int EN = 1;
constexpr uint16_t kType = 1234;

int fieldMaxOf(const SettingRow& row) { return row.width >= 16 ? 0xFFFF : int((1u << row.width) - 1u); }

uint16_t withField(const SettingRow& row, uint16_t word, int value) {
    const int mask = fieldMaxOf(row);
    return uint16_t((word & ~(mask << row.shift)) | ((value & mask) << row.shift));
}

// A value the row's field must refuse, or -1 when the field takes every value of its bits.
int refusedValue(const SettingRow& row, int model, const RegisterStore& data, const FormState& form) {
    const Limits limits = rowLimits(row, model, data, form);
    int value = -1;
    if (limits.bounded) value = limits.max + 1;
    else if (row.maxLength > 0 && row.filter != InputFilter::Decimal) {
        value = 1;
        for (int i = 0; i < row.maxLength; ++i) value *= 10;
    }
    return value >= 0 && value <= fieldMaxOf(row) ? value : -1;
}

} // namespace

TEST(WriteChecks, EveryWriterRefusesWhatAnEntryFieldRefuses) {
    int rowsChecked = 0;
    for (int model = 0; model <= 8; ++model) {
        const RegisterStore data = simSettings(model);
        const FormState form = formFromDisplay(data, model, EN, kNow);
        for (const SettingRow& row : settingRows()) {
            if (row.newKind != NewKind::Edit || !rowExists(row, model) || !form.enabled(row.newName)) continue;
            // The mode word carries other bits above the mode: the display never shows them as the mode.
            if (row.show == Show::Serial || row.show == Show::Text || row.show == Show::Clock || row.show == Show::UpsMode)
                continue;
            const int value = refusedValue(row, model, data, form);
            if (value < 0) continue;
            SCOPED_TRACE(testing::Message() << "model " << model << " " << row.key << " = " << value);
            ++rowsChecked;
            FieldDataWorkbook::Transfer file;
            file.typeCode = kType;
            file.values = data;
            file.values.set(row.reg, withField(row, data[row.reg], value));
            const QString typed = formFromDisplay(file.values, model, EN, kNow).text(row.newName);

            // The workbook transfer: nothing at all is written.
            const TransferPlan plan = planSettingsTransfer(file, kType, data, model, EN, kNow);
            EXPECT_FALSE(plan.ok());
            EXPECT_TRUE(plan.entries.isEmpty());
            EXPECT_FALSE(plan.notCopied.contains(QStringLiteral("register %1 (%2)").arg(row.reg).arg(file.values[row.reg])))
                << "a refused value is not also listed as not copied";

            // A value typed as zavctl set puts it in: refused by the control or by the Set.
            FormState typedForm = form;
            const QString why = typeIntoControl(row, typed, typedForm, kNow);
            if (why.isEmpty()) {
                EXPECT_FALSE(buildSet(setPageOf(row.group), typedForm, model, data, {&row}).ok()) << typed.toStdString();
            }

            // NUT SET VAR.
            const NutWrite nut = nutSettingWrite(nutSettingName(row), typed, data, model, kNow);
            EXPECT_TRUE(nut.entries.isEmpty());
            EXPECT_TRUE(nut.error.startsWith(QLatin1String("INVALID-VALUE"))) << nut.error.toStdString();
        }
    }
    EXPECT_GT(rowsChecked, 0);
}

// Lists: a register value no item shows is refused by the transfer, and a text that names no item
// by the typing path and SET VAR.
TEST(WriteChecks, EveryWriterRefusesWhatAListCannotShow) {
    int rowsChecked = 0;
    for (int model = 0; model <= 8; ++model) {
        const RegisterStore data = simSettings(model);
        const FormState form = formFromDisplay(data, model, EN, kNow);
        for (const SettingRow& row : settingRows()) {
            if (row.newKind != NewKind::Combo || !rowExists(row, model) || !form.enabled(row.newName)) continue;
            // The largest field value no item shows.
            int value = -1;
            RegisterStore file = data;
            for (int v = fieldMaxOf(row); v >= 0 && value < 0; --v) {
                file.set(row.reg, withField(row, data[row.reg], v));
                if (formFromDisplay(file, model, EN, kNow).index(row.newName) < 0) value = v;
            }
            if (value < 0) continue;
            SCOPED_TRACE(testing::Message() << "model " << model << " " << row.key << " = " << value);
            ++rowsChecked;
            FieldDataWorkbook::Transfer t;
            t.typeCode = kType;
            t.values = file;
            const TransferPlan plan = planSettingsTransfer(t, kType, data, model, EN, kNow);
            const bool refused = !plan.ok() && plan.entries.isEmpty();
            const bool leftAlone = std::none_of(plan.entries.cbegin(), plan.entries.cend(), [&](const WriteEntry& e) {
                return e.reg == row.reg && e.value == file[row.reg];
            });
            EXPECT_TRUE(refused || leftAlone) << "the value reaches the write list";

            FormState typedForm = form;
            EXPECT_FALSE(typeIntoControl(row, QStringLiteral("no such item"), typedForm, kNow).isEmpty());
            const NutWrite nut = nutSettingWrite(nutSettingName(row), QStringLiteral("no such item"), data, model, kNow);
            if (settingRowForNut(nutSettingName(row)) == &row) {
                EXPECT_TRUE(nut.entries.isEmpty());
                EXPECT_FALSE(nut.error.isEmpty());
            }
        }
    }
    EXPECT_GT(rowsChecked, 0);
}

// The rated module capacity takes two characters on the page; a workbook holding 30000 is refused
// with what the field takes, and the message names it once (not again as "not copied").
TEST(WriteChecks, ATransferNamesTheFieldRuleItBroke) {
    const RegisterStore data = simSettings(5);
    const SettingRow* used = rowByKey(QStringLiteral("rated.module_used_kva"));
    ASSERT_NE(used, nullptr);
    ASSERT_EQ(used->reg, 324);
    FieldDataWorkbook::Transfer file;
    file.typeCode = kType;
    file.values = data;
    file.values.set(324, 30000);
    const TransferPlan plan = planSettingsTransfer(file, kType, data, 5, EN, kNow);
    ASSERT_FALSE(plan.ok());
    EXPECT_TRUE(plan.refusal.contains(QStringLiteral("30000 (takes at most %1 characters)").arg(used->maxLength)))
        << plan.refusal.toStdString();
    EXPECT_TRUE(plan.notCopied.isEmpty()) << plan.notCopied.join(u',').toStdString();
}

// The S-code trigger mask has no control but belongs to the settings: its words are transferred as
// they are, and the change list shows each of them with its caption.
TEST(WriteChecks, TheTriggerMaskIsTransferredAndEveryChangeIsListed) {
    const RegisterStore data = simSettings(5);
    FieldDataWorkbook::Transfer file;
    file.typeCode = kType;
    file.values = data;
    for (int reg = kTriggerMaskFirst; reg <= kTriggerMaskLast; ++reg) file.values.set(reg, uint16_t(data[reg] ^ 0xA5A5));
    const TransferPlan plan = planSettingsTransfer(file, kType, data, 5, EN, kNow);
    ASSERT_TRUE(plan.ok()) << plan.refusal.toStdString();
    EXPECT_TRUE(plan.notCopied.isEmpty()) << plan.notCopied.join(u',').toStdString();
    EXPECT_EQ(plan.changes, 8);
    const QVector<SettingChange> changes = transferChanges(plan.entries, data, 5, EN);
    ASSERT_EQ(changes.size(), 8);
    for (int i = 0; i < 8; ++i) {
        const int reg = kTriggerMaskFirst + i;
        EXPECT_EQ(changes[i], (SettingChange{uint16_t(reg), fieldRegisterName(reg, EN, 5), data[reg], file.values[reg]}));
    }
    EXPECT_TRUE(changesText(changes).startsWith(
        QStringLiteral("361 %1: %2 -> %3").arg(fieldRegisterName(361, EN, 5)).arg(data[361]).arg(file.values[361])));
}

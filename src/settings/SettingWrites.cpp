#include "settings/SettingWrites.h"

#include "foundation/AppTexts.h"
#include "link/ModbusCodec.h"
#include "settings/SettingDisplay.h"
#include "settings/SettingFormats.h"
#include "settings/SettingItemLists.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace zav {

namespace {

using G = SettingGroup;

QString pick(const std::array<const char*, 3>& t, int language) {
    const int l = (language >= 0 && language <= 2) ? language : 1;
    return QString::fromUtf8(t[size_t(l)]);
}

// Rows of the rated, system and battery groups are written only while their New control is
// enabled (the model has them); the code words, the UPS information and the dry contacts always.
bool queuedOnlyWhenEnabled(SettingGroup g) {
    return g == G::Rate || g == G::Server || g == G::Batt;
}

bool rowEnabled(const SettingRow& row, const FormState& form) {
    if (row.newKind == NewKind::Clock)
        return form.enabled("DateTimePickerDataNew") || form.enabled("DateTimePickerTimeNew");
    return form.enabled(row.newName);
}

bool number(const QString& text, int* value) {
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (ok) *value = v;
    return ok;
}

int fieldMax(const SettingRow& row) {
    return row.width >= 16 ? 0xFFFF : int((1u << row.width) - 1u);
}

// What a row's control gives for its field.
enum class Outcome { Value, KeepRead, Skip, Failed };
struct Converted {
    Outcome outcome = Outcome::Skip;
    int value = 0;
    SetFailure failure = SetFailure::None;
    QString text;
};

Converted failed(SetFailure f, const QString& text) {
    return {Outcome::Failed, 0, f, text};
}
Converted valueOf(int v) {
    return {Outcome::Value, v, SetFailure::None, {}};
}
Converted keepRead() {
    return {Outcome::KeepRead, 0, SetFailure::None, {}};
}
Converted skip() {
    return {Outcome::Skip, 0, SetFailure::None, {}};
}

// A list whose item is chosen gives a number from its text; a list left without a selection (the
// UPS holds a value the list cannot show) keeps the value read, so a Set never invents one.
Converted listNumber(const SettingRow& row, const FormState& form) {
    if (form.index(row.newName) < 0) return keepRead();
    int v = 0;
    const QString text = form.text(row.newName);
    return number(text, &v) ? valueOf(v) : failed(SetFailure::NotAnInteger, text);
}

Converted listScaled(const SettingRow& row, const FormState& form) {
    if (form.index(row.newName) < 0) return keepRead();
    int v = 0;
    const QString text = form.text(row.newName);
    return decimalTextToScaled(text, 2, &v) ? valueOf(v) : failed(SetFailure::NotAnInteger, text);
}

Converted convert(const SettingRow& row, const FormState& form, int model) {
    const QString text = form.text(row.newName);
    const int index = form.index(row.newName);
    // Entry fields of the rated page report the conversion error; the others "No data".
    const SetFailure noNumber =
        row.group == G::Rate || row.group == G::SysInfo ? SetFailure::NotAnInteger : SetFailure::NoData;
    int v = 0;
    switch (row.show) {
    case Show::Integer:
    case Show::UpsMode:
        return number(text, &v) ? valueOf(v) : failed(noNumber, text);
    case Show::Tenths:
    case Show::Hundredths: {
        // An empty field is no data, not zero.
        if (text.trimmed().isEmpty()) return failed(SetFailure::NoData, text);
        const int decimals = row.show == Show::Tenths ? 1 : 2;
        return decimalTextToScaled(text, decimals, &v) ? valueOf(v) : failed(SetFailure::NoData, text);
    }
    case Show::ListNumber:
    case Show::ListIndex:
    case Show::UnitCount:
        return listNumber(row, form);
    case Show::ListScaled:
        return listScaled(row, form);
    case Show::ChargeLimit:
        // Models 5-8 take hundredths of the unit the list shows ("1.0" -> 100).
        return model >= 5 ? listScaled(row, form) : listNumber(row, form);
    case Show::Packed:
        return index < 0 ? keepRead() : valueOf(index);
    case Show::Mode: {
        const QVector<int> codes = modeCodes(model);
        // A mode the list cannot show is left as the UPS has it.
        return (index < 0 || index >= codes.size()) ? skip() : valueOf(codes[index]);
    }
    case Show::Backlight:
        if (index < 0) return keepRead();
        if (index == 0) return valueOf(0); // "default"
        return listNumber(row, form);
    case Show::BattChargeCurrent:
        return index < 0 ? keepRead() : valueOf(index + 1);
    case Show::Serial:
    case Show::Clock:
    case Show::Text:
    case Show::BitWord:
        break; // several registers or boxes: built by the caller
    }
    return skip();
}

int bcdWord(int high, int low) {
    return ToBcd(high % 100) << 8 | ToBcd(low % 100);
}

// Registers 424..426 from the pickers; impossible parts fall back to the first valid value.
QVector<WriteEntry> clockEntries(const QDateTime& when) {
    int year = when.date().year(), month = when.date().month(), day = when.date().day();
    int hour = when.time().hour(), minute = when.time().minute(), second = when.time().second();
    if (year < 2000 || year > 2099) year = 2000;
    if (month < 1 || month > 12) month = 1;
    if (day < 1 || day > 31) day = 1;
    if (hour < 0 || hour > 24) hour = 0;
    if (minute < 0 || minute > 59) minute = 0;
    if (second < 0 || second > 59) second = 0;
    return {{424, uint16_t(bcdWord(second, minute))},
            {425, uint16_t(bcdWord(hour, day))},
            {426, uint16_t(bcdWord(month, year % 100))}};
}

BitWord bitWordOf(const SettingRow& row) {
    return row.group == G::SysCode1   ? BitWord::SysCode1
           : row.group == G::SysCode4 ? BitWord::SysCode4
                                      : BitWord::CfgCode1;
}

bool rowOnPage(const SettingRow& row, SetPage page) {
    return row.newKind != NewKind::None && setPageOf(row.group) == page;
}

// The rows of a page in the order their entries go into the write list.
QVector<const SettingRow*> pageRows(SetPage page) {
    QVector<const SettingRow*> rows;
    for (const SettingRow& r : settingRows())
        if (rowOnPage(r, page)) rows << &r;
    std::stable_sort(rows.begin(), rows.end(),
                     [](const SettingRow* a, const SettingRow* b) { return a->setOrder < b->setOrder; });
    return rows;
}

bool registerOf(const SettingRow& row, int reg) {
    return reg >= row.reg && reg < row.reg + row.regCount;
}

// Builds a page's entries in order; a packed word is one entry, placed where its first row is.
class EntryList {
  public:
    void put(int reg, uint16_t value) {
        const auto at = position_.constFind(reg);
        if (at != position_.constEnd()) {
            entries_[*at].value = value;
            return;
        }
        position_.insert(reg, int(entries_.size()));
        entries_ << WriteEntry{uint16_t(reg), value};
    }
    bool has(int reg) const { return position_.contains(reg); }
    uint16_t value(int reg) const { return entries_[position_.value(reg)].value; }
    const QVector<WriteEntry>& entries() const { return entries_; }

  private:
    QVector<WriteEntry> entries_;
    QHash<int, int> position_;
};

struct Checked {
    const SettingRow* row;
    int value;
};

} // namespace

SetPage setPageOf(SettingGroup group) {
    switch (group) {
    case G::Rate:
    case G::SysCode1:
    case G::SysCode4:
    case G::SysInfo:
        return SetPage::Rated;
    case G::Server:
        return SetPage::System;
    case G::Batt:
        return SetPage::Battery;
    case G::CfgCode1:
    case G::CfgCode2:
        return SetPage::CfgCode;
    case G::IPDry:
    case G::OPDry:
        break;
    }
    return SetPage::DryContacts;
}

const char* setButtonName(SetPage page) {
    switch (page) {
    case SetPage::Rated:
        return "ButtonRateSettingSend";
    case SetPage::CfgCode:
        return "ButtonCfgCodeSet";
    case SetPage::System:
        return "ButtonSeverSend";
    case SetPage::Battery:
        return "ButtonBattSetSend";
    case SetPage::DryContacts:
        break;
    }
    return "ButtonDryContactSet";
}

QVector<uint16_t> packText(const QString& text, int registers) {
    QByteArray buffer(registers * 2, ' ');
    const QByteArray latin = text.toLatin1();
    for (int i = 0; i < latin.size() && i < buffer.size(); ++i)
        buffer[i] = latin[i];
    QVector<uint16_t> words;
    for (int k = 0; k < registers; ++k)
        words << uint16_t(uint8_t(buffer[2 * k]) << 8 | uint8_t(buffer[2 * k + 1]));
    return words;
}

Limits rowLimits(const SettingRow& row, int model, const RegisterStore& SettingData, const FormState& form) {
    switch (row.range) {
    case RangeRule::None:
        return {};
    case RangeRule::Fixed:
        return {true, row.min, row.max};
    case RangeRule::OutputVoltage: {
        const int rated = SettingData[327];
        return {true, rated < 10 ? 0 : rated - 10, rated + 10};
    }
    case RangeRule::UnitId: {
        // The unit count as the page will write it, else as read.
        int units = SettingData[302];
        if (const SettingRow* count = rowByOldName(QStringLiteral("EditNumOld"))) {
            const Converted c = convert(*count, form, model);
            if (c.outcome == Outcome::Value) units = c.value;
        }
        return {true, 0, units - 1};
    }
    case RangeRule::DeepDischarge:
        if (model == 8) return {true, 10, 60};
        if (model >= 5 && model <= 7) return {true, 1, 300};
        return {};
    case RangeRule::TempComp:
        if (model == 8) return {};
        return {true, 0, 50};
    }
    return {};
}

QString limitText(const SettingRow& row, int value) {
    if (row.show == Show::Tenths) return QStringLiteral("%1.%2").arg(value / 10).arg(std::abs(value % 10));
    return QString::number(value);
}

SetResult buildSet(SetPage page, const FormState& form, int model, const RegisterStore& SettingData,
                   const QSet<const SettingRow*>& only) {
    SetResult result;
    const QVector<const SettingRow*> rows = pageRows(page);

    // The registers this Set writes: those of every queued row; a packed word once any of its
    // rows is queued, then with every field of it.
    QSet<int> regs;
    for (const SettingRow* row : rows) {
        if (!only.isEmpty() && !only.contains(row)) continue;
        if (queuedOnlyWhenEnabled(row->group) && !rowEnabled(*row, form)) continue;
        for (int r = row->reg; r < row->reg + row->regCount; ++r)
            regs.insert(r);
    }

    EntryList list;
    QVector<Checked> checked;
    QVector<const SettingRow*> edited; // rows whose edit field gave the value
    for (const SettingRow* row : rows) {
        if (!regs.contains(row->reg)) continue;
        switch (row->show) {
        case Show::Serial: {
            // Only a complete serial number of seven digits is written.
            const QString text = form.text(row->newName);
            if (text.size() != 7) break;
            int first = 0, second = 0;
            if (!number(text.left(4), &first) || !number(text.mid(4), &second) || first < 0 || second < 0) {
                result.failure = SetFailure::NoData;
                result.row = row;
                result.text = text;
                return result;
            }
            list.put(row->reg, uint16_t(first));
            list.put(row->reg + 1, uint16_t(second));
            break;
        }
        case Show::Clock:
            for (const WriteEntry& e : clockEntries(form.clock))
                list.put(e.reg, e.value);
            break;
        case Show::Text: {
            const QString text = form.text(row->newName);
            const bool ascii = std::all_of(text.cbegin(), text.cend(),
                                           [](QChar c) { return c.unicode() >= 32 && c.unicode() < 127; });
            if (!ascii || (row->maxLength > 0 && text.size() > row->maxLength)) {
                result.failure = SetFailure::BadValue;
                result.row = row;
                result.text = text;
                result.reason = !ascii ? QStringLiteral("takes printable ASCII characters only")
                                       : QStringLiteral("takes at most %1 characters").arg(row->maxLength);
                return result;
            }
            const QVector<uint16_t> words = packText(text, row->regCount);
            for (int k = 0; k < words.size(); ++k)
                list.put(row->reg + k, words[k]);
            break;
        }
        case Show::BitWord: {
            // Every box counts, shown or not: hidden boxes hold the bits as read.
            uint16_t word = 0;
            for (int bit = 0; bit < 16; ++bit)
                if (form.checks.value(bitBoxName(bitWordOf(*row), bit))) word = uint16_t(word | (1u << bit));
            list.put(row->reg, word);
            break;
        }
        default: {
            const Converted c = convert(*row, form, model);
            if (c.outcome == Outcome::Failed) {
                result.failure = c.failure;
                result.row = row;
                result.text = c.text;
                return result;
            }
            if (c.outcome == Outcome::Skip) break;
            if (c.outcome == Outcome::Value) edited << row;
            const int field = c.outcome == Outcome::KeepRead ? int(fieldValue(*row, SettingData)) : c.value;
            const int mask = fieldMax(*row);
            uint16_t word = list.has(row->reg) ? list.value(row->reg) : 0;
            word = uint16_t((word & ~(mask << row->shift)) | ((field & mask) << row->shift));
            if (row->show == Show::UpsMode) word &= 0x3FF; // bits 15..10 are not the mode
            list.put(row->reg, word);
            checked << Checked{row, field};
            break;
        }
        }
    }
    result.entries = list.entries();

    // A number that does not fit its field is refused rather than cut to its low bits.
    for (const Checked& c : checked) {
        if (!only.isEmpty() && !only.contains(c.row)) continue;
        if (c.value < 0 || c.value > fieldMax(*c.row)) {
            result.failure = SetFailure::OutOfRange;
            result.row = c.row;
            result.text = form.text(c.row->newName);
            return result;
        }
    }
    // The page's range checks, in their order; the first failure ends the Set.
    QVector<Checked> ranged;
    for (const Checked& c : checked) {
        if (c.row->range == RangeRule::None) continue;
        if (only.isEmpty() || only.contains(c.row)) ranged << c;
    }
    if (!only.isEmpty()) {
        // A new unit count is checked against the unit ID the UPS has even when the ID is not named.
        const SettingRow* id = rowByOldName(QStringLiteral("EditIdOld"));
        const bool idThere =
            std::any_of(ranged.cbegin(), ranged.cend(), [&](const Checked& c) { return c.row == id; });
        if (id && !idThere && regs.contains(302) && queuedOnlyWhenEnabled(id->group) &&
            rowEnabled(*id, form)) {
            const Converted c = convert(*id, form, model);
            ranged << Checked{id, c.outcome == Outcome::Value ? c.value : int(SettingData[303])};
        }
    }
    std::stable_sort(ranged.begin(), ranged.end(),
                     [](const Checked& a, const Checked& b) { return a.row->checkRank < b.row->checkRank; });
    for (const Checked& c : ranged) {
        const Limits limits = rowLimits(*c.row, model, SettingData, form);
        if (limits.bounded && (c.value < limits.min || c.value > limits.max)) {
            result.failure = SetFailure::OutOfRange;
            result.row = c.row;
            result.text = form.text(c.row->newName);
            return result;
        }
    }
    // Last, the edit field's own rules (characters, length): they hold for every writer, not only
    // for keys typed into the page, so a value from a file or a script goes through them too.
    for (const SettingRow* row : edited) {
        if (!only.isEmpty() && !only.contains(row)) continue;
        const QString text = form.text(row->newName);
        if (QString why = editRefusal(*row, text); !why.isEmpty()) {
            result.failure = SetFailure::BadValue;
            result.row = row;
            result.text = text;
            result.reason = why;
            return result;
        }
    }
    return result;
}

QString setFailureText(const SetResult& result, int model, int language, const RegisterStore& SettingData,
                       const FormState& form) {
    const QString caption = result.row ? rowCaption(*result.row, model, language, SettingData) : QString();
    switch (result.failure) {
    case SetFailure::None:
        return {};
    case SetFailure::NoData:
        return commonMessage(MsgNoData, language) + QLatin1Char('\n') + caption;
    case SetFailure::NotAnInteger:
        return QStringLiteral("'%1' is not a valid integer value").arg(result.text) + QLatin1Char('\n') +
               caption;
    case SetFailure::OutOfRange: {
        QString text = commonMessage(MsgCheckValue, language) + QLatin1Char('\n') + caption;
        if (!result.row) return text;
        Limits limits = rowLimits(*result.row, model, SettingData, form);
        if (!limits.bounded) limits = {true, 0, fieldMax(*result.row)};
        text += QStringLiteral(": %1 ~ %2")
                    .arg(limitText(*result.row, limits.min), limitText(*result.row, limits.max));
        if (*result.row->unit) text += QLatin1Char(' ') + QLatin1String(result.row->unit);
        return text;
    }
    case SetFailure::BadValue:
        break;
    }
    return commonMessage(MsgCheckValue, language) + QLatin1Char('\n') + caption + QStringLiteral(": ") +
           result.text + (result.reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(result.reason));
}

QVector<WriteEntry> unconfirmedEntries(const QVector<WriteEntry>& queued,
                                       const QVector<WriteResult>& results) {
    QVector<WriteEntry> out;
    for (const WriteEntry& e : queued) {
        const bool confirmed = std::any_of(results.cbegin(), results.cend(), [&](const WriteResult& r) {
            return r.reg == e.reg && r.value == e.value &&
                   (r.outcome == WriteOutcome::Accepted || r.outcome == WriteOutcome::Unchanged);
        });
        if (!confirmed) out << e;
    }
    return out;
}

QVector<WriteEntry> entriesNotHeld(const QVector<WriteEntry>& entries, const RegisterStore& SettingData) {
    QVector<WriteEntry> out;
    for (const WriteEntry& e : entries)
        if (SettingData[e.reg] != e.value) out << e;
    return out;
}

QVector<const SettingRow*> rowsOfEntries(const QVector<WriteEntry>& entries, int model,
                                         const RegisterStore& SettingData) {
    QVector<const SettingRow*> out;
    for (const WriteEntry& e : entries) {
        QVector<const SettingRow*> found;
        for (const SettingRow& row : settingRows()) {
            if (row.newKind == NewKind::None || !registerOf(row, e.reg)) continue;
            if (row.width < 16) {
                // Of a packed word only the fields that the UPS does not hold as asked.
                const int mask = fieldMax(row);
                const bool differs =
                    ((e.value >> row.shift) & mask) != ((SettingData[e.reg] >> row.shift) & mask);
                if (!differs || !rowExists(row, model)) continue;
            }
            found << &row;
        }
        for (const SettingRow* row : found)
            if (!out.contains(row)) out << row;
    }
    return out;
}

namespace {

QString captionsOf(const QVector<WriteEntry>& entries, int model, int language, const RegisterStore& SettingData) {
    QStringList captions;
    for (const SettingRow* row : rowsOfEntries(entries, model, SettingData)) {
        QString caption = rowCaption(*row, model, language, SettingData);
        if (row->show == Show::BitWord) caption += QStringLiteral(" (%1)").arg(row->reg);
        if (!captions.contains(caption)) captions << caption;
    }
    return captions.join(QStringLiteral(", "));
}

} // namespace

QString setResultLine(SetStage stage, int queued, const QVector<WriteEntry>& missing, int model, int language,
                      const RegisterStore& SettingData) {
    if (!missing.isEmpty())
        return pick({"未能写入（页面显示UPS现有的值）：", "Not written (the page shows what the UPS holds): ",
                     "未能寫入（頁面顯示UPS現有的值）："},
                    language) +
               captionsOf(missing, model, language, SettingData);
    switch (stage) {
    case SetStage::Started:
        return pick({"正在向UPS写入 %1 个寄存器……", "Writing %1 registers to the UPS...",
                     "正在向UPS寫入 %1 個暫存器……"},
                    language)
            .arg(queued);
    case SetStage::ReadBack:
        return pick({"已写入并回读：UPS保存了全部 %1 个寄存器的新值。",
                     "Written and read back: the UPS holds the new values of all %1 registers.",
                     "已寫入並回讀：UPS保存了全部 %1 個暫存器的新值。"},
                    language)
            .arg(queued);
    case SetStage::LinkReset:
        return pick({"已写入，但连接在回读前已中断：请重新连接后核对。",
                     "Written, but the link was reset before the read-back: check after reconnecting.",
                     "已寫入，但連線在回讀前已中斷：請重新連線後核對。"},
                    language);
    }
    return {};
}

QString notWrittenText(const QVector<WriteEntry>& entries, int model, int language,
                       const RegisterStore& SettingData) {
    return pick({"以下设置未能写入UPS：",
                 "These settings were not written to the UPS:", "以下設置未能寫入UPS："},
                language) +
           QLatin1Char('\n') + captionsOf(entries, model, language, SettingData) + QLatin1Char('\n') +
           pick(
               {"页面显示UPS现有的值。", "The page shows the values the UPS holds.", "頁面顯示UPS現有的值。"},
               language);
}

QString outputVoltageHint(int language, const RegisterStore& SettingData) {
    const int rated = SettingData[327];
    const int lower = rated < 10 ? 0 : rated - 10;
    return commonMessage(2, language) + QStringLiteral("%1-%2V").arg(lower).arg(rated + 10);
}

QString clampOutputVoltage(const QString& text, const RegisterStore& SettingData) {
    int v = 0;
    if (!number(text, &v)) return integerText(SettingData[304]);
    const int rated = SettingData[327];
    const int lower = rated < 10 ? 0 : rated - 10;
    return QString::number(std::clamp(v, lower, rated + 10));
}

QString fieldHint(const SettingRow& row, int model, int language, const RegisterStore& SettingData) {
    if (row.range == RangeRule::OutputVoltage) return outputVoltageHint(language, SettingData);
    if (row.range == RangeRule::DeepDischarge && model == 8)
        return pick({"范围 10 ~ 60，单位:分钟", "Range 10 ~ 60, unit Min.", "範圍 10 ~ 60，單位:分鐘"},
                    language);
    return row.hint >= 0 ? commonMessage(row.hint, language) : QString();
}

QString rotationHint(int rotationIndex, int language) {
    return rotationIndex == 1 ? commonMessage(29, language) : QString();
}

FormState formFromDisplay(const RegisterStore& SettingData, int model, int language, const QDateTime& pcNow) {
    const SettingsView view = settingDisplay(SettingData, model, language, pcNow);
    const SettingRow* typeRow = rowByOldName(QStringLiteral("EditBattType"));
    ListContext c;
    c.model = model;
    c.language = language;
    c.typeSelectable = typeRow && rowExists(*typeRow, model);
    c.lithium = typeRow && fieldValue(*typeRow, SettingData) == 1;

    FormState form;
    for (const SettingRow& row : settingRows()) {
        if (row.newKind == NewKind::None || row.newKind == NewKind::BitBoxes) continue;
        const QString name = QLatin1String(row.newName);
        if (queuedOnlyWhenEnabled(row.group) && !rowExists(row, model)) {
            form.disabled.insert(name);
            if (row.newKind == NewKind::Clock) form.disabled.insert(QStringLiteral("DateTimePickerTimeNew"));
        }
        if (row.newKind == NewKind::Edit) {
            form.texts.insert(name, view.texts.value(name));
        } else if (row.newKind == NewKind::Combo) {
            const QStringList items =
                view.items.contains(name) ? view.items.value(name) : itemTexts(row.list, c);
            const int index = view.indexes.value(name, -1);
            form.items.insert(name, items);
            form.indexes.insert(name, index);
            form.texts.insert(name, index >= 0 && index < items.size() ? items[index] : QString());
        }
    }
    for (auto it = view.enabled.cbegin(); it != view.enabled.cend(); ++it) {
        if (it.value())
            form.disabled.remove(it.key());
        else
            form.disabled.insert(it.key());
    }
    for (auto it = view.checks.cbegin(); it != view.checks.cend(); ++it)
        form.checks.insert(it.key(), it.value());
    form.clock = view.clock.value_or(pcNow);
    return form;
}

int itemMatching(const QStringList& items, const QString& value) {
    // ASCII-only peers write "+/-5" for the item "±5".
    auto ascii = [](QString text) { return text.replace(QChar(0xB1), QLatin1String("+/-")); };
    for (int i = 0; i < items.size(); ++i)
        if (items[i].compare(value, Qt::CaseInsensitive) == 0 || ascii(items[i]) == value) return i;
    static const QRegularExpression numeric(QStringLiteral("^[+]?[0-9]+([.,][0-9]*)?$"));
    int wanted = 0;
    if (!numeric.match(value).hasMatch() || !decimalTextToScaled(value, 2, &wanted)) return -1;
    for (int i = 0; i < items.size(); ++i) {
        int v = 0;
        if (numeric.match(items[i]).hasMatch() && decimalTextToScaled(items[i], 2, &v) && v == wanted) return i;
    }
    return -1;
}

QString editRefusal(const SettingRow& row, const QString& value) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    static const QRegularExpression decimal(QStringLiteral("^[0-9]+([.,][0-9]*)?$")); // "5." as the field takes it
    if (row.newKind != NewKind::Edit) return {};
    if (row.filter == InputFilter::Digits && !digits.match(value).hasMatch())
        return QStringLiteral("takes digits only");
    if (row.filter == InputFilter::Decimal && !decimal.match(value).hasMatch())
        return QStringLiteral("takes a decimal number such as 1.5");
    if (row.show == Show::Serial && value.size() != 7) return QStringLiteral("takes exactly 7 digits");
    if (row.filter == InputFilter::Ascii &&
        !std::all_of(value.cbegin(), value.cend(), [](QChar c) { return c.unicode() >= 32 && c.unicode() < 127; }))
        return QStringLiteral("takes printable ASCII characters only");
    if (row.maxLength > 0 && row.filter != InputFilter::Decimal && value.size() > row.maxLength)
        return QStringLiteral("takes at most %1 characters").arg(row.maxLength);
    return {};
}

QString typeIntoControl(const SettingRow& row, const QString& value, FormState& form, const QDateTime& now) {
    const QString name = row.newName ? QLatin1String(row.newName) : QString();
    switch (row.newKind) {
    case NewKind::Edit: {
        if (QString why = editRefusal(row, value); !why.isEmpty()) return why;
        form.texts[name] = value;
        return {};
    }
    case NewKind::Combo: {
        const QStringList items = form.items.value(name);
        const int index = itemMatching(items, value);
        if (index < 0) return QStringLiteral("allowed values: %1").arg(items.join(QStringLiteral(", ")));
        form.indexes[name] = index;
        form.texts[name] = items[index];
        return {};
    }
    case NewKind::Clock: {
        QDateTime when = value.compare(QLatin1String("now"), Qt::CaseInsensitive) == 0
                             ? now
                             : QDateTime::fromString(value, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        if (!when.isValid()) when = QDateTime::fromString(value, QStringLiteral("yyyy-MM-ddThh:mm:ss"));
        if (!when.isValid() || when.date().year() < 2000 || when.date().year() > 2099)
            return QStringLiteral("takes 'yyyy-MM-dd hh:mm:ss' within 2000..2099, or 'now'");
        form.clock = when;
        return {};
    }
    case NewKind::None:
    case NewKind::BitBoxes:
        break;
    }
    return QStringLiteral("cannot be set");
}

} // namespace zav

#pragma once
// Common part of the rated and user-service settings pages: creates the widgets of the settings
// rows (each named after its row), places them by the per-model layout, and copies the results of
// SettingDisplay and of the page initialisation into them. No rule is decided here.

#include "app/widgets/ZavPage.h"
#include "link/RegisterStore.h"
#include "settings/SettingDisplay.h"
#include "settings/SettingRows.h"

#include <QDateTime>
#include <QHash>
#include <functional>

class QComboBox;
class QLineEdit;
class QDateEdit;
class QTimeEdit;

namespace zav {

class SettingsPage : public ZavPage {
    Q_OBJECT
  public:
    SettingsPage(AppContext& context, QWidget* parent = nullptr);

    // RatedPageInit / ServicePageInit: captions, lists and layout for the model and language.
    virtual void pageInit(int language, int model, RegisterStore& SettingData);
    // SettingDisplay of this page's fields. `pcNow` stands in for an invalid UPS clock.
    void settingDisplay(RegisterStore& SettingData, int model, int language, const QDateTime& pcNow);

    // From the main window: FormStrInit and the end of a settings download (scheduler's store and model).
    void applyLanguage(int language) override;
    void refresh() override;

    int model() const { return model_; }
    // The PC clock the pickers fall back to (tests pass a fixed one).
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

  protected:
    // Creation from the rows. The container takes the rows of `group` (and the group's size).
    void buildRows(SettingGroup group, QWidget* container);
    void buildBitBoxes(BitWord word, QWidget* container);
    QWidget* named(QWidget* widget, const char* name);

    // This page's groups placed for the model (rows, boxes, group heights and visibility).
    virtual void applyModelLayout(int model) = 0;
    void applyGroupLayout(SettingGroup group, int model);
    void applyBitBoxLayout(BitWord word, int model);
    void applyStaticTexts(int language);

  private:
    void applyView(const SettingsView& view);
    void applyRuleStates(const SettingsView& view);
    void setPickers(const QDateTime& when);
    void onPickerDateChanged(const QDate& date); // DateTimePickerDataNewChange
    HeldLists heldLists() const;
    int batteryType() const;
    static void addValidator(QLineEdit* edit, InputFilter filter);

    QHash<QString, QWidget*> widgets_;
    QHash<SettingGroup, QWidget*> containers_;
    QDateEdit* datePicker_ = nullptr;
    QTimeEdit* timePicker_ = nullptr;
    int model_ = 1;
    std::function<QDateTime()> clock_ = [] { return QDateTime::currentDateTime(); };
    RegisterStore idleStore_{301, 480}; // used when no scheduler is attached
};

} // namespace zav

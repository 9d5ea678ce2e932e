#pragma once
// Common part of the rated and user-service settings pages: creates the widgets of the settings
// rows (each named after its row), places them by the per-model layout, and copies the results of
// SettingDisplay and of the page initialisation into them. No rule is decided here.

#include "pagekit/ZavPage.h"
#include "link/RegisterStore.h"
#include "settings/SettingDisplay.h"
#include "settings/SettingLayout.h"
#include "settings/SettingRows.h"
#include "settings/SettingWrites.h"

#include <QDateTime>
#include <QHash>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QDateEdit;
class QTimeEdit;
class QMessageBox;
class QPushButton;

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

    // What the New controls hold, as a Set reads them.
    FormState formState() const;
    // A Set button: convert and check the page's rows, store SettingNew and start the write
    // sequence. A failed check shows its message and sends nothing.
    void runSet(SetPage page);
    // The page's message box (checks, settings not written); shown without blocking.
    QMessageBox* messageBox();
    // After the read-back of this page's Set (or a link reset during it): the result line says what
    // the UPS holds, and a box names the settings it did not take.
    void reportUnwritten(bool readBack = true);
    // The result line of a Set button (LabelSetResult<button name>).
    QLabel* resultLine(SetPage page) const { return results_.value(page); }

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
    // Where rows may start in `container`: below its title when it is a titled group box.
    static int contentTop(const QWidget* container);
    // A widget whose children are placed by hand grows to hold them (and to at least `atLeast`),
    // so a scroll area around it scrolls instead of cutting them off.
    static void growToFit(QWidget* widget, QSize atLeast = {});
    static constexpr int kBelowTitle = 2;
    static constexpr int kEdgeMargin = 10;
    // A Set button with its result line. The line follows the button on its right, unless the
    // caller puts it into a layout (`placedByCaller`).
    QPushButton* addSetButton(QWidget* parent, SetPage page, bool placedByCaller = false);
    // Shows the hints of the group's entry fields in `label` while a field has the focus.
    void installHints(SettingGroup group, const char* labelName, const QString& cleared);
    void showMessage(const QString& text);
    bool eventFilter(QObject* watched, QEvent* event) override;
    int language() const { return context_.language; }
    QWidget* widget(const char* name) const { return widgets_.value(QLatin1String(name)); }

  private:
    // The scheduler's side of a Set (SettingsPages.cpp): the stores, the port and the sequence.
    RegisterStore& settingData();
    RegisterStore* settingNew();
    bool portOpen() const;
    bool startWriteSequence(const QVector<WriteEntry>& entries);
    QVector<WriteResult> writeResults() const;
    void onBatteryTypeChanged(int); // ComboBoxBattTypeChange
    void applyView(const SettingsView& view);
    void applyRuleStates(const SettingsView& view);
    // "In the UPS" and "New value" over the columns of a group's rows.
    void placeColumnHeads(QWidget* container, const GroupLayout& layout);
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
    RegisterStore idleNew_{301, 480};
    struct Hint {
        const SettingRow* row;
        QString label;
        QString cleared;
    };
    QHash<QObject*, Hint> hints_;
    QMessageBox* message_ = nullptr;
    QHash<SetPage, QLabel*> results_;
    QHash<QWidget*, QVector<QLabel*>> heads_; // column heads of each row container
    QHash<QObject*, QLabel*> followers_; // Set button -> the result line beside it
    SetPage pendingPage_ = SetPage::Rated;
    QVector<WriteEntry> pendingWrite_; // this page's Set, until its read-back ends
    bool writePending_ = false;
};

} // namespace zav

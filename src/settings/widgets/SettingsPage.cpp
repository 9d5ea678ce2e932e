#include "settings/widgets/SettingsPage.h"

#include "foundation/AppTexts.h"
#include "settings/SettingFormats.h"
#include "settings/SettingLayout.h"
#include "settings/SettingTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTabWidget>
#include <QTimeEdit>
#include <QToolButton>

#include <algorithm>

namespace zav {

namespace {

constexpr int kLabelHeight = 17;
constexpr int kDateWidth = 100;
constexpr int kTimeWidth = 80;
constexpr int kBoxWidth = kBitBoxWidth;

// The clock row's three controls sit side by side from the New column.
constexpr int kTimeOffset = kDateWidth + 4;
constexpr int kButtonOffset = kTimeOffset + kTimeWidth + 4;

} // namespace

SettingsPage::SettingsPage(AppContext& context, QWidget* parent) : ZavPage(context, parent) {}

QWidget* SettingsPage::named(QWidget* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    widgets_.insert(QLatin1String(name), widget);
    return widget;
}

void SettingsPage::addValidator(QLineEdit* edit, InputFilter filter) {
    static const QRegularExpression digits(QStringLiteral("[0-9]*"));
    static const QRegularExpression decimal(QStringLiteral("[+0-9]*[.,]?[0-9]*"));
    static const QRegularExpression ascii(QStringLiteral("[\\x{20}-\\x{7E}]*"));
    switch (filter) {
    case InputFilter::None:
        return;
    case InputFilter::Digits:
        edit->setValidator(new QRegularExpressionValidator(digits, edit));
        return;
    case InputFilter::Decimal:
        edit->setValidator(new QRegularExpressionValidator(decimal, edit));
        return;
    case InputFilter::Ascii:
        edit->setValidator(new QRegularExpressionValidator(ascii, edit));
        return;
    }
}

void SettingsPage::buildRows(SettingGroup group, QWidget* container) {
    containers_.insert(group, container);
    const GroupGeometry& g = groupGeometry(group);
    if (g.fixedHeight > 0) container->resize(g.width, g.fixedHeight);
    for (const SettingRow* row : rowsOf(group)) {
        auto* label = static_cast<QLabel*>(named(new QLabel(container), row->label));
        label->resize(g.captionWidth, kLabelHeight);
        auto* old = static_cast<QLineEdit*>(named(new QLineEdit(container), row->oldName));
        old->setReadOnly(true);
        // What the UPS holds is shown, not typed: no Tab stop, and drawn on the window's colour so
        // it does not look like a field to fill in (a click still selects the text to copy it).
        old->setFocusPolicy(Qt::ClickFocus);
        QPalette shown = old->palette();
        shown.setColor(QPalette::Base, shown.color(QPalette::Window));
        old->setPalette(shown);
        old->setFrame(false);
        old->resize(g.oldWidth, kControlHeight);
        switch (row->newKind) {
        case NewKind::None:
        case NewKind::BitBoxes:
            break;
        case NewKind::Edit: {
            auto* edit = static_cast<QLineEdit*>(named(new QLineEdit(container), row->newName));
            edit->resize(g.newWidth, kControlHeight);
            if (row->maxLength > 0) edit->setMaxLength(row->maxLength);
            addValidator(edit, row->filter);
            break;
        }
        case NewKind::Combo: {
            auto* combo = static_cast<QComboBox*>(named(new QComboBox(container), row->newName));
            combo->resize(g.newWidth, kControlHeight);
            // ComboBoxBattTypeChange: the battery lists follow the type the user picks.
            if (row->list == ItemList::BattType)
                connect(combo, &QComboBox::currentIndexChanged, this, &SettingsPage::onBatteryTypeChanged);
            break;
        }
        case NewKind::Clock: {
            datePicker_ = static_cast<QDateEdit*>(named(new QDateEdit(container), row->newName));
            datePicker_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
            datePicker_->setCalendarPopup(true);
            datePicker_->resize(kDateWidth, kControlHeight);
            timePicker_ = static_cast<QTimeEdit*>(named(new QTimeEdit(container), "DateTimePickerTimeNew"));
            timePicker_->setDisplayFormat(QStringLiteral("hh:mm:ss"));
            timePicker_->resize(kTimeWidth, kControlHeight);
            auto* take = static_cast<QToolButton*>(named(new QToolButton(container), "SpeedButtonTime"));
            take->setText(QStringLiteral("..."));
            take->resize(24, kControlHeight);
            connect(datePicker_, &QDateEdit::dateChanged, this, &SettingsPage::onPickerDateChanged);
            // SpeedButtonTimeClick: both pickers to the PC clock.
            connect(take, &QToolButton::clicked, this, [this] { setPickers(clock_()); });
            break;
        }
        }
    }
}

void SettingsPage::buildBitBoxes(BitWord word, QWidget* container) {
    for (int bit = 0; bit < 16; ++bit) {
        auto* box = new QCheckBox(container);
        box->setObjectName(bitBoxName(word, bit));
        widgets_.insert(box->objectName(), box);
        box->resize(kBoxWidth, kLabelHeight);
    }
}

int SettingsPage::contentTop(const QWidget* container) {
    const auto* box = qobject_cast<const QGroupBox*>(container);
    if (!box || box->title().isEmpty()) return 0;
    QStyleOptionGroupBox opt;
    opt.initFrom(box);
    opt.text = box->title();
    opt.lineWidth = 1;
    opt.textAlignment = box->alignment();
    opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect title = box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
    return title.bottom() + 1 + kBelowTitle;
}

void SettingsPage::growToFit(QWidget* widget, QSize atLeast) {
    // Hidden children do not count: a model's missing rows take no room.
    const QRect used = widget->childrenRect();
    const QSize need(std::max(atLeast.width(), used.right() + 1 + kEdgeMargin),
                     std::max(atLeast.height(), used.bottom() + 1 + kEdgeMargin));
    widget->setMinimumSize(need);
    widget->resize(need);
}

void SettingsPage::applyGroupLayout(SettingGroup group, int model) {
    QWidget* container = containers_.value(group);
    // The captions the model shows, measured in the labels' own font.
    GroupFit fit;
    fit.contentTop = contentTop(container);
    for (const SettingRow* row : rowsOf(group)) {
        const auto* label = qobject_cast<const QLabel*>(widgets_.value(QLatin1String(row->label)));
        if (label && rowExists(*row, model))
            fit.captionWidth = std::max(fit.captionWidth, label->fontMetrics().horizontalAdvance(label->text()));
    }
    const GroupLayout layout = layoutGroup(group, model, fit);
    for (const RowPlacement& p : layout.rows) {
        const SettingRow& row = *p.row;
        struct Piece {
            QWidget* widget;
            int left;
            int top;
            bool isNew;
        };
        QWidget* label = widgets_.value(QLatin1String(row.label));
        if (label) label->resize(layout.captionWidth, label->height());
        QVector<Piece> pieces = {
            {label, p.captionLeft, p.captionTop, false},
            {widgets_.value(QLatin1String(row.oldName)), p.oldLeft, p.oldTop, false},
        };
        if (row.newKind == NewKind::Clock) {
            pieces << Piece{datePicker_, p.newLeft, p.newTop, true}
                   << Piece{timePicker_, p.newLeft + kTimeOffset, p.newTop, true}
                   << Piece{widgets_.value(QStringLiteral("SpeedButtonTime")), p.newLeft + kButtonOffset,
                            p.newTop, true};
        } else if (row.newName) {
            pieces << Piece{widgets_.value(QLatin1String(row.newName)), p.newLeft, p.newTop, true};
        }
        for (const Piece& piece : pieces) {
            if (!piece.widget) continue;
            piece.widget->setHidden(!p.shown);
            if (piece.isNew) piece.widget->setEnabled(p.shown);
            if (p.shown) piece.widget->move(piece.left, piece.top);
        }
    }
    placeColumnHeads(container, layout);
    if (container && layout.width >= 0) {
        const QSize size(layout.width, layout.height >= 0 ? layout.height : container->height());
        container->setMinimumSize(size);
        container->resize(size);
    }
}

void SettingsPage::placeColumnHeads(QWidget* container, const GroupLayout& layout) {
    if (!container) return;
    // One pair of heads over each column of rows (a group may hold its rows in two columns).
    struct Column {
        int oldLeft, newLeft, top;
        bool hasNew;
    };
    QVector<Column> columns;
    for (const RowPlacement& p : layout.rows) {
        if (!p.shown) continue;
        const bool hasNew = p.row->newName != nullptr;
        auto it = std::find_if(columns.begin(), columns.end(), [&](const Column& c) { return c.oldLeft == p.oldLeft; });
        if (it == columns.end())
            columns << Column{p.oldLeft, p.newLeft, p.oldTop, hasNew};
        else {
            it->top = std::min(it->top, p.oldTop);
            it->hasNew = it->hasNew || hasNew;
        }
    }
    QVector<QLabel*>& heads = heads_[container];
    for (int i = 0; i < 2 * columns.size(); ++i) {
        if (i == heads.size()) {
            auto* head = new QLabel(container);
            head->setObjectName(QLatin1String(i % 2 ? "LabelHeadNew" : "LabelHeadOld"));
            QFont bold = head->font();
            bold.setBold(true);
            head->setFont(bold);
            heads << head;
        }
    }
    // The heads use the free line above the rows (beside a group's title), so the rows keep their
    // places; a head that would cover the title or a row is left out.
    QRect title;
    if (const auto* box = qobject_cast<const QGroupBox*>(container); box && !box->title().isEmpty())
        title = QRect(0, 0, box->fontMetrics().horizontalAdvance(box->title()) + 16, contentTop(container));
    for (int i = 0; i < heads.size(); ++i) {
        QLabel* head = heads[i];
        const bool isNew = i % 2;
        const Column* c = i / 2 < columns.size() ? &columns[i / 2] : nullptr;
        if (!c || (isNew && !c->hasNew)) {
            head->hide();
            continue;
        }
        head->setText(settingsPageText(head->objectName(), language()));
        head->adjustSize();
        head->move(isNew ? c->newLeft : c->oldLeft, c->top - head->height() - 1);
        // The old column's head ends before the new column begins (it stays short where they are close).
        if (!isNew && c->hasNew) head->resize(std::min(head->width(), c->newLeft - c->oldLeft - 4), head->height());
        head->setVisible(head->y() >= 0 && !head->geometry().intersects(title));
    }
}

void SettingsPage::applyBitBoxLayout(BitWord word, int model) {
    BoxFit fit;
    QVector<QCheckBox*> boxes;
    for (int bit = 0; bit < 16; ++bit) {
        auto* box = qobject_cast<QCheckBox*>(widgets_.value(bitBoxName(word, bit)));
        boxes << box;
        if (!box || !bitBoxShown(word, bit, model)) continue;
        const QStyle* style = box->style();
        const int need = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                         style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box) +
                         box->fontMetrics().horizontalAdvance(box->text()) + 2;
        fit.boxWidth = std::max(fit.boxWidth, need);
        if (!fit.contentTop) fit.contentTop = contentTop(box->parentWidget());
    }
    const int width = bitBoxWidth(fit);
    for (const BitBoxPlacement& p : layoutBitBoxes(word, model, fit)) {
        QCheckBox* box = boxes.value(p.bit);
        if (!box) continue;
        box->setHidden(!p.shown);
        box->setEnabled(p.shown);
        box->resize(width, box->height());
        if (p.shown) box->move(p.left, p.top);
    }
}

void SettingsPage::applyStaticTexts(int language) {
    for (QGroupBox* group : findChildren<QGroupBox*>())
        group->setTitle(settingsPageText(group->objectName(), language));
    for (QPushButton* button : findChildren<QPushButton*>()) {
        const QString text = settingsPageText(button->objectName(), language);
        if (!text.isEmpty()) button->setText(text);
    }
    for (QTabWidget* tabs : findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i) {
            // A tab page may hold its named sheet inside a scroll area.
            QWidget* sheet = tabs->widget(i);
            QString text = settingsPageText(sheet->objectName(), language);
            for (const QScrollArea* area : sheet->findChildren<QScrollArea*>())
                if (text.isEmpty() && area->widget()) text = settingsPageText(area->widget()->objectName(), language);
            if (auto* area = qobject_cast<QScrollArea*>(sheet); text.isEmpty() && area && area->widget())
                text = settingsPageText(area->widget()->objectName(), language);
            tabs->setTabText(i, text);
        }
    if (QWidget* take = widgets_.value(QStringLiteral("SpeedButtonTime")))
        take->setToolTip(settingsPageText(take->objectName(), language));
}

void SettingsPage::applyView(const SettingsView& view) {
    for (auto it = view.captions.cbegin(); it != view.captions.cend(); ++it) {
        QWidget* w = widgets_.value(it.key());
        if (auto* label = qobject_cast<QLabel*>(w))
            label->setText(it.value());
        else if (auto* box = qobject_cast<QCheckBox*>(w))
            box->setText(it.value());
    }
    for (auto it = view.items.cbegin(); it != view.items.cend(); ++it) {
        auto* combo = qobject_cast<QComboBox*>(widgets_.value(it.key()));
        if (!combo) continue;
        const int keep = combo->currentIndex();
        const bool first = combo->count() == 0; // a new list starts on its first item
        const QSignalBlocker block(combo);
        combo->clear();
        combo->addItems(it.value());
        if (!first) combo->setCurrentIndex(keep < combo->count() ? keep : -1);
    }
    for (auto it = view.indexes.cbegin(); it != view.indexes.cend(); ++it) {
        auto* combo = qobject_cast<QComboBox*>(widgets_.value(it.key()));
        if (!combo) continue;
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(it.value() < combo->count() ? it.value() : -1);
    }
    for (auto it = view.texts.cbegin(); it != view.texts.cend(); ++it)
        if (auto* edit = qobject_cast<QLineEdit*>(widgets_.value(it.key()))) edit->setText(it.value());
    for (auto it = view.checks.cbegin(); it != view.checks.cend(); ++it)
        if (auto* box = qobject_cast<QCheckBox*>(widgets_.value(it.key()))) box->setChecked(it.value());
    if (view.clock && datePicker_) setPickers(*view.clock);
}

void SettingsPage::applyRuleStates(const SettingsView& view) {
    for (auto it = view.enabled.cbegin(); it != view.enabled.cend(); ++it)
        if (QWidget* w = widgets_.value(it.key())) w->setEnabled(it.value());
    const QPalette app = QGuiApplication::palette();
    for (auto it = view.greyed.cbegin(); it != view.greyed.cend(); ++it) {
        QWidget* w = widgets_.value(it.key());
        if (!w) continue;
        QPalette p = w->palette();
        p.setColor(QPalette::Base,
                   it.value() ? app.color(QPalette::Disabled, QPalette::Text) : app.color(QPalette::Base));
        w->setPalette(p);
    }
}

void SettingsPage::setPickers(const QDateTime& when) {
    if (!datePicker_ || !timePicker_) return;
    datePicker_->setDate(when.date());
    timePicker_->setTime(when.time());
}

void SettingsPage::onPickerDateChanged(const QDate& date) {
    const QDate inRange = pickerDateInRange(date);
    if (inRange != date) datePicker_->setDate(inRange);
}

HeldLists SettingsPage::heldLists() const {
    HeldLists held;
    for (auto it = widgets_.cbegin(); it != widgets_.cend(); ++it) {
        const auto* combo = qobject_cast<const QComboBox*>(it.value());
        if (!combo) continue;
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        held.insert(it.key(), items);
    }
    return held;
}

int SettingsPage::batteryType() const {
    const auto* type = qobject_cast<const QComboBox*>(widgets_.value(QStringLiteral("ComboBoxBattType")));
    return type ? type->currentIndex() : -1;
}

void SettingsPage::pageInit(int language, int model, RegisterStore& SettingData) {
    model_ = model;
    const SettingsView view = pageInitView(model, language, batteryType(), SettingData, clock_());
    applyView(view);
    applyStaticTexts(language);
    applyModelLayout(model);
    applyRuleStates(view);
}

void SettingsPage::settingDisplay(RegisterStore& SettingData, int model, int language,
                                  const QDateTime& pcNow) {
    model_ = model;
    clearClockFlag(SettingData);
    const SettingsView view = zav::settingDisplay(SettingData, model, language, pcNow, heldLists());
    applyView(view);
    // The per-model layout again, then the rules that refine it (backup time by battery type).
    applyModelLayout(model);
    applyRuleStates(view);
}

QPushButton* SettingsPage::addSetButton(QWidget* parent, SetPage page, bool placedByCaller) {
    auto* button = static_cast<QPushButton*>(named(new QPushButton(parent), setButtonName(page)));
    button->setEnabled(false); // the window enables it while the link is free
    connect(button, &QPushButton::clicked, this, [this, page] { runSet(page); });
    auto* line = new QLabel(parent);
    line->setObjectName(QStringLiteral("LabelSetResult") + button->objectName());
    line->setWordWrap(true);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    results_.insert(page, line);
    if (!placedByCaller) {
        followers_.insert(button, line);
        button->installEventFilter(this);
    }
    return button;
}

void SettingsPage::installHints(SettingGroup group, const char* labelName, const QString& cleared) {
    for (const SettingRow* row : rowsOf(group)) {
        if (row->newKind != NewKind::Edit) continue;
        if (row->hint < 0 && row->range != RangeRule::OutputVoltage) continue;
        QWidget* edit = widgets_.value(QLatin1String(row->newName));
        if (!edit) continue;
        hints_.insert(edit, Hint{row, QLatin1String(labelName), cleared});
        edit->installEventFilter(this);
    }
}

bool SettingsPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
        if (QLabel* line = followers_.value(watched)) {
            // Right of its button, as wide as the button's parent allows (at least 300 pixels).
            const QRect b = static_cast<QWidget*>(watched)->geometry();
            const int left = b.right() + 1 + 10;
            const int width = std::max(300, line->parentWidget()->width() - left - kEdgeMargin);
            line->setGeometry(left, b.top(), width, b.height());
        }
    }
    const bool in = event->type() == QEvent::FocusIn;
    if (in || event->type() == QEvent::FocusOut) {
        const auto it = hints_.constFind(watched);
        if (it != hints_.constEnd()) {
            auto* label = qobject_cast<QLabel*>(widgets_.value(it->label));
            if (!in && it->row->range == RangeRule::OutputVoltage) {
                // EditOutVExit: the typed voltage is brought into the allowed band.
                if (auto* edit = qobject_cast<QLineEdit*>(watched))
                    edit->setText(clampOutputVoltage(edit->text(), settingData()));
            }
            if (label)
                label->setText(in ? fieldHint(*it->row, model_, language(), settingData()) : it->cleared);
        }
    }
    return ZavPage::eventFilter(watched, event);
}

QMessageBox* SettingsPage::messageBox() {
    if (!message_) {
        message_ = new QMessageBox(this);
        message_->setObjectName(QStringLiteral("SettingsMessage"));
        message_->setIcon(QMessageBox::Warning);
        message_->setWindowTitle(QLatin1String(kTrayTip));
    }
    return message_;
}

void SettingsPage::showMessage(const QString& text) {
    QMessageBox* box = messageBox();
    box->setText(text);
    box->open(); // never a nested event loop
}

FormState SettingsPage::formState() const {
    FormState form;
    const auto note = [&](const QWidget* w, const QString& name) {
        if (w->testAttribute(Qt::WA_Disabled)) form.disabled.insert(name);
    };
    for (const SettingRow& row : settingRows()) {
        if (!row.newName) continue;
        const QString name = QLatin1String(row.newName);
        QWidget* w = widgets_.value(name);
        if (!w) continue;
        note(w, name);
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            form.texts.insert(name, edit->text());
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            form.indexes.insert(name, combo->currentIndex());
            form.texts.insert(name, combo->currentIndex() >= 0 ? combo->currentText() : QString());
        }
    }
    if (datePicker_ && timePicker_) {
        form.clock = QDateTime(datePicker_->date(), timePicker_->time());
        note(timePicker_, timePicker_->objectName());
    }
    for (const BitWord word : {BitWord::SysCode1, BitWord::SysCode4, BitWord::CfgCode1})
        for (int bit = 0; bit < 16; ++bit)
            if (auto* box = qobject_cast<QCheckBox*>(widgets_.value(bitBoxName(word, bit))))
                form.checks.insert(box->objectName(), box->isChecked());
    return form;
}

void SettingsPage::runSet(SetPage page) {
    // The dry contacts are not even converted while the port is closed.
    if (page == SetPage::DryContacts && !portOpen()) return;
    const FormState form = formState();
    const SetResult result = buildSet(page, form, model_, settingData());
    if (result.storeNew())
        if (RegisterStore* store = settingNew())
            for (const WriteEntry& e : result.entries)
                store->set(e.reg, e.value);
    QLabel* line = results_.value(page);
    if (!result.ok()) {
        const QString text = setFailureText(result, model_, language(), settingData(), form);
        if (line) line->setText(text.section(QLatin1Char('\n'), 0, 0) + QStringLiteral(" ") +
                                text.section(QLatin1Char('\n'), 1).simplified());
        showMessage(text);
        return;
    }
    if (startWriteSequence(result.entries)) {
        pendingWrite_ = result.entries;
        pendingPage_ = page;
        writePending_ = true;
        if (line) line->setText(setResultLine(SetStage::Started, int(result.entries.size()), {}, model_,
                                              language(), settingData()));
    }
}

void SettingsPage::reportUnwritten(bool readBack) {
    if (!writePending_) return;
    writePending_ = false;
    const QVector<WriteEntry> missing =
        entriesNotHeld(unconfirmedEntries(pendingWrite_, writeResults()), settingData());
    if (QLabel* line = results_.value(pendingPage_))
        line->setText(setResultLine(readBack ? SetStage::ReadBack : SetStage::LinkReset, int(pendingWrite_.size()),
                                    missing, model_, language(), settingData()));
    if (!missing.isEmpty()) showMessage(notWrittenText(missing, model_, language(), settingData()));
}

void SettingsPage::onBatteryTypeChanged(int type) {
    // Only the battery lists and the backup-time rule follow the type; the rest keeps its state.
    const SettingsView full = pageInitView(model_, language(), type, settingData(), clock_());
    SettingsView view;
    for (const SettingRow* row : rowsOf(SettingGroup::Batt)) {
        if (!isBatteryList(row->list) || row->list == ItemList::BattType) continue;
        const QString name = QLatin1String(row->newName);
        if (full.items.contains(name)) view.items.insert(name, full.items.value(name));
        if (full.indexes.contains(name)) view.indexes.insert(name, full.indexes.value(name));
    }
    view.enabled = full.enabled;
    view.greyed = full.greyed;
    applyView(view);
    applyRuleStates(view);
}

} // namespace zav

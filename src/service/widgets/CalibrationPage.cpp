#include "service/widgets/CalibrationPage.h"

#include "foundation/AppTexts.h"
#include "session/ButtonStates.h"
#include "session/UpsSession.h"
#include "service/ControlCommands.h"
#include "service/widgets/ServiceDialogs.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zav {

namespace {
constexpr int kMaxEntryLength = 5;
QString rowCaption(const CalibrationRow& row, int language) {
    return QString::fromUtf8(row.caption[language >= 0 && language <= 2 ? language : 1]);
}
const char* const kTabNames[3] = {"TabSheetModVoltAdj", "TabSheetCabVoltAdj", "TabSheetTransfAdj"};
} // namespace

CalibrationPage::CalibrationPage(AppContext& context, QWidget* parent)
    : ZavPage(context, parent), dialogs_(&standardServiceDialogs()) {
    setObjectName(QStringLiteral("TabSheetDetectAdjust"));
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PageControlAdj"));
    QGridLayout* grids[3];
    int rows[3] = {1, 1, 1};
    for (int t = 0; t < 3; ++t) {
        tabPages_[t] = new QWidget(tabs_);
        tabPages_[t]->setObjectName(QLatin1String(kTabNames[t]));
        auto* outer = new QVBoxLayout(tabPages_[t]);
        grids[t] = new QGridLayout;
        outer->addLayout(grids[t]);
        // Column heads: measured value, true value.
        for (int col : {1, 2}) {
            if (t == int(CalTab::Transformer) && col == 1) continue; // its display boxes are hidden
            auto* head = new QLabel(tabPages_[t]);
            head->setProperty("textKey", col == 1 ? "measured" : "true");
            heads_ << head;
            grids[t]->addWidget(head, 0, col);
        }
        if (t == int(CalTab::Module)) {
            label47_ = new QLabel(tabPages_[t]);
            label47_->setObjectName(QStringLiteral("Label47"));
            outer->addWidget(label47_);
        } else if (t == int(CalTab::Cabinet)) {
            label63_ = new QLabel(tabPages_[t]);
            label63_->setObjectName(QStringLiteral("Label63"));
            outer->addWidget(label63_);
        }
        outer->addStretch();
        tabs_->addTab(tabPages_[t], QString());
    }

    for (const CalibrationRow& r : calibrationRows()) {
        const int t = int(r.tab);
        QWidget* host = tabPages_[t];
        const int row = rows[t]++;
        auto* caption = new QLabel(host);
        captions_.insert(QLatin1String(r.entry), caption);
        grids[t]->addWidget(caption, row, 0);
        if (r.display) {
            auto* display = new QLineEdit(host);
            display->setObjectName(QLatin1String(r.display));
            display->setReadOnly(true);
            display->setMaxLength(kMaxEntryLength);
            display->setFixedWidth(90);
            edits_.insert(display->objectName(), display);
            if (r.tab == CalTab::Transformer)
                display->hide();
            else
                grids[t]->addWidget(display, row, 1);
        }
        auto* entry = new QLineEdit(host);
        entry->setObjectName(QLatin1String(r.entry));
        entry->setMaxLength(kMaxEntryLength);
        entry->setFixedWidth(90);
        entry->installEventFilter(this);
        edits_.insert(entry->objectName(), entry);
        entryRows_.insert(entry, &r);
        grids[t]->addWidget(entry, row, 2);
        auto* button = new QPushButton(host);
        button->setObjectName(QLatin1String(r.button));
        buttons_ << button;
        connect(button, &QPushButton::clicked, this, [this, &r] { calibrateClick(r); });
        grids[t]->addWidget(button, row, 3);
    }
    for (QGridLayout* g : grids)
        g->setColumnStretch(4, 1);

    hint_ = new QLabel(QStringLiteral(" "), this);
    hint_->setObjectName(QStringLiteral("LabelModVoltAdjHint"));
    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("LabelAdjResult"));
    result_->setWordWrap(true);
    auto* page = new QVBoxLayout(this);
    page->addWidget(tabs_);
    page->addWidget(hint_);
    page->addWidget(result_);

    if (UpsSession* s = context_.scheduler) {
        connect(s, &UpsSession::liveCycleEnded, this, &CalibrationPage::modVoltAdjDisplay);
        connect(s, &UpsSession::liveCycleEnded, this, &CalibrationPage::cabVoltAdjDisplay);
        connect(s, &UpsSession::settingsDownloaded, this, &CalibrationPage::cabVoltAdjDisplay);
        connect(s, &UpsSession::writeSequenceEnded, this, &CalibrationPage::onWriteEnded);
        connect(s, &UpsSession::linkReset, this, [this, s] {
            if (waiting_) s->settings().SettingData.set(waiting_->reg, heldWord_);
            waiting_ = nullptr;
            ++epoch_;
        });
    }
    applyLanguage(context.language);
}

void CalibrationPage::applyLanguage(int language) {
    language_ = language;
    for (int t = 0; t < 3; ++t)
        tabs_->setTabText(t, calibrationPageText(kTabNames[t], language));
    for (const CalibrationRow& r : calibrationRows())
        captions_.value(QLatin1String(r.entry))->setText(rowCaption(r, language));
    for (QPushButton* b : std::as_const(buttons_))
        b->setText(calibrationPageText("calibrate", language));
    for (QLabel* head : std::as_const(heads_))
        head->setText(calibrationPageText(head->property("textKey").toByteArray().constData(), language));
    // The tabs of the model, the first one shown.
    const int model = context_.scheduler ? context_.scheduler->upsModel() : 1;
    for (int t = 0; t < 3; ++t)
        tabs_->setTabVisible(t, modelHasCalTab(model, CalTab(t)));
    tabs_->setCurrentIndex(int(firstCalTab(model)));
    result_->clear();
    ++epoch_;
}

void CalibrationPage::refresh() {
    modVoltAdjDisplay();
    cabVoltAdjDisplay();
}

void CalibrationPage::apply(const CalDisplay& display) {
    for (const auto& [name, text] : display.texts)
        if (QLineEdit* e = edits_.value(QLatin1String(name))) e->setText(text);
}

void CalibrationPage::modVoltAdjDisplay() {
    UpsSession* s = context_.scheduler;
    if (!s) return;
    const CalDisplay d = zav::modVoltAdjDisplay(s->upsModel(), s->live().LiveData, language_);
    apply(d);
    label47_->setText(d.label);
}

void CalibrationPage::cabVoltAdjDisplay() {
    UpsSession* s = context_.scheduler;
    if (!s) return;
    const CalDisplay d = zav::cabVoltAdjDisplay(s->upsModel(), s->live().LiveData, s->live().LiveStatus, language_);
    apply(d);
    label63_->setText(d.label);
    apply(transformerDisplay(s->settings().SettingData));
}

void CalibrationPage::calibrateClick(const CalibrationRow& row) {
    UpsSession* s = context_.scheduler;
    if (!s || !s->portOpen()) return;
    const CalibrationEntry e = checkCalibrationEntry(row, edits_.value(QLatin1String(row.entry))->text());
    if (e.error != CalibrationEntry::None) {
        dialogs_->inform(this, calibrationEntryMessage(e.error, row.kind, language_), "MessageBoxAdjCheck");
        return;
    }
    // The value checked now is the one the question names and the one written.
    dialogs_->ask(this, calibrationQuestion(row, e.value, language_), "MessageBoxAdjConfirm",
                  [this, &row, value = e.value, epoch = epoch_](bool yes) {
                      if (!yes) return; // No: nothing is written
                      UpsSession* s = context_.scheduler;
                      if (epoch != epoch_ || !s || !s->portOpen() ||
                          !windowFree(s->activity(), s->linkOk())) {
                          const QString text = notSentText(rowCaption(row, language_), language_);
                          result_->setText(text);
                          dialogs_->inform(this, text, "MessageBoxAdjNotSent");
                          return;
                      }
                      write(row, value);
                  });
}

void CalibrationPage::write(const CalibrationRow& row, uint16_t value) {
    UpsSession* s = context_.scheduler;
    RegisterStore& read = s->settings().SettingData;
    heldWord_ = markCalibrationUnread(read, row, value);
    if (!s->startWriteSequence({WriteEntry{row.reg, value}})) {
        read.set(row.reg, heldWord_);
        return;
    }
    waiting_ = &row;
    result_->clear();
}

void CalibrationPage::onWriteEnded(const QVector<WriteResult>& results) {
    if (!waiting_) return;
    const CalibrationRow* row = waiting_;
    waiting_ = nullptr;
    if (UpsSession* s = context_.scheduler) s->settings().SettingData.set(row->reg, heldWord_);
    for (const WriteResult& r : results) {
        if (r.reg != row->reg) continue;
        const QString text = writeResultText(r, rowCaption(*row, language_), language_);
        result_->setText(text);
        if (r.outcome != WriteOutcome::Accepted) dialogs_->inform(this, text, "MessageBoxAdjResult");
        return;
    }
}

bool CalibrationPage::eventFilter(QObject* watched, QEvent* event) {
    auto* entry = qobject_cast<QLineEdit*>(watched);
    const CalibrationRow* row = entry ? entryRows_.value(entry) : nullptr;
    if (!row) return ZavPage::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        // Editing and moving keys pass; typed characters go through the row's filter.
        if (text.size() != 1 || !text[0].isPrint()) return false;
        return !calibrationKeyAccepted(row->kind, text[0], entry->text());
    }
    case QEvent::FocusIn:
        hint_->setText(calibrationHint(row->kind, language_));
        return false;
    case QEvent::FocusOut:
        hint_->setText(QStringLiteral(" "));
        return false;
    default:
        return false;
    }
}

} // namespace zav

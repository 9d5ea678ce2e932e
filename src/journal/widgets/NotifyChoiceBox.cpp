#include "journal/widgets/NotifyChoiceBox.h"

#include "foundation/ProfileFile.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QPushButton>

namespace zav {

QString notifyGroupText(const char* key, int language) {
    static constexpr struct {
        const char* key;
        Texts3 text;
    } kTexts[] = {
        {"title", {"桌面通知", "Desktop notifications", "桌面通知"}},
        {"set", {"设置", "Set", "設置"}},
    };
    for (const auto& t : kTexts)
        if (qstrcmp(t.key, key) == 0) return pickText(t.text, language);
    return QString::fromLatin1(key);
}

NotifyChoiceBox::NotifyChoiceBox(ProfileFile& profile, std::function<int()> language,
                                 std::function<void(const Choices&)> apply, QWidget* parent)
    : QGroupBox(parent), profile_(profile), languageOf_(std::move(language)), apply_(std::move(apply)) {
    setObjectName(QStringLiteral("GroupNotify"));
    auto* grid = new QGridLayout(this);
    for (const NotifyChoiceInfo& n : notifyChoices()) {
        const int i = int(n.choice);
        boxes_[size_t(i)] = new QCheckBox(this);
        boxes_[size_t(i)]->setObjectName(QStringLiteral("CheckBoxNotify") + QLatin1String(n.key));
        grid->addWidget(boxes_[size_t(i)], i / 2, i % 2);
    }
    set_ = new QPushButton(this);
    set_->setObjectName(QStringLiteral("ButtonNotifySet"));
    grid->addWidget(set_, (kNotifyChoiceCount + 1) / 2, 1, Qt::AlignRight);
    connect(set_, &QPushButton::clicked, this, &NotifyChoiceBox::setClick);
    load();
    applyLanguage(languageOf_ ? languageOf_() : 1);
}

void NotifyChoiceBox::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    load();
    if (languageOf_) applyLanguage(languageOf_());
}

void NotifyChoiceBox::applyLanguage(int language) {
    language_ = language;
    setTitle(notifyGroupText("title", language));
    set_->setText(notifyGroupText("set", language));
    for (const NotifyChoiceInfo& n : notifyChoices()) boxes_[size_t(n.choice)]->setText(pickText(n.caption, language));
}

void NotifyChoiceBox::load() {
    const Choices c = loadJournalSettings(profile_).notify;
    for (int i = 0; i < kNotifyChoiceCount; ++i) boxes_[size_t(i)]->setChecked(c[size_t(i)]);
}

NotifyChoiceBox::Choices NotifyChoiceBox::ticked() const {
    Choices c{};
    for (int i = 0; i < kNotifyChoiceCount; ++i) c[size_t(i)] = boxes_[size_t(i)]->isChecked();
    return c;
}

bool NotifyChoiceBox::setClick() {
    const Choices c = ticked();
    // The running notifier follows the boxes even when ZAV.ini cannot keep them.
    if (apply_) apply_(c);
    return saveNotifyChoices(profile_, c);
}

} // namespace zav

#include "app/widgets/FormPassword.h"

#include "foundation/AppTexts.h"
#include "foundation/Passwords.h"
#include "foundation/ProfileFile.h"
#include "pagekit/UserDialogs.h"
#include "session/TimingProfile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QButtonGroup>
#include <QEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zav {

namespace {

QLineEdit* passwordEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

// Captions of this window; the language files translate them.
QString caption(const char* text, const char* which = nullptr) {
    return QCoreApplication::translate("FormPassword", text, which);
}

} // namespace

FormPassword::FormPassword(PasswordBook& passwords, ProfileFile& profile, UserDialogs& dialogs,
                           std::function<int()> language, QWidget* parent)
    : QDialog(parent), passwords_(passwords), profile_(profile), dialogs_(dialogs),
      language_(std::move(language)) {
    setObjectName(QStringLiteral("FormPassword"));
    setModal(true);

    groupPassword_ = new QGroupBox(this);
    groupPassword_->setObjectName(QStringLiteral("GroupBoxPassword"));
    editOld_ = passwordEdit("EditPasswordOld", groupPassword_);
    editNew_ = passwordEdit("EditPasswordNew", groupPassword_);
    editAgain_ = passwordEdit("EditPasswordAgain", groupPassword_);
    labelOld_ = new QLabel(groupPassword_);
    labelNew_ = new QLabel(groupPassword_);
    labelAgain_ = new QLabel(groupPassword_);
    buttonPasswordSet_ = new QPushButton(groupPassword_);
    buttonPasswordSet_->setObjectName(QStringLiteral("ButtonPasswordSet"));
    auto* form = new QFormLayout(groupPassword_);
    form->addRow(labelOld_, editOld_);
    form->addRow(labelNew_, editNew_);
    form->addRow(labelAgain_, editAgain_);
    auto* setRow = new QHBoxLayout;
    setRow->addStretch();
    setRow->addWidget(buttonPasswordSet_);
    form->addRow(setRow);

    groupWindow_ = new QGroupBox(this);
    groupWindow_->setObjectName(QStringLiteral("GroupBoxWindow"));
    checkExit_ = new QCheckBox(groupWindow_);
    checkExit_->setObjectName(QStringLiteral("CheckBoxExitSet"));
    buttonWinSet_ = new QPushButton(groupWindow_);
    buttonWinSet_->setObjectName(QStringLiteral("ButtonWinSet"));
    auto* windowRow = new QHBoxLayout(groupWindow_);
    windowRow->addWidget(checkExit_);
    windowRow->addStretch();
    windowRow->addWidget(buttonWinSet_);

    // The language: each named in its own script, so a user lost in a foreign one finds theirs.
    groupLanguage_ = new QGroupBox(this);
    groupLanguage_->setObjectName(QStringLiteral("GroupBoxLanguage"));
    const struct {
        const char* name;
        const char* text;
    } languages[] = {{"RadioButtonCN", "简体中文"}, {"RadioButtonEN", "English"}, {"RadioButtonCHT", "繁體中文"}};
    auto* languageRow = new QHBoxLayout;
    auto* exclusive = new QButtonGroup(groupLanguage_);
    for (int i = 0; i < 3; ++i) {
        languageButtons_[i] = new QRadioButton(QString::fromUtf8(languages[i].text), groupLanguage_);
        languageButtons_[i]->setObjectName(QString::fromLatin1(languages[i].name));
        exclusive->addButton(languageButtons_[i], i);
        languageRow->addWidget(languageButtons_[i]);
    }
    languageRow->addStretch();
    buttonLanguageSet_ = new QPushButton(groupLanguage_);
    buttonLanguageSet_->setObjectName(QStringLiteral("ButtonLanguageSet"));
    languageRow->addWidget(buttonLanguageSet_);
    labelLanguageNote_ = new QLabel(groupLanguage_);
    labelLanguageNote_->setObjectName(QStringLiteral("LabelLanguageNote"));
    labelLanguageNote_->setWordWrap(true);
    auto* languageColumn = new QVBoxLayout(groupLanguage_);
    languageColumn->addLayout(languageRow);
    languageColumn->addWidget(labelLanguageNote_);

    // The link timing: fast unless the UPS's firmware needs the tick pacing or a pause.
    groupTiming_ = new QGroupBox(this);
    groupTiming_->setObjectName(QStringLiteral("GroupBoxTiming"));
    comboTiming_ = new QComboBox(groupTiming_);
    comboTiming_->setObjectName(QStringLiteral("ComboBoxTiming"));
    comboTiming_->addItems({QString(), QString()}); // LinkTiming::Fast, LinkTiming::Classic
    labelGap_ = new QLabel(groupTiming_);
    spinGap_ = new QSpinBox(groupTiming_);
    spinGap_->setObjectName(QStringLiteral("SpinBoxExtraGap"));
    spinGap_->setRange(0, kMaxExtraGapMs);
    labelGap_->setBuddy(spinGap_);
    buttonTimingSet_ = new QPushButton(groupTiming_);
    buttonTimingSet_->setObjectName(QStringLiteral("ButtonTimingSet"));
    auto* timingForm = new QFormLayout(groupTiming_);
    timingForm->addRow(comboTiming_);
    timingForm->addRow(labelGap_, spinGap_);
    auto* timingSetRow = new QHBoxLayout;
    timingSetRow->addStretch();
    timingSetRow->addWidget(buttonTimingSet_);
    timingForm->addRow(timingSetRow);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(groupPassword_);
    layout->addWidget(groupWindow_);
    layout->addWidget(groupLanguage_);
    layout->addWidget(groupTiming_);
    // As large as the captions of the language need, never narrower than 380.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    groupPassword_->setMinimumWidth(356);

    connect(buttonPasswordSet_, &QPushButton::clicked, this, &FormPassword::buttonPasswordSetClick);
    connect(buttonWinSet_, &QPushButton::clicked, this, &FormPassword::buttonWinSetClick);
    connect(buttonLanguageSet_, &QPushButton::clicked, this, &FormPassword::buttonLanguageSetClick);
    connect(buttonTimingSet_, &QPushButton::clicked, this, &FormPassword::buttonTimingSetClick);
    retranslate();
}

void FormPassword::setTrayAvailable(bool available) { groupWindow_->setVisible(available); }

void FormPassword::addGroup(QWidget* group) { layout()->addWidget(group); }

void FormPassword::retranslate() {
    setWindowTitle(caption("设置", "title"));
    groupPassword_->setTitle(caption("密码设置"));
    labelOld_->setText(caption("请输入旧密码"));
    labelNew_->setText(caption("请输入新密码"));
    labelAgain_->setText(caption("请确认新密码"));
    buttonPasswordSet_->setText(caption("设置", "button"));
    groupWindow_->setTitle(caption("主窗口"));
    checkExit_->setText(caption("窗口关闭时最小化到托盘"));
    buttonWinSet_->setText(caption("设置", "button"));
    groupLanguage_->setTitle(caption("语言"));
    labelLanguageNote_->setText(caption("切换语言会断开与UPS的连接，切换后请重新连接。"));
    buttonLanguageSet_->setText(caption("设置", "button"));
    groupTiming_->setTitle(caption("通信节奏"));
    comboTiming_->setItemText(0, caption("快速：应答完整即发送下一请求"));
    comboTiming_->setItemText(1, caption("经典：每一步等待50毫秒节拍"));
    labelGap_->setText(caption("请求前额外间隔（毫秒）"));
    buttonTimingSet_->setText(caption("设置", "button"));
    showLanguage();
}

void FormPassword::showTiming() {
    const TimingOptions timing = readTimingOptions(profile_);
    comboTiming_->setCurrentIndex(timing.mode == LinkTiming::Classic ? 1 : 0);
    spinGap_->setValue(timing.extraGapMs);
}

void FormPassword::buttonTimingSetClick() {
    const TimingOptions timing{comboTiming_->currentIndex() == 1 ? LinkTiming::Classic : LinkTiming::Fast,
                               spinGap_->value()};
    const bool stored = writeTimingOptions(profile_, timing);
    if (applyTiming_) applyTiming_(timing); // the running link follows the choice, stored or not
    dialogs_.inform(this, stored ? passwordChangeMessage(PasswordChange::Accepted, language_())
                                 : profileWriteFailedText(language_()));
}

void FormPassword::showLanguage() {
    if (QRadioButton* current = languageButtons_[clampLanguage(language_())]) current->setChecked(true);
}

void FormPassword::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) retranslate();
    QDialog::changeEvent(event);
}

void FormPassword::showEvent(QShowEvent* event) {
    // Passwords typed last time are not shown again.
    editOld_->clear();
    editNew_->clear();
    editAgain_->clear();
    checkExit_->setChecked(profile_.readBool(QStringLiteral("Window"), QStringLiteral("ExitToPallet"), true));
    showLanguage();
    showTiming();
    QDialog::showEvent(event);
}

void FormPassword::buttonPasswordSetClick() {
    const PasswordChange result = passwords_.change(editOld_->text(), editNew_->text(), editAgain_->text());
    dialogs_.inform(this, passwordChangeMessage(result, language_()));
    if (result == PasswordChange::Accepted || result == PasswordChange::NotStored) accept();
}

void FormPassword::buttonWinSetClick() {
    const bool stored = profile_.writeBool(QStringLiteral("Window"), QStringLiteral("ExitToPallet"),
                                           checkExit_->isChecked());
    dialogs_.inform(this, stored ? passwordChangeMessage(PasswordChange::Accepted, language_())
                                 : profileWriteFailedText(language_()));
}

} // namespace zav

namespace zav {

void FormPassword::buttonLanguageSetClick() {
    int target = language_();
    for (int i = 0; i < 3; ++i)
        if (languageButtons_[i]->isChecked()) target = i;
    if (target == language_() || !switchLanguage_) return;
    switchLanguage_(target); // the main window's switch: the connection ends, every window re-reads
    showLanguage();          // the windows re-read their captions before the index changed
    // The switch needs the language's file beside the program; say so rather than nothing.
    if (language_() != target) dialogs_.inform(this, caption("找不到该语言的语言文件，语言未切换。"));
}

} // namespace zav

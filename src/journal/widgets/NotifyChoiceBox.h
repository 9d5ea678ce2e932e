#pragma once
// The software settings dialog's group "Desktop notifications": one box per notification choice,
// kept in ZAV.ini [Notify] by its Set button, then handed to the running notifier.

#include "journal/JournalConfig.h"

#include <QGroupBox>
#include <functional>

class QCheckBox;
class QPushButton;

namespace zav {

class NotifyChoiceBox : public QGroupBox {
    Q_OBJECT
  public:
    using Choices = std::array<bool, kNotifyChoiceCount>;
    NotifyChoiceBox(ProfileFile& profile, std::function<int()> language, std::function<void(const Choices&)> apply,
                    QWidget* parent = nullptr);

    void applyLanguage(int language);
    void load();         // the boxes from ZAV.ini (when the dialog is shown)
    bool setClick();     // ButtonNotifySet: false when ZAV.ini could not be written
    Choices ticked() const;

  protected:
    void showEvent(QShowEvent* event) override; // the boxes as stored, in the language of now

  private:
    ProfileFile& profile_;
    std::function<int()> languageOf_;
    std::function<void(const Choices&)> apply_;
    std::array<QCheckBox*, kNotifyChoiceCount> boxes_{};
    QPushButton* set_;
    int language_ = 1;
};

QString notifyGroupText(const char* key, int language); // "title", "set", "failed"

} // namespace zav

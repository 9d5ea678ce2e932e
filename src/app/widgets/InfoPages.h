#pragma once
// The Help page (a fixed usage text) and the About page (title and version). Which maker texts they
// show depends on the branding column.

#include "pagekit/ZavPage.h"

class QLabel;
class QPlainTextEdit;

namespace zav {

class HelpPage : public ZavPage {
    Q_OBJECT
public:
    explicit HelpPage(AppContext& context, QWidget* parent = nullptr);
    void applyLanguage(int language) override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    QPlainTextEdit* memo_;
    QLabel* contact_;
};

class AboutPage : public ZavPage {
    Q_OBJECT
public:
    explicit AboutPage(AppContext& context, QWidget* parent = nullptr);
    void applyLanguage(int language) override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    QLabel* icon_;
    QLabel* title_;   // Label11
    QLabel* version_; // Label12
    QLabel* rights_;
    QLabel* web_;
    QLabel* companyImage_;
};

} // namespace zav

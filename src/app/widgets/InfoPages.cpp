#include "app/widgets/InfoPages.h"

#include "foundation/Branding.h"

#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace zav {

namespace {

QString helpText(const char* text) { return QCoreApplication::translate("HelpPage", text); }
QString aboutText(const char* text) { return QCoreApplication::translate("AboutPage", text); }

// The usage text, one numbered paragraph each.
const char* const kHelpParagraphs[] = {
    "1. 用485转232转换器把UPS的RS485通讯口接到电脑的串口（或USB转串口）上。",
    "2. 在\"UPS型号\"中选择UPS的机型；不清楚机型时选择\"Auto\"，连接后软件会从UPS读取机型。",
    "3. 在\"协议\"中选择与UPS一致的通讯协议：MODBUS_ASCII 或 MODBUS_RTU。",
    "4. 在\"地址\"中输入UPS的通讯地址（1 ~ 254），须与UPS上设置的地址相同。",
    "5. 在\"波特率\"中选择与UPS一致的波特率；选择\"Auto\"时软件会依次尝试各个波特率，找到后自动显示。",
    "6. 在\"串口\"中选择接UPS的串口，也可以直接输入串口名称，例如 /dev/ttyUSB0。",
    "7. 按\"连接\"开始通讯，状态栏显示\"UPS已连接\"表示通讯正常；按\"断开\"结束通讯。",
    "8. 左侧的\"旁路数据\"、\"主路数据\"、\"输出数据\"、\"电池数据\"页显示实时数据，\"整机状态\"和\"单元状态\"页显示整机及各功率单元的状态。",
    "9. \"记录下载\"和\"维护代码\"页下载并保存UPS的历史记录和维护代码；\"额定设置\"、\"用服设置\"等页须输入密码后才能查看和修改UPS的设置。",
    "10. 出厂密码见随机的使用说明书。点击窗口右上角的设置按钮（或托盘菜单的\"软件设置\"），输入旧密码和两次新密码即可设置您自己的密码。",
};

} // namespace

HelpPage::HelpPage(AppContext& context, QWidget* parent) : ZavPage(context, parent) {
    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("Memo1"));
    memo_->setReadOnly(true);
    contact_ = new QLabel(this);
    contact_->setObjectName(QStringLiteral("LabelContact"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memo_);
    layout->addWidget(contact_);
    retranslate();
    applyLanguage(context.language);
}

void HelpPage::retranslate() {
    QStringList paragraphs;
    for (const char* p : kHelpParagraphs) paragraphs << helpText(p);
    memo_->setPlainText(paragraphs.join(QStringLiteral("\n\n")));
    contact_->setText(helpText("如有问题，请与制造商的技术服务部门联系。"));
}

void HelpPage::applyLanguage(int language) {
    Q_UNUSED(language);
    contact_->setVisible(brandingColumn().makerTexts);
}

void HelpPage::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) retranslate();
    ZavPage::changeEvent(event);
}

AboutPage::AboutPage(AppContext& context, QWidget* parent) : ZavPage(context, parent) {
    // Placed by coordinates: the branding puts the title and version at fixed positions.
    icon_ = new QLabel(this);
    icon_->setObjectName(QStringLiteral("ImageAbout"));
    icon_->setPixmap(QIcon(QStringLiteral(":/icons/zav.svg")).pixmap(72, 72));
    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("Label11"));
    QFont titleFont = title_->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    title_->setFont(titleFont);
    version_ = new QLabel(this);
    version_->setObjectName(QStringLiteral("Label12"));
    rights_ = new QLabel(this);
    rights_->setObjectName(QStringLiteral("LabelRights"));
    web_ = new QLabel(this);
    web_->setObjectName(QStringLiteral("LabelWeb"));
    companyImage_ = new QLabel(this);
    companyImage_->setObjectName(QStringLiteral("ImageCompany"));
    companyImage_->setPixmap(QIcon(QStringLiteral(":/icons/logo.svg")).pixmap(240, 48));
    retranslate();
    applyLanguage(context.language);
}

void AboutPage::retranslate() {
    rights_->setText(aboutText("版权所有 © 制造商。保留所有权利。"));
    web_->setText(aboutText("网址：请见产品说明书"));
}

void AboutPage::applyLanguage(int language) {
    const BrandingColumn& column = brandingColumn();
    title_->setText(brandingTitle(language));
    version_->setText(brandingVersionLabel());
    title_->adjustSize();
    version_->adjustSize();
    title_->move(column.titlePos);
    version_->move(column.versionPos);
    icon_->move(column.titlePos.x() - 96, column.titlePos.y() - 4);
    icon_->adjustSize();
    for (QLabel* maker : {rights_, web_, companyImage_}) maker->setVisible(column.makerTexts);
    companyImage_->adjustSize();
    companyImage_->move(column.titlePos.x(), column.versionPos.y() + 60);
    rights_->adjustSize();
    rights_->move(column.titlePos.x(), column.versionPos.y() + 120);
    web_->adjustSize();
    web_->move(column.titlePos.x(), column.versionPos.y() + 145);
}

void AboutPage::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        applyLanguage(context_.language);
    }
    ZavPage::changeEvent(event);
}

} // namespace zav

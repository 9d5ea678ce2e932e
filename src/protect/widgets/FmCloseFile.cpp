#include "protect/widgets/FmCloseFile.h"

#include "foundation/ProfileFile.h"
#include "protect/CloseList.h"
#include "protect/ProtectTexts.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace zav {

FmCloseFile::FmCloseFile(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmCloseFile"));
    auto* column = new QVBoxLayout(this);
    label1_ = new QLabel(this);
    label1_->setObjectName(QStringLiteral("Label1"));
    listbox1_ = new QListWidget(this);
    listbox1_->setObjectName(QStringLiteral("listbox1"));
    label2_ = new QLabel(this);
    label2_->setObjectName(QStringLiteral("Label2"));
    listBox2_ = new QListWidget(this);
    listBox2_->setObjectName(QStringLiteral("ListBox2"));
    button1_ = new QPushButton(this);
    button1_->setObjectName(QStringLiteral("Button1"));
    column->addWidget(label1_);
    column->addWidget(listbox1_);
    column->addWidget(label2_);
    column->addWidget(listBox2_);
    column->addWidget(button1_, 0, Qt::AlignRight);
    connect(listbox1_, &QListWidget::currentRowChanged, this, &FmCloseFile::listbox1Click);
    connect(button1_, &QPushButton::clicked, this, &QDialog::accept);
    resize(460, 380);
    applyLanguage(1);
}

void FmCloseFile::applyLanguage(int language) {
    setWindowTitle(protectText(ProtectText::CloseFileCaption, language));
    label1_->setText(protectText(ProtectText::ClosedApps, language));
    label2_->setText(protectText(ProtectText::SavedAs, language));
    button1_->setText(protectText(ProtectText::Ok, language));
}

void FmCloseFile::fill(const QString& recordPath) {
    recordPath_ = recordPath;
    const ProfileFile record(recordPath_);
    sections_.clear();
    listbox1_->blockSignals(true);
    listbox1_->clear();
    for (const ClosedApp& app : closedApplications(record)) {
        sections_ << app.section;
        listbox1_->addItem(app.title);
    }
    if (listbox1_->count() > 0) listbox1_->setCurrentRow(0);
    listbox1_->blockSignals(false);
    listbox1Click();
}

void FmCloseFile::listbox1Click() {
    listBox2_->clear();
    const int row = listbox1_->currentRow();
    if (row < 0 || row >= sections_.size()) return;
    listBox2_->addItems(savedFiles(ProfileFile(recordPath_), sections_[row]));
}

} // namespace zav

#include "records/widgets/RecordDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>

namespace zav {

namespace {
void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    auto* box = new QMessageBox(icon, caption, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
} // namespace

QString StandardRecordDialogs::askSaveFile(QWidget* parent, const QString& title, const QString& folder,
                                           const QString& fileName) {
    // The file name is needed before the save can go on; the dialog is opened by a click, never by
    // the link, so the timer that runs inside it cannot re-enter a tick.
    return QFileDialog::getSaveFileName(parent, title, QDir(folder).filePath(fileName));
}

void StandardRecordDialogs::warn(QWidget* parent, const QString& caption, const QString& text) {
    showBox(parent, QMessageBox::Warning, caption, text);
}

void StandardRecordDialogs::error(QWidget* parent, const QString& text) {
    showBox(parent, QMessageBox::Critical, QGuiApplication::applicationDisplayName(), text);
}

RecordDialogs& standardRecordDialogs() {
    static StandardRecordDialogs dialogs;
    return dialogs;
}

} // namespace zav

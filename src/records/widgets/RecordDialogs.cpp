#include "records/widgets/RecordDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>

namespace zav {

namespace {
// Modeless: a window-modal box would block every window of the main window, the shutdown
// countdown among them.
void showModeless(QDialog* dialog) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::NonModal);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    showModeless(new QMessageBox(icon, caption, text, QMessageBox::Ok, parent));
}
} // namespace

void StandardRecordDialogs::askSaveFile(QWidget* parent, const QString& title, const QString& folder,
                                        const QString& fileName, std::function<void(const QString&)> chosen) {
    // Not QFileDialog::getSaveFileName: its nested event loop runs Timer1 inside a click handler.
    auto* dialog = new QFileDialog(parent, title, QDir(folder).filePath(fileName));
    dialog->setObjectName(QStringLiteral("SaveDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    // Record files are CSV: the dialog shows those first and adds the suffix to a bare name.
    dialog->setNameFilters({QStringLiteral("CSV (*.csv)"), QStringLiteral("(*)")});
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    QObject::connect(dialog, &QFileDialog::fileSelected, dialog,
                     [chosen = std::move(chosen)](const QString& file) { chosen(file); });
    showModeless(dialog);
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

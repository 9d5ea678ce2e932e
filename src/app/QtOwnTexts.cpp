#include "app/QtOwnTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace zav {

QtOwnTexts::QtOwnTexts(QString folder)
    : folder_(folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : std::move(folder)) {}

QtOwnTexts::~QtOwnTexts() {
    unload();
}

QString QtOwnTexts::localeName(int localeId) {
    switch (localeId) {
    case 2052: return QStringLiteral("zh_CN");
    case 1028: return QStringLiteral("zh_TW");
    default: return {};
    }
}

void QtOwnTexts::unload() {
    if (current_ && QCoreApplication::instance()) QCoreApplication::removeTranslator(current_.get());
    current_.reset();
    loadedFile_.clear();
}

bool QtOwnTexts::load(int localeId) {
    const QString name = localeName(localeId);
    unload();
    if (name.isEmpty()) return true;
    // qtbase holds the texts of the widgets ZAV uses (message boxes, dialogs, the file dialog).
    const QString file = QDir(folder_).filePath(QStringLiteral("qtbase_%1.qm").arg(name));
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(file)) return false;
    QCoreApplication::installTranslator(translator.get());
    current_ = std::move(translator);
    loadedFile_ = file;
    return true;
}

} // namespace zav

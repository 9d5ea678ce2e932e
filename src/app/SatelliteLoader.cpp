#include "app/SatelliteLoader.h"

#include "foundation/InstallLayout.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTranslator>

namespace zav {

SatelliteLoader::SatelliteLoader(QString base) : base_(std::move(base)) {}

SatelliteLoader::~SatelliteLoader() {
    if (current_ && QCoreApplication::instance()) QCoreApplication::removeTranslator(current_.get());
}

QString SatelliteLoader::abbreviation(int localeId) {
    switch (localeId) {
    case 2052: return QStringLiteral("CHS");
    case 1033: return QStringLiteral("ENU");
    case 1028: return QStringLiteral("CHT");
    default: return {};
    }
}

QStringList SatelliteLoader::candidates(int localeId) const {
    const QString abbr = abbreviation(localeId);
    if (abbr.isEmpty()) return {};
    const QFileInfo info(base_);
    // Replace the extension, if any: "zav" and "zav.exe" both give "zav.CHS".
    // Beside the executable first (the build folder), then the installed data folder.
    QStringList names;
    for (const QString& folder : {info.path(), installedFolder(info.path(), ProgramFileKind::Data)}) {
        const QString stem = folder + u'/' + info.completeBaseName();
        names << stem + u'.' + abbr << stem + u'.' + abbr.left(2);
    }
    return names;
}

bool SatelliteLoader::load(int localeId) {
    for (const QString& file : candidates(localeId)) {
        if (!QFileInfo(file).isFile()) continue;
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(file)) continue;
        if (current_) QCoreApplication::removeTranslator(current_.get());
        QCoreApplication::installTranslator(translator.get());
        current_ = std::move(translator);
        loadedFile_ = file;
        return true;
    }
    return false;
}

} // namespace zav

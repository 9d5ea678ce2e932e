#pragma once
// The satellite language files beside the executable: "zav.CHS", "zav.ENU", "zav.CHT" (the
// executable's name with the language's three-letter abbreviation, else its first two letters).
// They carry the captions of the windows that the text tables do not cover. A language can be
// switched at run time only when its file loads. An installed program finds them in its data
// folder (<prefix>/share/zav, see foundation/InstallLayout.h).

#include <QString>
#include <memory>

class QTranslator;

namespace zav {

class SatelliteLoader {
public:
    // base: the executable's path, e.g. /opt/zav/zav; the extension is replaced by the language's.
    explicit SatelliteLoader(QString base);
    ~SatelliteLoader();

    static QString abbreviation(int localeId); // 2052 CHS, 1033 ENU, 1028 CHT; empty otherwise
    // Candidate file names for a locale, in the order they are tried.
    QStringList candidates(int localeId) const;

    // Loads the module of the locale and makes it the source of window captions in place of the
    // previous one. Returns false (and keeps the current one) when none loads.
    bool load(int localeId);
    QString loadedFile() const { return loadedFile_; }

private:
    QString base_;
    std::unique_ptr<QTranslator> current_;
    QString loadedFile_;
};

} // namespace zav

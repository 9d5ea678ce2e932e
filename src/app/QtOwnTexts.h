#pragma once
// Qt's own texts (the buttons of message boxes and dialogs, the file dialog's captions) in the
// language the user chose, from the translations Debian ships with Qt (qt6-translations-l10n).
// English is Qt's own language: nothing is loaded for it. A missing file leaves Qt's texts English,
// which is not an error.

#include <QString>
#include <memory>

class QTranslator;

namespace zav {

class QtOwnTexts {
  public:
    // folder: where Qt's translations are; by default the one Qt was built with.
    explicit QtOwnTexts(QString folder = QString());
    ~QtOwnTexts();

    static QString localeName(int localeId); // 2052 "zh_CN", 1028 "zh_TW", else empty (English)

    // Loads the texts of the locale in place of the previous ones; false when a file was wanted and
    // none loaded (Qt's texts are English then).
    bool load(int localeId);
    QString loadedFile() const { return loadedFile_; }

  private:
    void unload();
    QString folder_;
    std::unique_ptr<QTranslator> current_;
    QString loadedFile_;
};

} // namespace zav

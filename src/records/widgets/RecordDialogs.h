#pragma once
// The dialogs of the record pages behind a small interface, so tests can answer them: the save
// dialog, the analysis warnings and the file error box. The standard implementation shows them
// without a nested event loop and without modality, so the poll timer keeps running behind them and
// the shutdown countdown's buttons keep working.

#include <QString>
#include <functional>

class QWidget;

namespace zav {

class RecordDialogs {
  public:
    virtual ~RecordDialogs() = default;
    // Asks for the file to save into and returns at once; `chosen` runs later with the file name, or
    // never when the user cancels. `chosen` is dropped with `parent`.
    virtual void askSaveFile(QWidget* parent, const QString& title, const QString& folder,
                             const QString& fileName, std::function<void(const QString&)> chosen) = 0;
    // A warning box with its caption (the S-code analysis).
    virtual void warn(QWidget* parent, const QString& caption, const QString& text) = 0;
    // An error box (a file that cannot be created).
    virtual void error(QWidget* parent, const QString& text) = 0;
};

class StandardRecordDialogs : public RecordDialogs {
  public:
    void askSaveFile(QWidget* parent, const QString& title, const QString& folder, const QString& fileName,
                     std::function<void(const QString&)> chosen) override;
    void warn(QWidget* parent, const QString& caption, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
};

RecordDialogs& standardRecordDialogs();

} // namespace zav

#pragma once
// The dialogs of the record pages behind a small interface, so tests can answer them: the save
// dialog, the analysis warnings and the file error box. The standard implementation opens its boxes
// without a nested event loop (open()), so the poll timer keeps running behind them.

#include <QString>

class QWidget;

namespace zav {

class RecordDialogs {
  public:
    virtual ~RecordDialogs() = default;
    // The chosen file name, or an empty string when the user cancelled.
    virtual QString askSaveFile(QWidget* parent, const QString& title, const QString& folder,
                                const QString& fileName) = 0;
    // A warning box with its caption (the S-code analysis).
    virtual void warn(QWidget* parent, const QString& caption, const QString& text) = 0;
    // An error box (a file that cannot be created).
    virtual void error(QWidget* parent, const QString& text) = 0;
};

class StandardRecordDialogs : public RecordDialogs {
  public:
    QString askSaveFile(QWidget* parent, const QString& title, const QString& folder,
                        const QString& fileName) override;
    void warn(QWidget* parent, const QString& caption, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
};

RecordDialogs& standardRecordDialogs();

} // namespace zav

#pragma once
// The record pages of the page tree: 7 the history log ("HisLogDown"), 8 the maintenance codes
// ("SCodeDown") with the S-code analysis window FormSCode.

#include "records/widgets/RecordPage.h"

class QLineEdit;
class QPlainTextEdit;
class QTabWidget;

namespace zav {

class FormSCode;

// The page of tree index `index`, or nullptr for an index that is not a record page.
ZavPage* createRecordsPage(int index, AppContext& context, QWidget* parent);

class HistoryPage : public RecordPage {
    Q_OBJECT
  public:
    HistoryPage(AppContext& context, QWidget* parent = nullptr);
    void applyLanguage(int language) override;

  private:
    // Says that the time column holds running hours when the rows (or, before any, the connected
    // UPS) are of a model whose stamps are the running time.
    void updateTimeNote();
    QLabel* timeNote_ = nullptr;
};

class SCodePage : public RecordPage {
    Q_OBJECT
  public:
    SCodePage(AppContext& context, QWidget* parent = nullptr);

    void applyLanguage(int language) override;

    void analyzeClick();                       // ButtonSCodeAnalyzeClick
    void analyzeSelectedClick();               // the record of the table's current row
    void gridDoubleClick(int row, int column); // StringGridSCodeDblClick
    // The analysis window: the one the application made under the name FormSCode, or one of the
    // page's own when there is none.
    FormSCode* formSCode();

  protected:
    void afterSave() override;

  private:
    QTabWidget* tabs_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    QPushButton* analyze_ = nullptr;
    QLabel* analyzeHint_ = nullptr;
    QPushButton* analyzeSelected_ = nullptr;
    QLabel* analyzeMore_ = nullptr;
    QLabel* triggerNote_ = nullptr;
    FormSCode* form_ = nullptr;
};

} // namespace zav

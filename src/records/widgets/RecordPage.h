#pragma once
// What the history page and the S-code page share: a download button that also cancels, a save
// button, the progress bar, the hint label and the grid that shows the job's rows. The job (a
// RecordDownload) sits in the scheduler's record slot for as long as the page lives.

#include "pagekit/ZavPage.h"
#include "records/RecordDownload.h"
#include "records/RecordTexts.h"
#include "records/RecordView.h"

#include <QDateTime>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace zav {

class RecordDialogs;

struct RecordPageKind {
    const char* page;
    const char* download;
    const char* save;
    const char* progress;
    const char* hint;
    const char* grid;
    const char* filePrefix; // of the default file name
    int priority;           // record slot of the scheduler
    QString (*caption)(bool running, int language);
    QString (*hintText)(bool finished, int language);
    QString (*saveHint)(int language);
    const char* filter;   // the filter box
    const char* order;    // the sort choice
    QString (*filterHint)(int language);
    RecordLayout layout;
    SortTextOf sortText;
    int sortKeys;
    QString (*sortKeyName)(int key, int language);
};

class RecordPage : public ZavPage {
    Q_OBJECT
  public:
    RecordPage(const RecordPageKind& kind, RecordDownload* job, AppContext& context, QWidget* parent);
    ~RecordPage() override;

    void applyLanguage(int language) override;
    void refresh() override; // the port may have closed: the button shows its idle caption

    void downloadClick(); // ButtonDownloadClick / ButtonSCodeDownloadClick
    void saveClick();     // ButtonSaveClick / ButtonSCodeSaveClick

    const RecordDownload& job() const { return *job_; }
    QTableWidget* grid() const { return grid_; }
    // The table's order: a key of the page (history: a column) or the download order. Only the
    // table moves its rows; the grid and a saved file keep the download order.
    void sortBy(RecordSort sort);
    RecordSort sorting() const { return sort_; }

    // Tests answer the dialogs and fix the time of the default file name.
    void setDialogs(RecordDialogs* dialogs) { dialogs_ = dialogs; }
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    virtual void afterSave() {}
    // The controls, for the page's own layout.
    QWidget* downloadPanel() const { return panel_; }
    void showIdle(); // the idle caption; the progress bar keeps the last run's end until the next run
    void stopped();  // a cancel or a lost link: the idle caption, and the hint says the rows stay
    int language() const { return language_; }
    RecordDialogs* recordDialogs() const { return dialogs_; }
    QPushButton* downloadButton() const { return download_; }
    QProgressBar* progressBar() const { return progress_; }

  private:
    void copyRows(int first, int count);
    void applyView(); // the filter's hidden rows and the sort's order
    void fillOrderChoice();
    void downloadFinished();
    void showHint(); // the run's hint, and what did not fit the table

    RecordPageKind kind_;
    RecordDownload* job_;
    int language_ = 1;
    RecordDialogs* dialogs_;
    std::function<QDateTime()> clock_ = [] { return QDateTime::currentDateTime(); };
    QWidget* panel_ = nullptr;
    QPushButton* download_ = nullptr;
    QPushButton* save_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* saved_ = nullptr; // where the last save went
    RecordRun run_ = RecordRun::NotStarted;
    QTableWidget* grid_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QComboBox* order_ = nullptr;
    RecordSort sort_;
};

} // namespace zav

#pragma once
// The field-data buttons of the system tab: ButtonSaveCurData (save dialog, then workbook or text
// file) and ButtonResumeCurData (open dialog, then the offline load with the port closed, or the
// settings transfer onto the connected UPS). The record grids are read from and shown in the
// record downloads' grids (what the record pages show); the stores are the scheduler's.

#include "pagekit/ZavPage.h"
#include "settings/FieldDataRestore.h"

#include <functional>
#include <memory>

class QPushButton;

class QComboBox;
class QLabel;

namespace zav {

// The panel's questions, each opened and answered later through its callback (never waited for).
// A callback is not called when the user cancels.
class FieldDataDialogs {
  public:
    virtual ~FieldDataDialogs() = default;
    // The chosen name and file type (1 workbook, 2 text).
    virtual void askSave(QWidget* parent, const QString& title, const QString& folder,
                         std::function<void(const QString& name, int type)> chosen) = 0;
    virtual void askOpen(QWidget* parent, const QString& title, const QString& folder,
                         std::function<void(const QString& path)> chosen) = 0;
    // A message box.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // A question with OK and Cancel: `answer(true)` on OK, `answer(false)` on Cancel or close.
    virtual void confirm(QWidget* parent, const QString& text, std::function<void(bool ok)> answer) = 0;
};
FieldDataDialogs& standardFieldDataDialogs();

class FieldDataPanel : public QWidget {
    Q_OBJECT
  public:
    FieldDataPanel(AppContext& context, QWidget* parent = nullptr);
    ~FieldDataPanel() override { *alive_ = false; }
    void applyLanguage(int language);

    void saveClick();   // ButtonSaveCurDataClick
    void resumeClick(); // ButtonResumeCurDataClick

    void setDialogs(FieldDataDialogs* dialogs) { dialogs_ = dialogs; }
    void setFolder(const QString& folder) { folder_ = folder; }
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

    // A chosen file is being read (off the GUI thread); its result follows on this thread.
    bool reading() const { return reading_; }

    // What the window holds now, as a snapshot (stores and the record downloads' grids).
    FieldSnapshot currentSnapshot() const;

  protected:
    void showEvent(QShowEvent* event) override; // captions in the language of the moment

  private:
    void loadOffline(const QString& path);
    void offlineLoaded(FieldSnapshot snapshot, const FieldImportResult& result);
    void transfer(const QString& path);
    void transferRead(const WorkbookCells& book);
    // Runs `work` (a file read: pure, no widget, no store) on a thread of its own, then `done` with
    // its result on this thread; clicks on either button are ignored meanwhile. A file at the reader's bounds takes
    // seconds to parse, which the window must not spend frozen.
    template <class Result>
    void inBackground(std::function<Result()> work, std::function<void(Result)> done);
    void startTransfer(const TransferPlan& plan, const RegisterStore& plannedOn);
    void transferEnded(const QVector<WriteResult>& results);
    void showSnapshot(const FieldSnapshot& snapshot);
    int model() const;
    QComboBox* modelBox() const; // the window's model box, if there is one

    AppContext& context_;
    FieldDataDialogs* dialogs_;
    QString folder_; // where the dialogs start when no folder is remembered in ZAV.ini
    QLabel* saved_ = nullptr;
    std::function<QDateTime()> clock_;
    QPushButton* save_ = nullptr;
    QPushButton* resume_ = nullptr;
    QVector<WriteEntry> transferred_;
    bool transferRunning_ = false;
    bool reading_ = false;
    // Guards the callbacks of dialogs still open when the panel goes.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace zav

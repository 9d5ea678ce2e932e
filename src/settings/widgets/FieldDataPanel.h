#pragma once
// The field-data buttons of the system tab: ButtonSaveCurData (save dialog, then workbook or text
// file) and ButtonResumeCurData (open dialog, then the offline load with the port closed, or the
// settings transfer onto the connected UPS). The record grids are read from and shown in the
// record downloads' grids (what the record pages show); the stores are the scheduler's.

#include "app/widgets/ZavPage.h"
#include "settings/FieldDataRestore.h"

#include <functional>

class QPushButton;

class QComboBox;

namespace zav {

class FieldDataDialogs {
  public:
    virtual ~FieldDataDialogs() = default;
    // The chosen name and file type (1 workbook, 2 text); an empty name when cancelled.
    virtual QString askSave(QWidget* parent, const QString& title, const QString& folder, int& type) = 0;
    virtual QString askOpen(QWidget* parent, const QString& title, const QString& folder) = 0;
    // A message box (opened, never waited for).
    virtual void message(QWidget* parent, const QString& text) = 0;
};
FieldDataDialogs& standardFieldDataDialogs();

class FieldDataPanel : public QWidget {
    Q_OBJECT
  public:
    FieldDataPanel(AppContext& context, QWidget* parent = nullptr);
    void applyLanguage(int language);

    void saveClick();   // ButtonSaveCurDataClick
    void resumeClick(); // ButtonResumeCurDataClick

    void setDialogs(FieldDataDialogs* dialogs) { dialogs_ = dialogs; }
    void setFolder(const QString& folder) { folder_ = folder; }
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

    // What the window holds now, as a snapshot (stores and the record downloads' grids).
    FieldSnapshot currentSnapshot() const;

  protected:
    void showEvent(QShowEvent* event) override; // captions in the language of the moment

  private:
    void loadOffline(const QString& path);
    void transfer(const QString& path);
    void transferEnded(const QVector<WriteResult>& results);
    void showSnapshot(const FieldSnapshot& snapshot);
    int model() const;
    QComboBox* modelBox() const; // the window's model box, if there is one

    AppContext& context_;
    FieldDataDialogs* dialogs_;
    QString folder_;
    std::function<QDateTime()> clock_;
    QPushButton* save_ = nullptr;
    QPushButton* resume_ = nullptr;
    QVector<WriteEntry> transferred_;
    bool transferRunning_ = false;
};

} // namespace zav

#pragma once
// The journal page of the page tree (index 16, "EventLog"): the events of the journal newest first,
// filtered by kind, time and text, exported as UTF-8 CSV. It copies what journal/JournalView
// decides; the journal itself is the window's (AppContext::journal), read when the page is shown
// and after each batch written while it is on screen.

#include "journal/JournalView.h"
#include "pagekit/ZavPage.h"

class QComboBox;
class QDateTimeEdit;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace zav {

inline constexpr int kJournalPageIndex = 16;

// The page of tree index `index`, or nullptr for an index that is not a journal page.
ZavPage* createJournalPage(int index, AppContext& context, QWidget* parent);

class JournalPage : public ZavPage {
    Q_OBJECT
  public:
    explicit JournalPage(AppContext& context, QWidget* parent = nullptr);

    void applyLanguage(int language) override;
    void refresh() override;
    void pageShown() override;

    JournalFilter filter() const;
    void exportTo(const QString& path); // the export dialog's choice
    void exportClick();                 // opens the dialog (not modal to the loop: open())

  private:
    void attach(); // follows the window's journal once it exists

    QLabel* title_;
    QLabel* labelKind_;
    QComboBox* kind_;
    QLabel* labelRange_;
    QComboBox* range_;
    QLabel* labelFrom_;
    QDateTimeEdit* from_;
    QLabel* labelTo_;
    QDateTimeEdit* to_;
    QLabel* labelSearch_;
    QLineEdit* search_;
    QPushButton* refresh_;
    QPushButton* export_;
    QTableWidget* table_;
    QLabel* status_;
    QFileDialog* dialog_ = nullptr;
    EventJournal* attached_ = nullptr;
    int language_ = 1;
};

} // namespace zav

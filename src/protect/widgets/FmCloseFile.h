#pragma once
// fmCloseFile: the applications the close-apps companion closed at the last shutdown (listbox1)
// and, for the one selected, the paths its documents were saved as (ListBox2).

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace zav {

class FmCloseFile : public QDialog {
    Q_OBJECT
  public:
    explicit FmCloseFile(QWidget* parent = nullptr);
    void applyLanguage(int language);
    // FormActivate: fills listbox1 from the record, then ListBox2 for the current selection.
    void fill(const QString& recordPath);

  private:
    void listbox1Click();

    QString recordPath_;
    QStringList sections_; // entry i of listbox1 is the application of section i
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QListWidget* listbox1_ = nullptr;
    QListWidget* listBox2_ = nullptr;
    QPushButton* button1_ = nullptr;
};

} // namespace zav

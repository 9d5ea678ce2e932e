#pragma once
// FormSCode ("SCode解析"): the 128 items of an analysed S-code with their states, coloured by
// severity. It lives inside the analysis window the application created under that name.

#include "records/SCodeAnalysis.h"

#include <QWidget>

class QCheckBox;
class QTableWidget;

namespace zav {

class FormSCode : public QWidget {
    Q_OBJECT
  public:
    explicit FormSCode(QWidget* parent = nullptr);

    // FormShow: the fixed columns for the model and language, then the state column.
    void showAnalysis(const SCodeAnalysis& analysis, int upsModel, int language);
    QTableWidget* table() const { return table_; }
    QCheckBox* abnormalOnly() const { return abnormalOnly_; }

  private:
    void applyFilter(); // "show abnormal only": hides the rows the decoder judges normal
    void setSpans(bool on);

    QTableWidget* table_;
    QCheckBox* abnormalOnly_;
    SCodeAnalysis analysis_;
    int upsModel_ = 1;
    bool shown_ = false; // an analysis is in the table
};

} // namespace zav

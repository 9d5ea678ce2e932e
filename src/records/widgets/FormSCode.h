#pragma once
// FormSCode ("SCode解析"): the 128 items of an analysed S-code with their states, coloured by
// severity. It lives inside the analysis window the application created under that name.

#include "records/SCodeAnalysis.h"

#include <QWidget>

class QTableWidget;

namespace zav {

class FormSCode : public QWidget {
    Q_OBJECT
  public:
    explicit FormSCode(QWidget* parent = nullptr);

    // FormShow: the fixed columns for the model and language, then the state column.
    void showAnalysis(const SCodeAnalysis& analysis, int upsModel, int language);
    QTableWidget* table() const { return table_; }

  private:
    QTableWidget* table_;
};

} // namespace zav

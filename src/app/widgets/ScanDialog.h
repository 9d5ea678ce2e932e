#pragma once
// The connection bar's "Scan..." dialog: shows a ScanController (what to scan, progress and time
// left, what answered) and hands a picked row to the bar. It decides nothing itself. Opened with
// open(); closing it cancels a scan under way, which releases the port at once.

#include "link/ScanController.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableView;
class QTimer;

namespace zav {

class ScanDialog : public QDialog {
    Q_OBJECT
  public:
    ScanDialog(SerialChannel& channel, int language, QWidget* parent = nullptr);

    // The bar's choices when the dialog opens: port, protocol box item, baud box item (7 "Auto").
    void prepare(const QString& portName, int protocolItem, int baudItem);
    void setLanguage(int language);
    ScanController& controller() { return controller_; }
    void startScan(); // the Start button
    void usePicked(); // the Use button

  signals:
    void picked(const zav::ScanPick& pick);

  protected:
    void done(int result) override;

  private:
    ScanRequest request() const;
    void refresh();
    void retranslate();

    ScanController controller_;
    int language_;
    QString portName_;
    QComboBox* protocol_ = nullptr;
    QComboBox* rates_ = nullptr;
    QSpinBox* first_ = nullptr;
    QSpinBox* last_ = nullptr;
    QLabel* protocolLabel_ = nullptr;
    QLabel* ratesLabel_ = nullptr;
    QLabel* addressesLabel_ = nullptr;
    QLabel* toLabel_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* hint_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTableView* table_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* use_ = nullptr;
    QPushButton* close_ = nullptr;
    QTimer* clock_ = nullptr; // redraws the time left while a scan runs
};

} // namespace zav

#include "settings/widgets/FieldDataPanel.h"

#include "foundation/Branding.h"
#include "foundation/RecentFolders.h"
#include "link/LinkTypes.h"
#include "session/UpsSession.h"
#include "records/GridCsv.h"
#include "records/RecordDownload.h"
#include "settings/FieldDataText.h"
#include "settings/SettingWrites.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

namespace zav {

namespace {

const char* const kSaveCaption[3] = {"数据保存", "Save Data", "數據保存"};
const char* const kSaveHint[3] = {"保存现场监控的所有数据", "Save all field monitoring data", "保存現場監控的所有數據"};
const char* const kResumeCaption[3] = {"数据恢复", "Restore Data", "數據恢復"};
const char* const kResumeHint[3] = {"恢复现场数据", "Restore field data", "恢復現場數據"};
const char* const kSaveTitle[3] = {"保存为", "Save as", "保存為"};
const char* const kOpenTitle[3] = {"打开", "Open", "打開"};
const char* const kWorkbookFilter = "(*.xls) (*.xlsx) (*.xls *.xlsx)";
const char* const kTextFilter = "UPSFieldData.csv (*.csv)";

int lang(int language) { return language >= 0 && language <= 2 ? language : 1; }

const char* const kConfirmHead[3] = {"以下设置将写入UPS（UPS现值 -> 文件值）：",
                                      "These settings will be written to the UPS (value on the UPS -> value from the file):",
                                      "以下設置將寫入UPS（UPS現值 -> 文件值）："};
const char* const kNotCopiedHead = "Not copied (no page sets them):";
const char* const kChangedMeanwhile = "The UPS settings changed while the question was open; nothing was written. "
                                      "Restore the file again.";

class StandardFieldDataDialogs : public FieldDataDialogs {
  public:
    void askSave(QWidget* parent, const QString& title, const QString& folder,
                 std::function<void(const QString&, int)> chosen) override {
        auto* dialog = fileDialog(parent, title, QDir(folder).filePath(QStringLiteral("UPSFieldData")));
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setNameFilters({QLatin1String(kWorkbookFilter), QLatin1String(kTextFilter)});
        QObject::connect(dialog, &QFileDialog::fileSelected, dialog, [dialog, chosen](const QString& name) {
            const QString filter = dialog->selectedNameFilter();
            chosen(name, filter == QLatin1String(kWorkbookFilter) ? 1 : filter == QLatin1String(kTextFilter) ? 2 : 0);
        });
        dialog->open();
    }
    void askOpen(QWidget* parent, const QString& title, const QString& folder,
                 std::function<void(const QString&)> chosen) override {
        auto* dialog = fileDialog(parent, title, folder);
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
        // Every file is offered: a file is recognised by its content, whatever its name.
        dialog->setNameFilters({QStringLiteral("(*.xls *.xlsx *.csv)"), QStringLiteral("(*)")});
        QObject::connect(dialog, &QFileDialog::fileSelected, dialog, [chosen](const QString& path) { chosen(path); });
        dialog->open();
    }
    void message(QWidget* parent, const QString& text) override {
        auto* box = new QMessageBox(QMessageBox::Information, QCoreApplication::applicationName(), text, QMessageBox::Ok, parent);
        box->setObjectName(QStringLiteral("FieldDataMessage"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    }
    void confirm(QWidget* parent, const QString& text, std::function<void(bool)> answer) override {
        auto* box = new QMessageBox(QMessageBox::Question, QCoreApplication::applicationName(), text,
                                    QMessageBox::Ok | QMessageBox::Cancel, parent);
        box->setObjectName(QStringLiteral("FieldDataConfirm"));
        box->setDefaultButton(QMessageBox::Cancel);
        box->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(box, &QMessageBox::finished, box,
                         [box, answer](int) { answer(box->clickedButton() == box->button(QMessageBox::Ok)); });
        box->open();
    }

  private:
    static QFileDialog* fileDialog(QWidget* parent, const QString& title, const QString& place) {
        auto* dialog = new QFileDialog(parent, title, place);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        return dialog;
    }
};

// The history (priority 1) and S-code (priority 2) downloads hold the logs the record pages show.
RecordDownload* recordDownload(const UpsSession* scheduler, int priority) {
    return scheduler ? dynamic_cast<RecordDownload*>(scheduler->recordJob(priority)) : nullptr;
}

} // namespace

FieldDataDialogs& standardFieldDataDialogs() {
    static StandardFieldDataDialogs dialogs;
    return dialogs;
}

FieldDataPanel::FieldDataPanel(AppContext& context, QWidget* parent)
    : QWidget(parent), context_(context), dialogs_(&standardFieldDataDialogs()),
      folder_(QCoreApplication::applicationDirPath()), clock_([] { return QDateTime::currentDateTime(); }) {
    setObjectName(QStringLiteral("FieldDataPanel"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    save_ = new QPushButton(this);
    save_->setObjectName(QStringLiteral("ButtonSaveCurData"));
    resume_ = new QPushButton(this);
    resume_->setObjectName(QStringLiteral("ButtonResumeCurData"));
    saved_ = new QLabel(this);
    saved_->setObjectName(QStringLiteral("LabelSavedCurData"));
    saved_->setTextInteractionFlags(Qt::TextSelectableByMouse); // the path can be copied
    layout->addWidget(save_);
    layout->addWidget(resume_);
    layout->addWidget(saved_, 1);
    connect(save_, &QPushButton::clicked, this, &FieldDataPanel::saveClick);
    connect(resume_, &QPushButton::clicked, this, &FieldDataPanel::resumeClick);
    if (context_.scheduler)
        connect(context_.scheduler, &UpsSession::writeSequenceEnded, this, &FieldDataPanel::transferEnded);
    applyLanguage(context_.language);
}

void FieldDataPanel::applyLanguage(int language) {
    const int l = lang(language);
    save_->setText(QString::fromUtf8(kSaveCaption[l]));
    save_->setToolTip(QString::fromUtf8(kSaveHint[l]));
    resume_->setText(QString::fromUtf8(kResumeCaption[l]));
    resume_->setToolTip(QString::fromUtf8(kResumeHint[l]));
}

void FieldDataPanel::showEvent(QShowEvent* event) {
    applyLanguage(context_.language);
    QWidget::showEvent(event);
}

QComboBox* FieldDataPanel::modelBox() const {
    return window()->findChild<QComboBox*>(QStringLiteral("ComboBoxUpsType"));
}

int FieldDataPanel::model() const {
    const QComboBox* box = modelBox();
    const ModelChoice choice = modelFromBox(box ? box->currentIndex() : -1);
    if (context_.scheduler && context_.scheduler->connected()) return context_.scheduler->upsModel();
    return choice.ok && !choice.automatic ? choice.model : (context_.scheduler ? context_.scheduler->upsModel() : 0);
}

FieldSnapshot FieldDataPanel::currentSnapshot() const {
    FieldSnapshot s;
    if (context_.scheduler) {
        s.takeLive(context_.scheduler->live());
        s.SettingData = context_.scheduler->settings().SettingData;
    }
    if (const RecordDownload* history = recordDownload(context_.scheduler, 1)) copyGrid(history->grid(), s.history);
    if (const RecordDownload* scodes = recordDownload(context_.scheduler, 2)) copyGrid(scodes->grid(), s.scodes);
    s.version = brandingVersionLabel();
    return s;
}

void FieldDataPanel::saveClick() {
    if (reading_) return;
    const std::shared_ptr<bool> alive = alive_;
    const RecentFolders folders(context_.profile, folder_);
    dialogs_->askSave(this, QString::fromUtf8(kSaveTitle[lang(context_.language)]), folders.folder(FileKind::FieldData),
                      [this, alive](const QString& chosen, int type) {
        if (!*alive || chosen.isEmpty()) return;
        QString error, path;
        if (type == 1) {
            path = FieldDataWorkbook::xlsxFileName(chosen);
            error = FieldDataWorkbook::save(path, currentSnapshot(), context_.language, model());
        } else if (type == 2) {
            path = csvFileName(chosen);
            error = FieldDataText::save(path, currentSnapshot());
        } else {
            error = QLatin1String(FieldMsg::saveError);
        }
        saved_->setText(error.isEmpty() ? fieldDataSavedText(QDir::toNativeSeparators(path), context_.language)
                                        : QString());
        if (error.isEmpty())
            RecentFolders(context_.profile, folder_).remember(FileKind::FieldData, path);
        else
            dialogs_->message(this, error);
    });
}

void FieldDataPanel::resumeClick() {
    if (reading_) return;
    UpsSession* scheduler = context_.scheduler;
    const std::shared_ptr<bool> alive = alive_;
    const QString title = QString::fromUtf8(kOpenTitle[lang(context_.language)]);
    if (scheduler && scheduler->portOpen()) {
        dialogs_->askOpen(this, title, RecentFolders(context_.profile, folder_).folder(FileKind::FieldData),
                          [this, alive](const QString& path) {
                              if (!*alive || path.isEmpty()) return;
                              RecentFolders(context_.profile, folder_).remember(FileKind::FieldData, path);
                              transfer(path);
                          });
        return;
    }
    const QComboBox* box = modelBox();
    if (box && !modelFromBox(box->currentIndex()).ok) {
        dialogs_->message(this, QLatin1String(FieldMsg::modelError));
        return;
    }
    dialogs_->askOpen(this, title, RecentFolders(context_.profile, folder_).folder(FileKind::FieldData),
                      [this, alive](const QString& path) {
                          if (!*alive || path.isEmpty()) return;
                          RecentFolders(context_.profile, folder_).remember(FileKind::FieldData, path);
                          loadOffline(path);
                      });
}

template <class Result>
void FieldDataPanel::inBackground(std::function<Result()> work, std::function<void(Result)> done) {
    reading_ = true; // the buttons' enabled state is the window's (ButtonStates): clicks are ignored instead
    auto result = std::make_shared<Result>();
    QThread* thread = QThread::create([work = std::move(work), result] { *result = work(); });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    // Queued to this panel: a panel gone before the read ends drops the result.
    connect(thread, &QThread::finished, this, [this, done = std::move(done), result] {
        reading_ = false;
        done(std::move(*result));
    });
    thread->start();
}

void FieldDataPanel::loadOffline(const QString& path) {
    struct Loaded {
        FieldSnapshot snapshot;
        FieldImportResult result;
    };
    inBackground<Loaded>(
        [path, base = currentSnapshot()]() mutable {
            Loaded l{std::move(base), {}};
            l.result = loadFieldFile(path, l.snapshot);
            return l;
        },
        [this](Loaded l) { offlineLoaded(std::move(l.snapshot), l.result); });
}

void FieldDataPanel::offlineLoaded(FieldSnapshot s, const FieldImportResult& r) {
    if (!r.ok()) {
        dialogs_->message(this, r.fatal);
        return;
    }
    if (UpsSession* scheduler = context_.scheduler) {
        // The pages are set up again for the model in the model box; with "Auto" the snapshot's own
        // type code says which model it came from (the pages keep theirs if the code is unknown).
        const QComboBox* box = modelBox();
        const ModelChoice choice = modelFromBox(box ? box->currentIndex() : 0);
        const ModelDetection detected = detectModel(s.LiveData[78]);
        const int model = !choice.automatic ? choice.model
                          : detected.comboItem > 0 ? detected.upsModel
                                                   : scheduler->upsModel();
        scheduler->chooseModelOffline(model); // the window re-initialises every page (live stores cleared)
    }
    showSnapshot(s);
    if (!r.badRows.isEmpty()) dialogs_->message(this, namedRows(QLatin1String(FieldMsg::dataError), r.badRows));
}

void FieldDataPanel::showSnapshot(const FieldSnapshot& s) {
    UpsSession* scheduler = context_.scheduler;
    if (scheduler) {
        s.giveLive(scheduler->live());
        scheduler->settings().SettingData = s.SettingData;
        scheduler->settings().SettingNew = s.SettingData;
    }
    // The record pages redraw their tables from the downloads (and save and analyse what they show).
    if (RecordDownload* history = recordDownload(scheduler, 1)) history->loadGrid(s.history);
    if (RecordDownload* scodes = recordDownload(scheduler, 2)) scodes->loadGrid(s.scodes);
    if (scheduler) { // every page redraws from the stores, as after a poll cycle and a download
        emit scheduler->moduleListChanged();
        emit scheduler->liveCycleEnded();
        emit scheduler->moduleStageEnded();
        emit scheduler->settingsDownloaded();
    }
}

void FieldDataPanel::transfer(const QString& path) {
    inBackground<WorkbookCells>([path] { return FieldDataWorkbook::read(path); },
                                [this](WorkbookCells book) { transferRead(book); });
}

void FieldDataPanel::transferRead(const WorkbookCells& book) {
    UpsSession* scheduler = context_.scheduler;
    if (!scheduler || !scheduler->portOpen()) return; // closed while the file was chosen or read
    const FieldDataWorkbook::Transfer file = FieldDataWorkbook::settingsOf(book, scheduler->settings().SettingData);
    const RegisterStore plannedOn = scheduler->settings().SettingData;
    const TransferPlan plan = planSettingsTransfer(file, scheduler->live().LiveData[78], plannedOn,
                                                   scheduler->upsModel(), context_.language, clock_());
    if (!plan.badRows.isEmpty()) dialogs_->message(this, namedRows(QLatin1String(FieldMsg::dataError), plan.badRows));
    if (!plan.ok()) {
        dialogs_->message(this, plan.refusal);
        return;
    }
    const QVector<SettingChange> changes =
        transferChanges(plan.entries, plannedOn, scheduler->upsModel(), context_.language);
    if (changes.isEmpty()) {
        // Nothing differs: the sequence confirms the values and sends nothing.
        if (!plan.notCopied.isEmpty()) dialogs_->message(this, namedRows(QLatin1String(kNotCopiedHead), plan.notCopied));
        startTransfer(plan, plannedOn);
        return;
    }
    QString text = QString::fromUtf8(kConfirmHead[lang(context_.language)]) + u'\n' + changesText(changes);
    if (!plan.notCopied.isEmpty()) text += u'\n' + namedRows(QLatin1String(kNotCopiedHead), plan.notCopied);
    const std::shared_ptr<bool> alive = alive_;
    dialogs_->confirm(this, text, [this, alive, plan, plannedOn](bool ok) {
        if (*alive && ok) startTransfer(plan, plannedOn);
    });
}

void FieldDataPanel::startTransfer(const TransferPlan& plan, const RegisterStore& plannedOn) {
    UpsSession* scheduler = context_.scheduler;
    if (!scheduler || !scheduler->portOpen()) return;
    // The question stays open as long as the user likes; what was confirmed is only sent if the UPS
    // still holds what the list showed.
    if (!(scheduler->settings().SettingData == plannedOn)) {
        dialogs_->message(this, QLatin1String(kChangedMeanwhile));
        return;
    }
    if (scheduler->startWriteSequence(plan.entries)) {
        transferred_ = plan.entries;
        transferRunning_ = true;
    }
}

void FieldDataPanel::transferEnded(const QVector<WriteResult>& results) {
    if (!transferRunning_) return; // another page's Set
    transferRunning_ = false;
    const QVector<WriteEntry> missed = unconfirmedEntries(transferred_, results);
    if (!missed.isEmpty())
        dialogs_->message(this, notWrittenText(missed, context_.scheduler->upsModel(), context_.language,
                                               context_.scheduler->settings().SettingData));
}

} // namespace zav

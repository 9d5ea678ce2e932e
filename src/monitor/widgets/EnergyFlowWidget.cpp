#include "monitor/widgets/EnergyFlowWidget.h"

#include "session/UpsSession.h"
#include "foundation/LanguageText.h"

#include <QPaintEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QGraphicsColorizeEffect>
#include <QLabel>
#include <QTimer>

// Resources of a static library are registered by hand.
static void initFlowResources() {
    Q_INIT_RESOURCE(energyflow);
}

namespace zav {

namespace {

constexpr int kTimerflowMs = 100;
// The part of the diagram's coordinates that holds its wires and pictures; it is fitted into the
// widget with its shape kept.
const QRectF kDiagramBounds(70, 45, 560, 258);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kWire(0xc9, 0xd1, 0xdb);
const Texts3 kModuleCaption = {"功率模块", "Power Module", "功率模組"};

// One state picture of a panel: its widget name, its drawing and the state it shows.
struct PictureRow {
    const char* panel;
    const char* image;
    const char* svg;
};
const PictureRow kPictures[] = {
    {"Panel2", "ImageBypScrOpen", ":/flow/switch_open.svg"},
    {"Panel2", "ImageBypScrClose", ":/flow/switch_closed.svg"},
    {"Panel4", "ImageMaintCbOpen", ":/flow/breaker_open.svg"},
    {"Panel4", "ImageMaintCbClose", ":/flow/breaker_closed.svg"},
    {"Panel8", "ImagePowerModule", ":/flow/module.svg"},
    {"PanelRec", "ImageRec", ":/flow/rec.svg"},
    {"PanelInv", "ImageInv", ":/flow/inv.svg"},
    {"PanelBypass", "ImageBypassOK", ":/flow/bypass_ok.svg"},
    {"PanelBypass", "ImageBypFail", ":/flow/bypass_fail.svg"},
    {"PanelBatt", "ImageBattConned", ":/flow/batt_conned.svg"},
    {"PanelBatt", "ImageBattDisConn", ":/flow/batt_disconn.svg"},
    {"ImageBattTower", "ImageBattTowerPicture", ":/flow/batt_conned.svg"},
};

// A wire: a 6-pixel channel the squares run in.
class Wire : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), kWire); }
};

// A panel: its pictures lie on top of each other, one shown at a time, each filling the panel.
class Panel : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void resizeEvent(QResizeEvent*) override {
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            child->setGeometry(rect());
    }
};

// A picture drawn from its SVG at the widget's size, with an optional caption over it.
class SvgImage : public QWidget {
  public:
    SvgImage(const char* svg, QWidget* parent) : QWidget(parent), renderer_(QString::fromLatin1(svg), this) {}
    void setCaption(const QString& caption) {
        caption_ = caption;
        update();
    }
    QString caption() const { return caption_; }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        renderer_.render(&p, QRectF(rect()));
        if (caption_.isEmpty()) return;
        // The caption fits the picture's width: the font shrinks for longer texts.
        QFont font = p.font();
        font.setBold(true);
        int pixels = std::max(8, height() / 7);
        font.setPixelSize(pixels);
        while (pixels > 6 && QFontMetrics(font).horizontalAdvance(caption_) > width() - 8)
            font.setPixelSize(--pixels);
        p.setFont(font);
        const QRect textRect = p.fontMetrics().boundingRect(caption_).adjusted(-3, -1, 3, 1);
        QRect pill(0, 0, std::min(textRect.width(), width()), textRect.height());
        pill.moveCenter(QPoint(width() / 2, height() - pill.height() / 2 - 2));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 220));
        p.drawRoundedRect(pill, 3, 3);
        p.setPen(QColor(0x16, 0x3a, 0x63));
        p.drawText(pill, Qt::AlignCenter, caption_);
    }

  private:
    QSvgRenderer renderer_;
    QString caption_;
};

} // namespace

// The layer of the moving squares: painted from the frame in each paint event.
class EnergyFlowWidget::Squares : public QWidget {
  public:
    explicit Squares(EnergyFlowWidget* flow) : QWidget(flow), flow_(flow) {
        setObjectName(QStringLiteral("FlowSquares"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter p(this);
        p.setTransform(flow_->transform());
        const QRectF dirty = flow_->transform().inverted().mapRect(QRectF(event->rect()));
        for (const FlowRun& run : flow_->frame().runs) {
            if (!dirty.intersects(QRectF(run.bounds()))) continue;
            const QColor colour = run.colour == FlowColour::Red ? kRed : kGreen;
            for (const QRect& square : run.squares())
                p.fillRect(square, colour);
        }
    }

  private:
    EnergyFlowWidget* flow_;
};

EnergyFlowWidget::EnergyFlowWidget(AppContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
    initFlowResources();
    setObjectName(QStringLiteral("EnergyFlow"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setMinimumSize(280, 110); // it scales with its area: small windows shrink it before they scroll

    // Wires below, then the squares, then the pictures on top (they hide the squares under them).
    for (const FlowElement& e : flowElements()) {
        if (qstrncmp(e.name, "Shape", 5) != 0) continue;
        auto* wire = new Wire(this);
        wire->setObjectName(QString::fromLatin1(e.name));
        wire->setAttribute(Qt::WA_TransparentForMouseEvents);
        elements_.insert(wire->objectName(), wire);
    }
    squares_ = new Squares(this);
    for (const FlowElement& e : flowElements()) {
        if (qstrncmp(e.name, "Shape", 5) == 0) continue;
        auto* panel = new Panel(this);
        panel->setObjectName(QString::fromLatin1(e.name));
        elements_.insert(panel->objectName(), panel);
    }
    for (const PictureRow& row : kPictures) {
        QWidget* panel = elements_.value(QString::fromLatin1(row.panel));
        auto* image = new SvgImage(row.svg, panel);
        image->setObjectName(QString::fromLatin1(row.image));
        images_.insert(image->objectName(), image);
    }
    static_cast<SvgImage*>(images_.value("ImageRec"))->setCaption(QStringLiteral("REC"));
    static_cast<SvgImage*>(images_.value("ImageInv"))->setCaption(QStringLiteral("INV"));
    moduleCaption_ = images_.value("ImagePowerModule");
    gapLabel_ = new QLabel(this);
    gapLabel_->setObjectName(QStringLiteral("LabelFlowDataGap"));
    gapLabel_->setAlignment(Qt::AlignCenter);
    gapLabel_->setStyleSheet(QStringLiteral("background: rgba(255, 255, 255, 210); color: #333; font-weight: bold;"));
    gapLabel_->hide();

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timerflow"));
    timer_->setInterval(kTimerflowMs);
    connect(timer_, &QTimer::timeout, this, &EnergyFlowWidget::timerflowTimer);

    if (UpsSession* s = context_.scheduler) {
        connect(s, &UpsSession::linkStateChanged, this, &EnergyFlowWidget::updateTimer);
        using StoreSignal = void (UpsSession::*)();
        for (StoreSignal signal : std::initializer_list<StoreSignal>{
                 &UpsSession::liveCycleEnded, &UpsSession::liveStoresCleared, &UpsSession::linkReset,
                 &UpsSession::settingsDownloaded})
            connect(s, signal, this, &EnergyFlowWidget::rebuildFrame);
    }
    setHomeLayout();
    applyLanguage(context_.language);
    rebuildFrame();
    applyPictures();
}

void EnergyFlowWidget::applyLanguage(int language) {
    static_cast<SvgImage*>(moduleCaption_)->setCaption(pickText(kModuleCaption, language));
    setHomeLayout();
}

void EnergyFlowWidget::setDataGap(const QString& reason) {
    if (reason == gapReason_) return;
    gapReason_ = reason;
    if (reason.isEmpty()) {
        setGraphicsEffect(nullptr); // deletes the effect
        gapLabel_->hide();
        return;
    }
    if (!graphicsEffect()) {
        auto* grey = new QGraphicsColorizeEffect(this);
        grey->setColor(QColor(0x90, 0x90, 0x90));
        grey->setStrength(1.0);
        setGraphicsEffect(grey);
    }
    gapLabel_->setText(reason);
    gapLabel_->show();
    gapLabel_->raise();
    placeElements();
}

void EnergyFlowWidget::setHomeLayout() {
    const int model = context_.scheduler ? context_.scheduler->upsModel() : 1;
    variant_ = flowVariant(model);
    for (const FlowElement& e : flowElements())
        elements_.value(QString::fromLatin1(e.name))->setVisible(e.shown[int(variant_)]);
}

void EnergyFlowWidget::timerflowTimer() {
    const bool pending = context_.scheduler && context_.scheduler->autoModelPending();
    if (!clock_.tick(pending)) return;
    rebuildFrame();
}

void EnergyFlowWidget::rebuildFrame() {
    UpsSession* s = context_.scheduler;
    const FlowInputs in = s ? flowInputs(s->live(), s->settings().SettingData, s->upsModel()) : FlowInputs{};
    FlowFrame next = energyFlowFrame(in, clock_.phase());
    if (next.variant != variant_) setHomeLayout();

    // Only the strips of the squares that were and that are now are painted again.
    QRegion dirty;
    for (const FlowFrame* f : {&frame_, &next})
        for (const FlowRun& run : f->runs)
            dirty += transform_.mapRect(QRectF(run.bounds())).toAlignedRect().adjusted(-1, -1, 1, 1);
    const bool picturesChanged = next.pictures != frame_.pictures;
    frame_ = std::move(next);
    if (picturesChanged) applyPictures();
    if (!dirty.isEmpty()) squares_->update(dirty);
}

void EnergyFlowWidget::applyPictures() {
    const FlowPictures& p = frame_.pictures;
    const struct {
        const char* shownWhenTrue;
        const char* shownWhenFalse;
        bool state;
    } pairs[] = {
        {"ImageBypScrClose", "ImageBypScrOpen", p.bypassSwitchClosed},
        {"ImageMaintCbClose", "ImageMaintCbOpen", p.maintCbClosed},
        {"ImageBypFail", "ImageBypassOK", p.bypassFailed},
        {"ImageBattDisConn", "ImageBattConned", p.battDisconnected},
    };
    for (const auto& pair : pairs) {
        images_.value(QString::fromLatin1(pair.shownWhenTrue))->setVisible(pair.state);
        images_.value(QString::fromLatin1(pair.shownWhenFalse))->setVisible(!pair.state);
    }
}

void EnergyFlowWidget::updateTimer() {
    const bool run = isVisible() && context_.scheduler && context_.scheduler->linkOk();
    if (run == timer_->isActive()) return;
    if (run)
        timer_->start();
    else
        timer_->stop();
    rebuildFrame();
}

void EnergyFlowWidget::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    applyPictures();
    updateTimer();
}

void EnergyFlowWidget::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    updateTimer();
}

void EnergyFlowWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeElements();
}

void EnergyFlowWidget::placeElements() {
    const qreal scale = std::min(width() / kDiagramBounds.width(), height() / kDiagramBounds.height());
    const qreal dx = (width() - kDiagramBounds.width() * scale) / 2 - kDiagramBounds.left() * scale;
    const qreal dy = (height() - kDiagramBounds.height() * scale) / 2 - kDiagramBounds.top() * scale;
    transform_ = QTransform(scale, 0, 0, scale, dx, dy);
    for (const FlowElement& e : flowElements())
        elements_.value(QString::fromLatin1(e.name))
            ->setGeometry(transform_.mapRect(QRectF(e.rect)).toAlignedRect());
    squares_->setGeometry(rect());
    squares_->update();
    const int band = std::max(32, gapLabel_->sizeHint().height() + 12);
    gapLabel_->setGeometry(0, (height() - band) / 2, width(), band);
}

} // namespace zav

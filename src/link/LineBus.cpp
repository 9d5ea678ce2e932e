#include "link/LineBus.h"

namespace zav {

// One member's view of the shared port. Opening opens the port unless another member has it open
// already; the port closes when the last member closes its channel.
class LineBus::MemberChannel : public SerialChannel {
  public:
    explicit MemberChannel(LineBus& bus) : bus_(bus) {}

    void setPortName(const QString& name) override {
        if (!bus_.port_.isOpen()) bus_.port_.setPortName(name);
    }
    QString portName() const override { return bus_.port_.portName(); }
    void setBaudRate(int baud) override { bus_.port_.setBaudRate(baud); }
    int baudRate() const override { return bus_.port_.baudRate(); }
    bool open() override {
        userOpen_ = bus_.port_.isOpen() || bus_.port_.open();
        return userOpen_;
    }
    void close() override {
        userOpen_ = false;
        for (const auto& other : bus_.channels_)
            if (other->userOpen_) return;
        bus_.port_.close();
    }
    bool isOpen() const override { return userOpen_ && bus_.port_.isOpen(); }
    QString errorText() const override { return bus_.port_.errorText(); }
    void purge() override { bus_.port_.purge(); }
    bool write(const QByteArray& bytes) override { return bus_.port_.write(bytes); }
    QByteArray readAvailable(int maxBytes) override { return bus_.port_.readAvailable(maxBytes); }
    QByteArray peekAvailable(int maxBytes) override { return bus_.port_.peekAvailable(maxBytes); }

  private:
    LineBus& bus_;
    bool userOpen_ = false;
};

LineBus::LineBus(SerialChannel& port) : port_(port) {
    // What the port hears belongs to the member that has the line (or had it last).
    port_.onRxChar = [this](int waiting) {
        if (holder_ >= 0 && channels_[size_t(holder_)]->onRxChar) channels_[size_t(holder_)]->onRxChar(waiting);
    };
    port_.onRxFlag = [this] {
        if (holder_ >= 0 && channels_[size_t(holder_)]->onRxFlag) channels_[size_t(holder_)]->onRxFlag();
    };
}

LineBus::~LineBus() {
    port_.onRxChar = nullptr;
    port_.onRxFlag = nullptr;
}

SerialChannel& LineBus::addChannel() {
    channels_.push_back(std::make_unique<MemberChannel>(*this));
    return *channels_.back();
}

void LineBus::join(Scheduler& member) {
    members_.push_back(&member);
    ticksSinceTurn_.push_back(0);
    missedLastTurn_.push_back(false);
}

bool LineBus::turnOver() const {
    if (holder_ < 0) return true;
    const Scheduler& h = member(holder_);
    if (!h.lineQuiet()) return false; // its answer, or a late one, may still be on the wire
    return parked_ || !h.portOpen() || !h.jobWantsLine() || h.missedReplies() > missedAtTurnStart_;
}

bool LineBus::mayTakeLine(int index) const {
    const Scheduler& m = member(index);
    if (!m.connected() || !m.portOpen() || !m.jobWantsLine()) return false;
    return !missedLastTurn_[size_t(index)] || ticksSinceTurn_[size_t(index)] >= kProbeTicks;
}

void LineBus::giveLine(int index) {
    if (holder_ >= 0) missedLastTurn_[size_t(holder_)] = member(holder_).missedReplies() > missedAtTurnStart_;
    holder_ = index;
    parked_ = false;
    missedAtTurnStart_ = member(index).missedReplies();
}

void LineBus::tick() {
    const int n = size();
    if (n == 0) return;
    if (n == 1) {
        // Alone on its line a member is never held: it polls as on a port of its own.
        holder_ = 0;
        parked_ = false;
    } else if (turnOver()) {
        // The next member in turn; the one that had the line comes last.
        const int from = holder_ < 0 ? n - 1 : holder_;
        bool given = false;
        for (int k = 1; k <= n && !given; ++k) {
            const int i = (from + k) % n;
            if (mayTakeLine(i)) {
                giveLine(i);
                given = true;
            }
        }
        // Nobody wants the line: the last holder keeps hearing it (stray bytes still make the next
        // request wait), but sends nothing.
        if (!given && holder_ >= 0 && !parked_) {
            missedLastTurn_[size_t(holder_)] = member(holder_).missedReplies() > missedAtTurnStart_;
            parked_ = true;
        }
    }
    for (int i = 0; i < n; ++i) {
        const bool serving = i == holder_ && !parked_;
        members_[size_t(i)]->setLineHeld(!serving);
        ticksSinceTurn_[size_t(i)] = serving ? 0 : ticksSinceTurn_[size_t(i)] + 1;
    }
    for (Scheduler* m : members_)
        m->tick();
}

} // namespace zav

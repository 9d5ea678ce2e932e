#pragma once
// Drives a UpsSession over a FakeSerialChannel with a scripted UPS on the far end: each tick first
// delivers the answer to the previous request (as a real line would, between ticks), then ticks.

#include "FakeSerialChannel.h"
#include "session/UpsSession.h"

#include <functional>
#include <map>

namespace zav::test {

struct Request {
    uint8_t address = 0;
    uint8_t function = 0;
    int start = 0; // start register, record index or written register
    int count = 0;
    int value = 0; // for 0x10 / 0x68
    int module = 0;
};

// Decodes a request frame the scheduler wrote; false for garbage.
bool parseRequest(Protocol mode, const QByteArray& frame, Request& out);

class FakeUps {
  public:
    FakeUps(FakeSerialChannel& channel, UpsSession& scheduler) : channel_(channel), scheduler_(scheduler) {}

    // Register values the UPS answers with; unset registers read as 0.
    std::map<int, uint16_t> registers;
    uint8_t address = 1;
    Protocol mode = Protocol::Ascii;
    bool silent = false;
    // Answers a request; an empty result means no answer. Default: from `registers`.
    std::function<QByteArray(const Request&)> answer;
    // Every request the scheduler sent, in order.
    QVector<Request> requests;
    // Fast timing as a real line gives it: an answer arrives at once, and once the inter-frame gap
    // has passed the scheduler is prompted (its timer, which no event loop runs here).
    bool answerAtOnce = false;

    void step();
    // Steps until `done` holds; returns false when maxTicks ran out first.
    bool stepUntil(const std::function<bool()>& done, int maxTicks = 2000);
    void steps(int n) {
        for (int i = 0; i < n; ++i)
            step();
    }
    QByteArray defaultAnswer(const Request& r) const;

  private:
    void takeRequests();

    FakeSerialChannel& channel_;
    UpsSession& scheduler_;
    int handled_ = 0;
    QByteArray pending_;
};

} // namespace zav::test

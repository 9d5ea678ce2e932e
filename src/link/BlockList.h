#pragma once
// A numbered list of register blocks stepped one transaction at a time, with the retry rule every
// block read of the link shares: a block that fails is asked for once more, then given up for this
// round so one dead block cannot stall the others.

#include <QVector>

namespace zav {

struct Block {
    int start = 0;
    int count = 0;
    int module = 0; // module number, for the module blocks only
};

class BlockList {
  public:
    void load(QVector<Block> entries) {
        entries_ = std::move(entries);
        index_ = 1;
        failures_ = 0;
    }
    void clear() {
        entries_.clear();
        index_ = 0;
        failures_ = 0;
    }
    bool inRange() const { return index_ >= 1 && index_ <= last(); }
    const Block& current() const { return entries_[index_ - 1]; }
    int index() const { return index_; }
    int last() const { return int(entries_.size()); }
    int failures() const { return failures_; }

    void accepted() { advance(); }
    // A failed attempt: the second failure of the same block gives it up.
    void failed() {
        if (++failures_ > 1) advance();
    }

  private:
    // Each block gets its own two attempts: the counter starts afresh with every block.
    void advance() {
        ++index_;
        failures_ = 0;
    }

    QVector<Block> entries_;
    int index_ = 0;
    int failures_ = 0;
};

} // namespace zav

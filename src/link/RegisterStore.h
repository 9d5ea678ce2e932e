#pragma once
// A block of 16-bit UPS registers indexed by register number, as received (unsigned).
// Reads outside the block give 0 and writes outside it are ignored, so a stray register number
// from a table can never corrupt memory.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zav {

class RegisterStore {
  public:
    RegisterStore(int first, int last) : first_(first), words_(std::size_t(last - first + 1), 0) {}

    int first() const { return first_; }
    int last() const { return first_ + int(words_.size()) - 1; }
    bool contains(int reg) const { return reg >= first_ && reg <= last(); }
    uint16_t operator[](int reg) const { return contains(reg) ? words_[std::size_t(reg - first_)] : 0; }
    uint16_t value(int reg) const { return (*this)[reg]; }
    void set(int reg, uint16_t v) {
        if (contains(reg)) words_[std::size_t(reg - first_)] = v;
    }
    void clear() { std::fill(words_.begin(), words_.end(), 0); }
    bool operator==(const RegisterStore&) const = default;

  private:
    int first_;
    std::vector<uint16_t> words_;
};

} // namespace zav

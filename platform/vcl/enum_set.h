// The form library's small sets (`TShiftState`, `TFontStyles`, dialog
// options): `Shift.Contains(ssLeft)`, `TFontStyles() << fsBold`.
#pragma once
#include <cstdint>
#include <initializer_list>

namespace vcl {

template <class E>
class EnumSet {
 public:
  constexpr EnumSet() = default;
  constexpr EnumSet(std::initializer_list<E> items) {
    for (E e : items) bits_ |= Bit(e);
  }

  constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr EnumSet& operator<<(E e) {
    bits_ |= Bit(e);
    return *this;
  }
  constexpr EnumSet& operator>>(E e) {
    bits_ &= ~Bit(e);
    return *this;
  }
  constexpr EnumSet operator+(const EnumSet& o) const { return FromBits(bits_ | o.bits_); }
  constexpr EnumSet operator-(const EnumSet& o) const { return FromBits(bits_ & ~o.bits_); }
  constexpr EnumSet operator*(const EnumSet& o) const { return FromBits(bits_ & o.bits_); }
  constexpr bool operator==(const EnumSet& o) const { return bits_ == o.bits_; }
  constexpr bool operator!=(const EnumSet& o) const { return bits_ != o.bits_; }
  constexpr uint64_t Bits() const { return bits_; }
  static constexpr EnumSet FromBits(uint64_t bits) {
    EnumSet s;
    s.bits_ = bits;
    return s;
  }

 private:
  static constexpr uint64_t Bit(E e) { return uint64_t(1) << unsigned(e); }
  uint64_t bits_ = 0;
};

}  // namespace vcl

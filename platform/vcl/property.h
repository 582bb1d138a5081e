// Properties as the form library has them: `Panel1->Height = 16;`,
// `if (Form14->Visible)`, `StrToInt(Edit1->Text)`. A property is a small
// member holding its owner; reads call the owner's getter, assignments its
// setter (virtual getters and setters dispatch as usual). `p()` reads the
// value explicitly, e.g. `Edit1->Text().size()`.
#pragma once
#include <string>
#include <type_traits>
#include <utility>

namespace vcl {

template <class T>
using PropertyArg = std::conditional_t<std::is_scalar_v<T>, T, const T&>;

struct PropertyTag {};
template <class U>
inline constexpr bool kIsProperty = std::is_base_of_v<PropertyTag, std::decay_t<U>>;

template <class O, class T, T (O::*Get)() const>
class ReadOnly : public PropertyTag {
 public:
  explicit ReadOnly(const O* owner) : owner_(owner) {}
  ReadOnly(const ReadOnly&) = delete;
  ReadOnly& operator=(const ReadOnly&) = delete;

  T operator()() const { return (owner_->*Get)(); }
  operator T() const { return (owner_->*Get)(); }
  // Object properties (TFont*, TCanvas* ...) reach their members.
  template <class U = T, std::enable_if_t<std::is_pointer_v<U>, int> = 0>
  U operator->() const {
    return (owner_->*Get)();
  }

  // Comparisons and joins for values that only convert through templates
  // (strings); other arguments go through the value's own operators.
  template <class U, std::enable_if_t<!kIsProperty<U>, int> = 0>
  friend auto operator==(const ReadOnly& p, const U& u) -> decltype(std::declval<T>() == u) {
    return p() == u;
  }
  template <class U, std::enable_if_t<!kIsProperty<U>, int> = 0>
  friend auto operator==(const U& u, const ReadOnly& p) -> decltype(u == std::declval<T>()) {
    return u == p();
  }
  template <class U, std::enable_if_t<!kIsProperty<U>, int> = 0>
  friend auto operator!=(const ReadOnly& p, const U& u) -> decltype(std::declval<T>() != u) {
    return p() != u;
  }
  template <class U, std::enable_if_t<!kIsProperty<U>, int> = 0>
  friend auto operator!=(const U& u, const ReadOnly& p) -> decltype(u != std::declval<T>()) {
    return u != p();
  }
  template <class P, std::enable_if_t<kIsProperty<P>, int> = 0>
  friend bool operator==(const ReadOnly& a, const P& b) {
    return a() == b();
  }
  template <class P, std::enable_if_t<kIsProperty<P>, int> = 0>
  friend bool operator!=(const ReadOnly& a, const P& b) {
    return a() != b();
  }
  template <class U, std::enable_if_t<!kIsProperty<U>, int> = 0>
  friend auto operator+(const ReadOnly& p, const U& u) -> decltype(std::declval<T>() + u) {
    return p() + u;
  }
  template <class U, std::enable_if_t<!kIsProperty<U>, int> = 0>
  friend auto operator+(const U& u, const ReadOnly& p) -> decltype(u + std::declval<T>()) {
    return u + p();
  }
  template <class P, std::enable_if_t<kIsProperty<P>, int> = 0>
  friend auto operator+(const ReadOnly& a, const P& b) -> decltype(std::declval<T>() + b()) {
    return a() + b();
  }

 protected:
  const O* owner_;
};

template <class O, class T, T (O::*Get)() const, void (O::*Set)(PropertyArg<T>)>
class Property : public ReadOnly<O, T, Get> {
 public:
  explicit Property(O* owner) : ReadOnly<O, T, Get>(owner) {}
  Property(const Property&) = delete;

  Property& operator=(PropertyArg<T> v) {
    (Owner()->*Set)(v);
    return *this;
  }
  Property& operator=(const Property& p) { return *this = p(); }
  template <class P, std::enable_if_t<kIsProperty<P>, int> = 0>
  Property& operator=(const P& p) {
    return *this = T(p());
  }
  using ReadOnly<O, T, Get>::operator();

  template <class U>
  Property& operator+=(const U& u) {
    return *this = T((*this)() + u);
  }
  template <class U>
  Property& operator-=(const U& u) {
    return *this = T((*this)() - u);
  }
  Property& operator++() { return *this += 1; }
  Property& operator--() { return *this -= 1; }
  T operator++(int) {
    T old = (*this)();
    *this += 1;
    return old;
  }
  T operator--(int) {
    T old = (*this)();
    *this -= 1;
    return old;
  }

 private:
  O* Owner() const { return const_cast<O*>(this->owner_); }
};

}  // namespace vcl

// In a class body, after the getter Get<Name>() const and setter
// Set<Name>(value) are declared.
#define VCL_PROPERTY(Owner, Type, Name) \
  ::vcl::Property<Owner, Type, &Owner::Get##Name, &Owner::Set##Name> Name { this }
#define VCL_READONLY(Owner, Type, Name) \
  ::vcl::ReadOnly<Owner, Type, &Owner::Get##Name> Name { this }

namespace vcl {

// Indexed properties: `Items->Strings[3] = "x"`, `AnsiString s = Items->Strings[3]`.
template <class O, class T, T (O::*Get)(int) const, void (O::*Put)(int, PropertyArg<T>)>
class Indexed {
 public:
  explicit Indexed(O* owner) : owner_(owner) {}
  Indexed(const Indexed&) = delete;
  Indexed& operator=(const Indexed&) = delete;

  class Ref {
   public:
    Ref(O* o, int i) : o_(o), i_(i) {}
    operator T() const { return (o_->*Get)(i_); }
    T operator()() const { return (o_->*Get)(i_); }
    Ref& operator=(PropertyArg<T> v) {
      (o_->*Put)(i_, v);
      return *this;
    }
    Ref& operator=(const Ref& r) { return *this = r(); }
    template <class U>
    friend auto operator==(const Ref& r, const U& u) -> decltype(std::declval<T>() == u) {
      return r() == u;
    }
    template <class U>
    friend auto operator!=(const Ref& r, const U& u) -> decltype(std::declval<T>() != u) {
      return r() != u;
    }
    template <class U>
    friend auto operator+(const Ref& r, const U& u) -> decltype(std::declval<T>() + u) {
      return r() + u;
    }

   private:
    O* o_;
    int i_;
  };
  Ref operator[](int i) const { return Ref(owner_, i); }

 private:
  O* owner_;
};

}  // namespace vcl

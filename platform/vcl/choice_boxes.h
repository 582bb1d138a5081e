// String lists, list boxes, check boxes and group boxes: the controls a
// dialog offers its choices with.
#pragma once
#include <QCheckBox>
#include <QListWidget>
#include <memory>
#include <vector>

#include "platform/vcl/controls.h"

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

// Lines of GBK text. An index out of range raises EListError "List index
// out of bounds (i)".
class TStrings : public TPersistent {
 public:
  virtual int GetCount() const = 0;
  virtual AnsiString Get(int index) const = 0;
  virtual void Put(int index, const AnsiString& s) = 0;
  virtual void Insert(int index, const AnsiString& s) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;

  void Assign(TPersistent* source) override;
  int Add(const AnsiString& s);
  // Compared ignoring the case of ASCII letters; -1 when there is none.
  int IndexOf(const AnsiString& s) const;
  // Text files, 8-bit GBK (strings_file.cpp): read split at CR LF, LF or CR
  // (a break at the end starts no line), EFOpenError when unreadable;
  // written one line per line, each ended by CR LF, through a temporary
  // file, EFCreateError when it cannot be written.
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName) const;

  VCL_READONLY(TStrings, int, Count);
  vcl::Indexed<TStrings, AnsiString, &TStrings::Get, &TStrings::Put> Strings{this};
  AnsiString operator[](int i) const { return Get(i); }

 protected:
  void CheckIndex(int index, int limit) const;
};

class TStringList : public TStrings {
 public:
  int GetCount() const override { return int(items_.size()); }
  AnsiString Get(int index) const override;
  void Put(int index, const AnsiString& s) override;
  void Insert(int index, const AnsiString& s) override;
  void Delete(int index) override;
  void Clear() override { items_.clear(); }

 private:
  std::vector<AnsiString> items_;
};

// One-column list over QListWidget. ItemIndex -1 is no selection; deleting
// the selected item leaves none. OnClick runs when the person selects an
// item (with the mouse or the keys), not when the program sets ItemIndex.
class TListBox : public TWinControl {
 public:
  explicit TListBox(TComponent* owner);
  ~TListBox() override;

  TStrings* GetItems() const { return items_.get(); }
  void SetItems(TStrings* s) { items_->Assign(s); }
  int GetItemIndex() const;
  void SetItemIndex(int i);

  VCL_PROPERTY(TListBox, TStrings*, Items);
  VCL_PROPERTY(TListBox, int, ItemIndex);

  QListWidget* Inner() const { return list_; }

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void ColorChanged() override;
  void FontChanged() override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  // A list box's click is the selection, not the press and release.
  void Click() override {}

 private:
  QListWidget* list_;
  std::unique_ptr<TStrings> items_;
  bool byPerson_ = false;  // a press or key on the list is being handled
};

// Setting Checked from the program runs OnClick too, as the library does.
class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner);
  bool GetChecked() const { return box_->isChecked(); }
  void SetChecked(bool v);
  VCL_PROPERTY(TCheckBox, bool, Checked);
  QCheckBox* Inner() const { return box_; }

 protected:
  void TextChanged() override;
  void ColorChanged() override;
  void FontChanged() override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  QCheckBox* box_;
};

// A frame with its caption at the top left, holding controls.
class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* owner);

 protected:
  void paintEvent(QPaintEvent* e) override;
  TRect AlignRect() const override;
};

namespace vcl {
// The control's font and colours on the Qt widget inside it (the base
// colours for an entry field, the window colours otherwise).
void StyleInnerWidget(QWidget* inner, TControl* c, bool base);
}  // namespace vcl

#include "platform/mfc/menu.h"

#include <QApplication>
#include <QMenu>
#include <QThread>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/mfc/wnd.h"
#include "platform/text/gbk.h"

namespace {

struct Item {
  UINT flags;
  UINT_PTR id;
  HMENU popup;
  std::string text;  // GBK
};
struct Menu {
  std::vector<Item> items;
};

// Menus by handle. Handles count up and are never used again, so a stale
// one finds nothing.
std::map<HMENU, std::unique_ptr<Menu>>& Menus() {
  static std::map<HMENU, std::unique_ptr<Menu>> menus;
  return menus;
}

Menu* MenuOf(HMENU h) {
  auto it = Menus().find(h);
  return it == Menus().end() ? nullptr : it->second.get();
}

void Destroy(HMENU h) {
  auto it = Menus().find(h);
  if (it == Menus().end()) return;
  std::unique_ptr<Menu> menu = std::move(it->second);
  Menus().erase(it);
  for (const Item& item : menu->items)
    if (item.popup) Destroy(item.popup);
}

void Fill(QMenu* qmenu, const Menu& menu) {
  for (const Item& item : menu.items) {
    if (item.flags & MF_SEPARATOR) {
      qmenu->addSeparator();
    } else if (item.flags & MF_POPUP) {
      QMenu* sub = qmenu->addMenu(gbk::ToQString(item.text));
      if (const Menu* m = MenuOf(item.popup)) Fill(sub, *m);
    } else {
      QAction* action = qmenu->addAction(gbk::ToQString(item.text));
      action->setData(QVariant::fromValue<qulonglong>(item.id));
      action->setCheckable((item.flags & MF_CHECKED) != 0);
      action->setChecked((item.flags & MF_CHECKED) != 0);
      action->setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
    }
  }
}

}  // namespace

CMenu::~CMenu() { DestroyMenu(); }

BOOL CMenu::CreatePopupMenu() {
  if (m_hMenu && MenuOf(m_hMenu)) return FALSE;
  static uintptr_t next = 0;
  m_hMenu = reinterpret_cast<HMENU>(++next);
  Menus()[m_hMenu] = std::make_unique<Menu>();
  return TRUE;
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR item, LPCTSTR text) {
  Menu* menu = MenuOf(m_hMenu);
  if (!menu) return FALSE;
  HMENU popup = (flags & MF_POPUP) ? reinterpret_cast<HMENU>(item) : nullptr;
  if ((flags & MF_POPUP) && (popup == m_hMenu || !MenuOf(popup))) return FALSE;
  menu->items.push_back(Item{flags, popup ? 0 : item, popup, text ? text : ""});
  return TRUE;
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT) {
  const Menu* menu = MenuOf(m_hMenu);
  QCoreApplication* app = QCoreApplication::instance();
  if (!menu || !owner || !owner->m_hWnd || !qobject_cast<QApplication*>(app) ||
      QThread::currentThread() != app->thread())
    return FALSE;
  QMenu qmenu;
  Fill(&qmenu, *menu);
  QAction* chosen = qmenu.exec(QPoint(x, y));
  const UINT_PTR id = chosen ? UINT_PTR(chosen->data().toULongLong()) : 0;
  if (flags & TPM_RETURNCMD) return BOOL(id);
  if (chosen) owner->PostMessage(WM_COMMAND, WPARAM(id), 0);
  return TRUE;
}

BOOL CMenu::DestroyMenu() {
  const HMENU h = m_hMenu;
  m_hMenu = nullptr;
  if (!MenuOf(h)) return FALSE;
  Destroy(h);
  return TRUE;
}

UINT CMenu::GetMenuItemCount() const {
  const Menu* menu = MenuOf(m_hMenu);
  return menu ? UINT(menu->items.size()) : UINT(-1);
}

// CMenu: popup menus over QMenu. A menu is a list of items (texts with
// command ids, separators, submenus) kept by the class library under its
// handle; TrackPopupMenu builds the Qt menu from it and runs it modally.
// Destroying a menu destroys its submenus; a handle that is gone is
// refused, never used, so destroying a submenu after its menu is harmless.
// GUI thread only.
#pragma once
#include "platform/mfc/object.h"
#include "platform/windef.h"

class CWnd;

class CMenu : public CObject {
 public:
  ~CMenu() override;

  HMENU m_hMenu = nullptr;
  operator HMENU() const { return m_hMenu; }

  // An empty popup menu; FALSE when this object holds a menu already.
  BOOL CreatePopupMenu();
  // MF_STRING (with MF_CHECKED, MF_GRAYED or MF_DISABLED): an item with
  // command id `item` and the GBK text; MF_POPUP: the menu whose handle is
  // `item` as a submenu under the text (it becomes part of this menu);
  // MF_SEPARATOR: a line. FALSE without a menu or for a bad submenu.
  BOOL AppendMenu(UINT flags, UINT_PTR item = 0, LPCTSTR text = nullptr);
  // Shows the menu with its top-left corner at the screen point and waits
  // until an item is chosen or the menu is dismissed. A chosen item's id is
  // posted to the owner as WM_COMMAND, or returned with TPM_RETURNCMD (0
  // when nothing was chosen). Either button chooses (Qt's menus do not tell
  // them apart). FALSE without a menu, owner or QApplication.
  BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT ignored = nullptr);
  // Destroys the menu and its submenus; FALSE when it is gone already.
  BOOL DestroyMenu();
  UINT GetMenuItemCount() const;
};

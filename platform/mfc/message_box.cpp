#include "platform/mfc/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/text/gbk.h"

namespace {

struct Button {
  QMessageBox::StandardButton qt;
  int id;
};

// Buttons of each box type, the default first.
std::vector<Button> ButtonsOf(UINT nType) {
  switch (nType & 0x0F) {
    case MB_OKCANCEL: return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNOCANCEL:
      return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    default: return {{QMessageBox::Ok, IDOK}};
  }
}

QMessageBox::Icon IconOf(UINT nType) {
  switch (nType & 0xF0) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

int ShowBox(QApplication* app, LPCTSTR text, UINT nType) {
  std::vector<Button> buttons = ButtonsOf(nType);
  QMessageBox::StandardButtons set;
  for (const Button& b : buttons) set |= b.qt;
  QMessageBox box(IconOf(nType), app->applicationDisplayName(), gbk::ToQString(text), set);
  box.setDefaultButton(buttons.front().qt);
  int pressed = box.exec();
  for (const Button& b : buttons)
    if (b.qt == pressed) return b.id;
  return IDCANCEL;
}

int WriteBox(LPCTSTR text, UINT nType) {
  fprintf(stderr, "%s: %s\n", program_invocation_short_name, gbk::ToUtf8(text).c_str());
  fflush(stderr);
  return ButtonsOf(nType).front().id;
}

}  // namespace

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT) {
  const char* text = lpszText ? lpszText : "";
  QApplication* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (app && QThread::currentThread() == app->thread()) return ShowBox(app, text, nType);
  return WriteBox(text, nType);
}

#include "platform/win/msgbox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include "platform/text/gbk.h"
#include "platform/win/dialog_script.h"

#include <cstdio>
#include <optional>

namespace {

struct Buttons {
  UINT type;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton escape;
};
const Buttons kButtons[] = {
    {MB_OK, QMessageBox::Ok, QMessageBox::Ok},
    {MB_OKCANCEL, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel},
    {MB_YESNO, QMessageBox::Yes | QMessageBox::No, QMessageBox::No},
    {MB_YESNOCANCEL, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel},
};

struct Icon {
  UINT type;
  QMessageBox::Icon icon;
};
const Icon kIcons[] = {
    {MB_ICONERROR, QMessageBox::Critical},
    {MB_ICONQUESTION, QMessageBox::Question},
    {MB_ICONWARNING, QMessageBox::Warning},
    {MB_ICONINFORMATION, QMessageBox::Information},
};

struct Answer {
  const char* word;
  QMessageBox::StandardButton button;
  int id;
};
const Answer kAnswers[] = {
    {"OK", QMessageBox::Ok, IDOK},
    {"CANCEL", QMessageBox::Cancel, IDCANCEL},
    {"YES", QMessageBox::Yes, IDYES},
    {"NO", QMessageBox::No, IDNO},
};

int IdOf(QMessageBox::StandardButton b) {
  for (const Answer& a : kAnswers)
    if (a.button == b) return a.id;
  return IDCANCEL;
}

// The next scripted answer; nothing when there is none.
std::optional<QMessageBox::StandardButton> NextAnswer(bool* unknown) {
  *unknown = false;
  std::optional<win::ScriptedAnswer> answer = win::TakeScriptedAnswer();
  if (!answer) return std::nullopt;
  for (const Answer& a : kAnswers)
    if (answer->word == a.word && answer->rest.isEmpty()) return a.button;
  *unknown = true;
  return QMessageBox::NoButton;
}

QWidget* OwnerWidget(HWND owner) {
  if (!owner) return nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->windowHandle() && w->windowHandle()->handle() && HWND(w->windowHandle()->winId()) == owner) return w;
  return nullptr;
}

int Show(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  const Buttons* buttons = &kButtons[0];
  for (const Buttons& b : kButtons)
    if (b.type == (type & 0x0F)) buttons = &b;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  for (const Icon& i : kIcons)
    if (i.type == (type & 0xF0)) icon = i.icon;
  QString qcaption = gbk::ToQString(caption ? caption : "Error");
  QString qtext = gbk::ToQString(text ? text : "");
  win::LogDialog({qcaption, qtext});

  QMessageBox box(icon, qcaption, qtext, buttons->buttons, OwnerWidget(owner));
  box.setEscapeButton(buttons->escape);
  bool unknown = false;
  if (auto answer = NextAnswer(&unknown)) {
    QMessageBox::StandardButton chosen = buttons->buttons.testFlag(*answer) ? *answer : buttons->escape;
    if (unknown || chosen != *answer)
      fprintf(stderr, "MessageBox: scripted answer does not fit this box; taking its Escape button\n");
    win::AnswerWhenShown(&box, [&box, chosen] { box.button(chosen)->click(); });
  }
  return IdOf(QMessageBox::StandardButton(box.exec()));
}

// Without an application there is no box to show; the box becomes a line
// on standard error and its default button answers.
int Write(LPCSTR text, LPCSTR caption, UINT type) {
  const QString qcaption = gbk::ToQString(caption ? caption : "Error");
  const QString qtext = gbk::ToQString(text ? text : "");
  win::LogDialog({qcaption, qtext});
  fprintf(stderr, "%s: %s\n", qcaption.toUtf8().constData(), qtext.toUtf8().constData());
  fflush(stderr);
  switch (type & 0x0F) {
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDYES;
    default: return IDOK;
  }
}

}  // namespace

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!qobject_cast<QApplication*>(app)) return Write(text, caption, type);
  if (QThread::currentThread() == app->thread()) return Show(owner, text, caption, type);
  int r = 0;
  QMetaObject::invokeMethod(
      app, [&] { r = Show(owner, text, caption, type); }, Qt::BlockingQueuedConnection);
  return r;
}

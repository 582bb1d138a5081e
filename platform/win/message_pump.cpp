#include "platform/win/message_pump.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>

void win::DispatchWaitingMessages() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() != app->thread()) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  // A quit asked for meanwhile wakes the event dispatcher once, and that wake
  // is spent here: wake it again, or the loop outside would sleep on until
  // some other event came.
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) dispatcher->wakeUp();
}

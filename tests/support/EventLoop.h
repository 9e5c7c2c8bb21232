#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>

// Runs the event loop until `done` or the limit (never a fixed sleep); answers
// done().
template <class F>
bool PumpUntil(F done, int ms = 3000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  return done();
}

// Runs the event loop for a while, so posted messages and timers arrive.
inline void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

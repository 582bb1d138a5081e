// Shared by the tests of the class library's files and archives: the cause
// an exception of theirs carries.
#pragma once

namespace test {

// The m_cause of the `Exception` that f throws (deleted here); -1 when f
// throws none.
template <class Exception, class F>
int CauseOf(F f) {
  try {
    f();
  } catch (Exception* e) {
    const int cause = e->m_cause;
    e->Delete();
    return cause;
  }
  return -1;
}

}  // namespace test

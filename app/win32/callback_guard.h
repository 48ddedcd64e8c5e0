#pragma once

#include <windows.h>

#include <exception>

namespace pixorale {

// Tells the user, once, that the program has to stop (with the exception's own words when
// it has any) and asks the message loop to end the run with exit code 1.
void ReportFailureAndQuit(HWND window, const std::exception* failure) noexcept;

// A C++ exception must not leave a window or dialog procedure: the system's frames between
// it and the message loop cannot be unwound. Runs `handle` and returns its result; an
// exception is reported instead, the run ends through the message loop, and `fallback`
// goes back to the system.
template <typename Result, typename Handle>
Result GuardCallback(HWND window, Result fallback, Handle&& handle) noexcept {
  try {
    return handle();
  } catch (const std::exception& failure) {
    ReportFailureAndQuit(window, &failure);
  } catch (...) {
    ReportFailureAndQuit(window, nullptr);
  }
  return fallback;
}

}  // namespace pixorale

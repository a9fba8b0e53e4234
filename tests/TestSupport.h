#pragma once
// Helpers shared by the test programs.

#include <string>

// The text of the error of type E that `action` raises, or "<nothing raised>".
template <class E, class F>
std::string MessageOf(F action) {
  try {
    action();
  } catch (const E& error) {
    return error.what();
  }
  return "<nothing raised>";
}

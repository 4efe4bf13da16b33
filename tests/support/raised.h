#pragma once
// What a call raises, as one string a test can compare exactly.
#include <string>

#include "costrak_ehs.h"

// "type code: Desc" of the error record `fn` raises, the text of a
// plain text error, or "<no error>".
template <typename Fn>
std::string Raised(Fn&& fn) {
  try {
    fn();
  } catch (const CEHSException& e) {
    return std::to_string(e.Type) + " " + std::to_string(e.Code) + ": " + e.Desc;
  } catch (const CEHSTextError& e) {
    return e.Text;
  }
  return "<no error>";
}

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

// The glue's refusal of an argument of the wrong type at `index`.
inline std::string GlueError(const std::string& name, int index) {
  return "2 0: Error in glue function: glue_" + name + ".Invalid argument type. Index = " + std::to_string(index);
}

#include "lantrel/error.hpp"

#include <utility>

#include "core/arithmetic_check.hpp"
#include "core/raise.hpp"

namespace lantrel {

Error::Error(std::int32_t number, std::string source, std::string description)
    : number_(number), source_(std::move(source)), description_(std::move(description)) {}

std::string RuntimeErrorText(std::int32_t number) {
  switch (number) {
    case errc::InvalidArgument: return "Invalid procedure call or argument";
    case errc::Overflow: return "Overflow";
    case errc::SubscriptOutOfRange: return "Subscript out of range";
    case errc::DivisionByZero: return "Division by zero";
    case errc::InvalidFileFormat: return "Invalid file format";
    default: return "Application-defined or object-defined error";
  }
}

namespace detail {

void RaiseRuntime(std::int32_t number) {
  throw Error(number, kRuntimeSource, RuntimeErrorText(number));
}

void RaiseArithmetic(int flags) {
  ClearFlags();
  if (flags & FE_DIVBYZERO) RaiseRuntime(errc::DivisionByZero);
  if (flags & FE_OVERFLOW) RaiseRuntime(errc::Overflow);
  RaiseRuntime(errc::InvalidArgument);
}

}  // namespace detail
}  // namespace lantrel

// C entry points of the error list an array call fills with the records of its failed points.
#include <cstdint>

#include "automation/boundary.hpp"

using lantrel::automation::Guard;
using lantrel::automation::GuardOut;
using lantrel::automation::Out;
using lantrel::automation::RaiseLayer;

extern "C" {

int32_t lantrel_point_errors_create(lantrel_point_errors** out) {
  return GuardOut(out, [&] { *Out(out) = new lantrel_point_errors{}; });
}

void lantrel_point_errors_release(lantrel_point_errors* errors) { delete errors; }

int32_t lantrel_point_errors_count(const lantrel_point_errors* errors, size_t* count) {
  return Guard([&] {
    if (errors == nullptr) RaiseLayer(91);
    *Out(count) = errors->object.size();
  });
}

int32_t lantrel_point_errors_get(const lantrel_point_errors* errors, size_t k, size_t* index,
                                 int32_t* number, const char** source,
                                 const char** description) {
  const int32_t status = Guard([&] {
    if (errors == nullptr) RaiseLayer(91);
    if (k >= errors->object.size()) RaiseLayer(lantrel::errc::SubscriptOutOfRange);
    const lantrel::PointError& e = errors->object[k];
    if (index != nullptr) *index = e.index;
    if (number != nullptr) *number = e.number;
    if (source != nullptr) *source = e.source.c_str();
    if (description != nullptr) *description = e.description.c_str();
  });
  if (status != 0) {
    if (source != nullptr) *source = nullptr;
    if (description != nullptr) *description = nullptr;
  }
  return status;
}

}  // extern "C"

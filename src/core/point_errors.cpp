#include "lantrel/point_errors.hpp"

#include <utility>

#include "lantrel/error.hpp"

namespace lantrel {

void PointErrors::Add(std::size_t index, std::int32_t number, std::string source,
                      std::string description) {
  errors_.push_back(PointError{index, number, std::move(source), std::move(description)});
}

void PointErrors::Add(std::size_t index, const Error& error) {
  Add(index, error.number(), error.source(), error.description());
}

}  // namespace lantrel

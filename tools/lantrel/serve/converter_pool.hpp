// Point converters kept by each connection thread and lent to its requests again: a position
// with its data file is built once per thread and set of systems, not once per request. A
// lent converter is reused exactly as `lantrel convert` reuses its one converter from line to
// line (every point is placed afresh with its systems), so the answers are the same bits.
#pragma once

#include <memory>

#include "point_converter.hpp"
#include "serve/api.hpp"

namespace lantrel::cli::serve {

class PooledConverter {
 public:
  /// A converter for these systems from this thread's pool, or a new one. Distant points are
  /// refused until AcceptDistant says otherwise.
  PooledConverter(const Context& context, const System& from, const System& to, bool westPositive, bool zgs);
  /// Returns the converter to the pool, unless an exception is leaving the request (the
  /// converter is then dropped, whatever state the failure left its position in).
  ~PooledConverter();
  PooledConverter(const PooledConverter&) = delete;
  PooledConverter& operator=(const PooledConverter&) = delete;

  PointConverter& operator*() const { return *converter_; }
  PointConverter* operator->() const { return converter_.get(); }

  /// Converters a thread keeps at most.
  static constexpr std::size_t kPerThread = 8;

 private:
  std::unique_ptr<PointConverter> converter_;
  bool westPositive_, zgs_;
  int exceptions_;
};

}  // namespace lantrel::cli::serve

/// \file
/// lantrel — how array calls use threads: the size below which an array stays on the caller's
/// thread, shared by the conversion, factor, locator and Carter arrays.
#pragma once

#include <cstddef>

namespace lantrel {

/// Arrays shorter than this many points stay on the caller's thread whatever thread count an
/// array call is given.
inline constexpr std::size_t kArrayThreadThreshold = 32768;

}  // namespace lantrel

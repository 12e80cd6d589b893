#include "refdata/reference_data.hpp"

#include "position/raise.hpp"

namespace lantrel::detail {
std::shared_ptr<const ReferenceData> LoadReferenceData(const std::string&) { RaiseRuntime(errc::InvalidArgument); }
}  // namespace lantrel::detail

#include "lantrel/carter.hpp"

#include "carter/carter_access.hpp"
#include "position/raise.hpp"

namespace lantrel {
zrCarter::zrCarter() = default;
void zrCarter::Clear() { *this = zrCarter(); }
std::string zrCarter::LocationString(bool) const { detail::RaiseRuntime(errc::InvalidArgument); }
std::string zrCarter::FNSL() const { return fromNorth_ ? "FNL" : "FSL"; }
double zrCarter::FNL() const { return fnl_; }
void zrCarter::FNL(double) { detail::RaiseRuntime(errc::InvalidArgument); }
double zrCarter::FSL() const { return fsl_; }
void zrCarter::FSL(double) { detail::RaiseRuntime(errc::InvalidArgument); }
std::string zrCarter::FEWL() const { return fromEast_ ? "FEL" : "FWL"; }
double zrCarter::FEL() const { return fel_; }
void zrCarter::FEL(double) { detail::RaiseRuntime(errc::InvalidArgument); }
double zrCarter::FWL() const { return fwl_; }
void zrCarter::FWL(double) { detail::RaiseRuntime(errc::InvalidArgument); }
std::int32_t zrCarter::Section() const { return section_; }
void zrCarter::Section(std::int32_t) { detail::RaiseRuntime(errc::InvalidArgument); }
std::string zrCarter::Letter() const { return letter_; }
void zrCarter::Letter(const std::string&) { detail::RaiseRuntime(errc::InvalidArgument); }
bool zrCarter::IsLetter(const std::string&) const { detail::RaiseRuntime(errc::InvalidArgument); }
std::int32_t zrCarter::Number() const { return number_; }
void zrCarter::Number(std::int32_t) { detail::RaiseRuntime(errc::InvalidArgument); }
std::int32_t zrCarter::CellNumber() const { return section_; }
void zrCarter::CellNumber(std::int32_t) { detail::RaiseRuntime(errc::InvalidArgument); }
std::string zrCarter::BlockLetter() const { return letter_; }
void zrCarter::BlockLetter(const std::string&) { detail::RaiseRuntime(errc::InvalidArgument); }
bool zrCarter::IsBlockLetter(const std::string&) const { detail::RaiseRuntime(errc::InvalidArgument); }
std::int32_t zrCarter::BlockNumber() const { return number_; }
void zrCarter::BlockNumber(std::int32_t) { detail::RaiseRuntime(errc::InvalidArgument); }
void zrCarter::StoreSection(std::int32_t, const char*) {}
void zrCarter::StoreNumber(std::int32_t, const char*) {}
void zrCarter::StoreLetter(const std::string&, const char*) {}

namespace detail {
std::shared_ptr<zrCarter> CarterAccess::Create() { return std::shared_ptr<zrCarter>(new zrCarter()); }
double CarterAccess::SectionRow(std::int32_t) { return 0.0; }
double CarterAccess::SectionColumn(std::int32_t) { return 0.0; }
std::int32_t CarterAccess::SectionRowMinutes(std::int32_t) { return 0; }
std::int32_t CarterAccess::SectionColumnMinutes(std::int32_t) { return 0; }
double CarterAccess::SectionWest(const zrCarter& c) { return c.blockWest_; }
double CarterAccess::SectionSouth(const zrCarter& c) { return c.blockSouth_; }
}  // namespace detail
}  // namespace lantrel

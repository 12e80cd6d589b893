// C entry points of zrCarter, in the order of its interface. Hosts get a Carter handle only
// from a position; several positions and handles may share one Carter object.
#include <cstdint>
#include <string>

#include "automation/boundary.hpp"

using lantrel::automation::FromBool;
using lantrel::automation::Guard;
using lantrel::automation::GuardOut;
using lantrel::automation::InText;
using lantrel::automation::Object;
using lantrel::automation::Out;
using lantrel::automation::OutText;
using lantrel::automation::ToBool;

namespace {

using Carter = lantrel::zrCarter;

int32_t GetDouble(lantrel_carter* h, double* out, double (Carter::*member)() const) {
  return Guard([&] { *Out(out) = (Object(h).*member)(); });
}

int32_t LetDouble(lantrel_carter* h, double value, void (Carter::*member)(double)) {
  return Guard([&] { (Object(h).*member)(value); });
}

int32_t GetLong(lantrel_carter* h, int32_t* out, std::int32_t (Carter::*member)() const) {
  return Guard([&] { *Out(out) = (Object(h).*member)(); });
}

int32_t LetLong(lantrel_carter* h, int32_t value, void (Carter::*member)(std::int32_t)) {
  return Guard([&] { (Object(h).*member)(value); });
}

int32_t GetText(lantrel_carter* h, char** out, std::string (Carter::*member)() const) {
  return GuardOut(out, [&] {
    auto& c = Object(h);
    auto** target = Out(out);
    *target = OutText((c.*member)());
  });
}

int32_t LetText(lantrel_carter* h, const char* value,
                void (Carter::*member)(const std::string&)) {
  return Guard([&] {
    auto& c = Object(h);
    const std::string text = InText(value);
    (c.*member)(text);
  });
}

int32_t Ask(lantrel_carter* h, const char* value, lantrel_bool* out,
            bool (Carter::*member)(const std::string&) const) {
  return Guard([&] {
    auto& c = Object(h);
    auto* target = Out(out);
    const std::string text = InText(value);
    *target = ToBool((c.*member)(text));
  });
}

}  // namespace

extern "C" {

void lantrel_carter_addref(lantrel_carter* carter) {
  if (carter != nullptr) carter->refs.fetch_add(1, std::memory_order_relaxed);
}

void lantrel_carter_release(lantrel_carter* carter) {
  if (carter != nullptr && carter->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    delete carter;
  }
}

lantrel_bool lantrel_carter_is_same(const lantrel_carter* a, const lantrel_carter* b) {
  const Carter* first = a != nullptr ? a->object.get() : nullptr;
  const Carter* second = b != nullptr ? b->object.get() : nullptr;
  return ToBool(first == second);
}

int32_t lantrel_carter_clear(lantrel_carter* carter) {
  return Guard([&] { Object(carter).Clear(); });
}

int32_t lantrel_carter_get_location_string(lantrel_carter* carter, lantrel_bool UseZGSFormat,
                                           char** out) {
  return GuardOut(out, [&] {
    auto& c = Object(carter);
    auto** target = Out(out);
    *target = OutText(c.LocationString(FromBool(UseZGSFormat)));
  });
}

int32_t lantrel_carter_get_fnsl(lantrel_carter* carter, char** out) {
  return GetText(carter, out, &Carter::FNSL);
}

int32_t lantrel_carter_get_fnl(lantrel_carter* carter, double* out) {
  return GetDouble(carter, out, &Carter::FNL);
}

int32_t lantrel_carter_let_fnl(lantrel_carter* carter, double value) {
  return LetDouble(carter, value, &Carter::FNL);
}

int32_t lantrel_carter_get_fsl(lantrel_carter* carter, double* out) {
  return GetDouble(carter, out, &Carter::FSL);
}

int32_t lantrel_carter_let_fsl(lantrel_carter* carter, double value) {
  return LetDouble(carter, value, &Carter::FSL);
}

int32_t lantrel_carter_get_fewl(lantrel_carter* carter, char** out) {
  return GetText(carter, out, &Carter::FEWL);
}

int32_t lantrel_carter_get_fel(lantrel_carter* carter, double* out) {
  return GetDouble(carter, out, &Carter::FEL);
}

int32_t lantrel_carter_let_fel(lantrel_carter* carter, double value) {
  return LetDouble(carter, value, &Carter::FEL);
}

int32_t lantrel_carter_get_fwl(lantrel_carter* carter, double* out) {
  return GetDouble(carter, out, &Carter::FWL);
}

int32_t lantrel_carter_let_fwl(lantrel_carter* carter, double value) {
  return LetDouble(carter, value, &Carter::FWL);
}

int32_t lantrel_carter_get_section(lantrel_carter* carter, int32_t* out) {
  return GetLong(carter, out, &Carter::Section);
}

int32_t lantrel_carter_let_section(lantrel_carter* carter, int32_t value) {
  return LetLong(carter, value, &Carter::Section);
}

int32_t lantrel_carter_get_letter(lantrel_carter* carter, char** out) {
  return GetText(carter, out, &Carter::Letter);
}

int32_t lantrel_carter_let_letter(lantrel_carter* carter, const char* value) {
  return LetText(carter, value, &Carter::Letter);
}

int32_t lantrel_carter_is_letter(lantrel_carter* carter, const char* Letter, lantrel_bool* out) {
  return Ask(carter, Letter, out, &Carter::IsLetter);
}

int32_t lantrel_carter_get_number(lantrel_carter* carter, int32_t* out) {
  return GetLong(carter, out, &Carter::Number);
}

int32_t lantrel_carter_let_number(lantrel_carter* carter, int32_t value) {
  return LetLong(carter, value, &Carter::Number);
}

int32_t lantrel_carter_get_cell_number(lantrel_carter* carter, int32_t* out) {
  return GetLong(carter, out, &Carter::CellNumber);
}

int32_t lantrel_carter_let_cell_number(lantrel_carter* carter, int32_t value) {
  return LetLong(carter, value, &Carter::CellNumber);
}

int32_t lantrel_carter_get_block_letter(lantrel_carter* carter, char** out) {
  return GetText(carter, out, &Carter::BlockLetter);
}

int32_t lantrel_carter_let_block_letter(lantrel_carter* carter, const char* value) {
  return LetText(carter, value, &Carter::BlockLetter);
}

int32_t lantrel_carter_is_block_letter(lantrel_carter* carter, const char* BlockLetter,
                                       lantrel_bool* out) {
  return Ask(carter, BlockLetter, out, &Carter::IsBlockLetter);
}

int32_t lantrel_carter_get_block_number(lantrel_carter* carter, int32_t* out) {
  return GetLong(carter, out, &Carter::BlockNumber);
}

int32_t lantrel_carter_let_block_number(lantrel_carter* carter, int32_t value) {
  return LetLong(carter, value, &Carter::BlockNumber);
}

}  // extern "C"

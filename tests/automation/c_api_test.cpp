// The C interface: statuses and error records crossing the boundary, Booleans, by-reference
// write-back, optional arguments, handles and shared Carter objects, texts.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "automation/boundary.hpp"
#include "lantrel/lantrel.h"

extern "C" int c_host_session(char* message, size_t size);

namespace {

// Owns a position handle for the length of a test.
struct PositionHandle {
  PositionHandle() { EXPECT_EQ(lantrel_position_create(&p), 0) << lantrel_last_error_description(); }
  ~PositionHandle() { lantrel_position_release(p); }
  PositionHandle(const PositionHandle&) = delete;
  PositionHandle& operator=(const PositionHandle&) = delete;
  operator lantrel_position*() const { return p; }
  lantrel_position* p = nullptr;
};

struct CarterHandle {
  explicit CarterHandle(lantrel_position* position) {
    EXPECT_EQ(lantrel_position_get_carter(position, &c), 0);
  }
  ~CarterHandle() { lantrel_carter_release(c); }
  CarterHandle(const CarterHandle&) = delete;
  CarterHandle& operator=(const CarterHandle&) = delete;
  operator lantrel_carter*() const { return c; }
  lantrel_carter* c = nullptr;
};

// Takes a library string and frees it.
std::string Take(char* text) {
  std::string value = text != nullptr ? text : "<null>";
  lantrel_string_free(text);
  return value;
}

struct Labels {
  int32_t projection, datum, units;
  friend bool operator==(const Labels&, const Labels&) = default;
};

Labels LabelsOf(lantrel_position* p) {
  Labels l{-9, -9, -9};
  EXPECT_EQ(lantrel_position_get_projection(p, &l.projection), 0);
  EXPECT_EQ(lantrel_position_get_datum(p, &l.datum), 0);
  EXPECT_EQ(lantrel_position_get_units(p, &l.units), 0);
  return l;
}

TEST(CApi, NewPositionReadsTheDefaults) {
  PositionHandle p;
  EXPECT_EQ(LabelsOf(p), (Labels{zrGeographic, zrNAD83, zrDecimalDegrees}));
  lantrel_bool west = 0;
  double x = -1, y = -1, date = 0;
  EXPECT_EQ(lantrel_position_get_west_positive(p, &west), 0);
  EXPECT_EQ(west, LANTREL_TRUE);
  EXPECT_EQ(lantrel_position_get_x(p, &x), 0);
  EXPECT_EQ(lantrel_position_get_y(p, &y), 0);
  EXPECT_EQ(x, 0.0);
  EXPECT_EQ(y, 0.0);
  EXPECT_EQ(lantrel_position_get_release_date(p, &date), 0);
  EXPECT_EQ(date, 39013.0);
  lantrel_bool inBounds = 1;
  EXPECT_EQ(lantrel_position_get_in_bounds(p, &inBounds), 0);
  EXPECT_EQ(inBounds, LANTREL_FALSE);
}

TEST(CApi, RefusedLetsCarryTheirRecordAcrossAndChangeNothing) {
  struct Case {
    const char* what;
    int32_t (*let)(lantrel_position*, int32_t);
    int32_t value;
    int32_t number;
    const char* source;
    const char* description;
  };
  const Case cases[] = {
      {"Datum 2", lantrel_position_let_datum, 2, LANTREL_E_INVALID_DATUM,
       "lantrel:zrGeoPosition:Datum:", "Invalid horizontal datum specified."},
      {"Datum -1", lantrel_position_let_datum, -1, LANTREL_E_INVALID_DATUM,
       "lantrel:zrGeoPosition:Datum:", "Invalid horizontal datum specified."},
      {"Projection 16", lantrel_position_let_projection, 16, LANTREL_E_INVALID_PROJECTION,
       "lantrel:zrGeoPosition:Projection:", "Invalid projection specified."},
      {"Projection min", lantrel_position_let_projection, INT32_MIN,
       LANTREL_E_INVALID_PROJECTION, "lantrel:zrGeoPosition:Projection:",
       "Invalid projection specified."},
      {"Units 6", lantrel_position_let_units, 6, LANTREL_E_INVALID_UNITS,
       "lantrel:zrGeoPosition:Units:", "Invalid units specified."},
      {"Units -1", lantrel_position_let_units, -1, LANTREL_E_INVALID_UNITS,
       "lantrel:zrGeoPosition:Units:", "Invalid units specified."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PositionHandle p;
    ASSERT_EQ(lantrel_position_let_projection(p, zrUTM16), 0);
    const Labels before = LabelsOf(p);
    EXPECT_EQ(c.let(p, c.value), c.number);
    EXPECT_EQ(lantrel_last_error_number(), c.number);
    EXPECT_STREQ(lantrel_last_error_source(), c.source);
    EXPECT_STREQ(lantrel_last_error_description(), c.description);
    EXPECT_EQ(LabelsOf(p), before);
    // The next successful call resets the record.
    EXPECT_EQ(lantrel_last_error_number(), 0);
    EXPECT_STREQ(lantrel_last_error_source(), "");
    EXPECT_STREQ(lantrel_last_error_description(), "");
  }
  EXPECT_EQ(LANTREL_E_INVALID_DATUM, -2147220503);
  EXPECT_EQ(LANTREL_E_INVALID_CARTER_LETTER, -2147220491);
}

TEST(CApi, LetsRelabelThroughTheBoundary) {
  PositionHandle p;
  ASSERT_EQ(lantrel_position_let_projection(p, zrUTM17), 0);
  EXPECT_EQ(LabelsOf(p), (Labels{zrUTM17, zrNAD83, zrMeters}));
  ASSERT_EQ(lantrel_position_let_datum(p, zrNAD27), 0);
  ASSERT_EQ(lantrel_position_let_projection(p, zrSingleZone), 0);
  EXPECT_EQ(LabelsOf(p), (Labels{zrSingleZone, zrNAD83, zrMeters}));
  ASSERT_EQ(lantrel_position_let_units(p, zrDecimalDegrees), 0);
  EXPECT_EQ(LabelsOf(p), (Labels{zrSingleZone, zrNAD83, zrUSFt}));
}

TEST(CApi, BooleansGoInAsAnyNonzeroAndComeOutAsMinusOne) {
  const struct {
    lantrel_bool in;
    lantrel_bool out;
  } cases[] = {{-1, -1}, {1, -1}, {2, -1}, {INT16_MAX, -1}, {INT16_MIN, -1}, {0, 0}};
  PositionHandle p;
  ASSERT_EQ(lantrel_position_let_x(p, -84.5), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    ASSERT_EQ(lantrel_position_let_west_positive(p, c.in), 0);
    lantrel_bool west = 99;
    ASSERT_EQ(lantrel_position_get_west_positive(p, &west), 0);
    EXPECT_EQ(west, c.out);
    double x = 0;
    ASSERT_EQ(lantrel_position_get_x(p, &x), 0);
    EXPECT_EQ(x, c.out ? 84.5 : -84.5);
  }
}

// Convert's targets: how each variable is resolved and written back, including on refusal.
TEST(CApi, ConvertWritesResolvedTargetsBack) {
  struct Case {
    const char* what;
    int32_t datum, projection, units;        // initial values of the caller's variables
    int32_t status;                          // only checked for validation errors (nonzero)
    int32_t datumOut, projectionOut, unitsOut;
  };
  const Case cases[] = {
      // Validation runs datum, units, projection; what was resolved before the error stays.
      {"bad datum", 2, -1, -1, LANTREL_E_INVALID_DATUM, 2, -1, -1},
      {"bad units", -1, -1, 6, LANTREL_E_INVALID_UNITS, zrNAD83, -1, 6},
      {"bad projection", -1, 16, -1, LANTREL_E_INVALID_PROJECTION, zrNAD83, 16,
       zrDecimalDegrees},
      // Single zone forces NAD 83; units are fitted to the target family.
      {"single zone", zrNAD27, zrSingleZone, -1, 0, zrNAD83, zrSingleZone, zrUSFt},
      {"utm", -1, zrUTM16, zrDecimalDegrees, 0, zrNAD83, zrUTM16, zrMeters},
      {"geographic", -1, zrGeographic, zrKilometers, 0, zrNAD83, zrGeographic,
       zrDecimalDegrees},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PositionHandle p;
    int32_t d = c.datum, pr = c.projection, u = c.units, result = -7;
    const int32_t status = lantrel_position_convert(p, &d, &pr, &u, &result);
    if (c.status != 0) {
      EXPECT_EQ(status, c.status);
      EXPECT_EQ(lantrel_last_error_number(), c.status);
      EXPECT_STREQ(lantrel_last_error_source(), "lantrel:zrGeoPosition:Convert:");
      EXPECT_EQ(result, -7) << "result written on failure";
      EXPECT_EQ(LabelsOf(p), (Labels{zrGeographic, zrNAD83, zrDecimalDegrees}));
    }
    EXPECT_EQ(d, c.datumOut);
    EXPECT_EQ(pr, c.projectionOut);
    EXPECT_EQ(u, c.unitsOut);
  }
}

TEST(CApi, ConvertOmittedArgumentsAndTheRefusedDatumChange) {
  PositionHandle p;
  int32_t result = -7;
  // Nothing requested: 0, nothing changes; the result pointer itself is optional.
  EXPECT_EQ(lantrel_position_convert(p, nullptr, nullptr, nullptr, &result), 0);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(lantrel_position_convert(p, nullptr, nullptr, nullptr, nullptr), 0);
  // A datum change at 0 W, 0 N lies outside the shift window: result 4, not an error.
  int32_t datum = zrNAD27;
  EXPECT_EQ(lantrel_position_convert(p, &datum, nullptr, nullptr, &result), 0);
  EXPECT_EQ(result, LANTREL_CONVERT_OUTSIDE_SHIFT_WINDOW);
  EXPECT_EQ(lantrel_last_error_number(), 0);
  EXPECT_EQ(datum, zrNAD27);
  EXPECT_EQ(LabelsOf(p), (Labels{zrGeographic, zrNAD83, zrDecimalDegrees}));
}

TEST(CApi, NullHandlesAndNullResultPointersAreErrorsNotCrashes) {
  PositionHandle p;
  double d = 0;
  char* text = reinterpret_cast<char*>(&d);  // must come back NULL
  lantrel_carter* carter = reinterpret_cast<lantrel_carter*>(&d);
  const struct {
    const char* what;
    std::function<int32_t()> call;
    int32_t number;
  } cases[] = {
      {"x of no position", [&] { return lantrel_position_get_x(nullptr, &d); }, 91},
      {"let of no position", [&] { return lantrel_position_let_datum(nullptr, 0); }, 91},
      {"convert of no position",
       [&] { return lantrel_position_convert(nullptr, nullptr, nullptr, nullptr, nullptr); }, 91},
      {"version of no position", [&] { return lantrel_position_get_version(nullptr, &text); }, 91},
      {"fnl of no carter", [&] { return lantrel_carter_get_fnl(nullptr, &d); }, 91},
      {"clear of no carter", [&] { return lantrel_carter_clear(nullptr); }, 91},
      {"letter of no carter", [&] { return lantrel_carter_get_letter(nullptr, &text); }, 91},
      {"carter of no position", [&] { return lantrel_position_get_carter(nullptr, &carter); }, 91},
      {"x into nowhere", [&] { return lantrel_position_get_x(p, nullptr); }, 5},
      {"version into nowhere", [&] { return lantrel_position_get_version(p, nullptr); }, 5},
      {"in bounds into nowhere", [&] { return lantrel_position_get_in_bounds(p, nullptr); }, 5},
      {"carter into nowhere", [&] { return lantrel_position_get_carter(p, nullptr); }, 5},
      {"create into nowhere", [&] { return lantrel_position_create(nullptr); }, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.call(), c.number);
    EXPECT_EQ(lantrel_last_error_number(), c.number);
    EXPECT_STREQ(lantrel_last_error_source(), "lantrel");
    EXPECT_STRNE(lantrel_last_error_description(), "");
  }
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(carter, nullptr);
}

TEST(CApi, CarterObjectsAreSharedByReference) {
  PositionHandle a, b;
  CarterHandle a1(a), a2(a), b1(b);
  EXPECT_EQ(lantrel_carter_is_same(a1, a2), LANTREL_TRUE);
  EXPECT_EQ(lantrel_carter_is_same(a1, b1), LANTREL_FALSE);
  EXPECT_EQ(lantrel_carter_is_same(nullptr, nullptr), LANTREL_TRUE);
  EXPECT_EQ(lantrel_carter_is_same(a1, nullptr), LANTREL_FALSE);

  // Put A's object into B: both positions now read and write the one object.
  ASSERT_EQ(lantrel_position_set_carter(b, a1), 0);
  CarterHandle b2(b);
  EXPECT_EQ(lantrel_carter_is_same(b2, a1), LANTREL_TRUE);
  // B's former object lives on while a handle refers to it.
  int32_t section = -1;
  EXPECT_EQ(lantrel_carter_get_section(b1, &section), 0);
  EXPECT_EQ(section, 0);

  // Nothing: the position makes a fresh object when it next needs one.
  ASSERT_EQ(lantrel_position_set_carter(b, nullptr), 0);
  lantrel_bool inBounds = 1;
  EXPECT_EQ(lantrel_position_get_in_bounds(b, &inBounds), 0);
  CarterHandle b3(b);
  EXPECT_EQ(lantrel_carter_is_same(b3, a1), LANTREL_FALSE);
  EXPECT_EQ(lantrel_carter_is_same(b3, b1), LANTREL_FALSE);
}

TEST(CApi, HandlesOutliveTheirOwnersAndCountReferences) {
  lantrel_position* p = nullptr;
  ASSERT_EQ(lantrel_position_create(&p), 0);
  lantrel_carter* c = nullptr;
  ASSERT_EQ(lantrel_position_get_carter(p, &c), 0);
  lantrel_position_addref(p);
  lantrel_position_release(p);
  double x = -1;
  EXPECT_EQ(lantrel_position_get_x(p, &x), 0);  // still alive: one reference left
  lantrel_position_release(p);
  // The Carter object survives its position.
  char* fnsl = nullptr;
  EXPECT_EQ(lantrel_carter_get_fnsl(c, &fnsl), 0);
  EXPECT_EQ(Take(fnsl), "FSL");
  lantrel_carter_addref(c);
  lantrel_carter_release(c);
  lantrel_carter_release(c);
  lantrel_position_release(nullptr);
  lantrel_carter_release(nullptr);
}

TEST(CApi, OptionalIndexReadsAsZero) {
  PositionHandle p;
  const int32_t zero = 0;
  char* omitted = nullptr;
  char* given = nullptr;
  const int32_t s1 = lantrel_position_get_county_name(p, nullptr, &omitted);
  const std::string r1 = lantrel_last_error_description();
  const int32_t s2 = lantrel_position_get_county_name(p, &zero, &given);
  EXPECT_EQ(s1, s2);
  EXPECT_EQ(r1, lantrel_last_error_description());
  EXPECT_EQ(Take(omitted), Take(given));
  int32_t f1 = -5, f2 = -6;
  EXPECT_EQ(lantrel_position_get_county_fips(p, nullptr, &f1),
            lantrel_position_get_county_fips(p, &zero, &f2));
  if (lantrel_last_error_number() == 0) {
    EXPECT_EQ(f1, f2);
  }
}

TEST(CApi, IdentificationTexts) {
  PositionHandle p;
  char* version = nullptr;
  char* about = nullptr;
  ASSERT_EQ(lantrel_position_get_version(p, &version), 0);
  ASSERT_EQ(lantrel_position_get_about(p, &about), 0);
  EXPECT_EQ(Take(version), "3.23");
  EXPECT_NE(Take(about).find("\r\nVersion: 3.23\r\nRelease Date: "), std::string::npos);
  EXPECT_STREQ(lantrel_typelib_name(), "Lantrel");
  int32_t major = 0, minor = 0;
  lantrel_typelib_version(&major, &minor);
  EXPECT_EQ(major, 3);
  EXPECT_EQ(minor, 23);
}

TEST(CApi, TextsInAreCheckedUtf8) {
  PositionHandle p;
  lantrel_bool loaded = 5;
  // NULL is the empty string: no folder, no data.
  lantrel_bool fromEmpty = 5;
  EXPECT_EQ(lantrel_position_set_path(p, "", &fromEmpty), 0);
  EXPECT_EQ(lantrel_position_set_path(p, nullptr, &loaded), 0);
  EXPECT_EQ(loaded, fromEmpty);
  const char* malformed[] = {"\xff", "abc\xc3", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80"};
  for (const char* text : malformed) {
    SCOPED_TRACE(text);
    EXPECT_EQ(lantrel_position_set_path(p, text, &loaded), LANTREL_E_INVALID_ARGUMENT);
  }
  EXPECT_EQ(lantrel_position_set_path(p, "/nonexistent/f\xc3\xa9\xf0\x9f\x97\xba/", &loaded), 0);
}

TEST(CApi, TextsOutAreValidUtf8) {
  using lantrel::automation::OutText;
  const struct {
    std::string in, out;
  } cases[] = {
      {"", ""},
      {"Kentucky", "Kentucky"},
      {"caf\xc3\xa9", "caf\xc3\xa9"},     // already UTF-8: unchanged
      {"caf\xe9", "caf\xc3\xa9"},         // Latin-1 byte: transcoded
      {"\xc3", "\xc3\x83"},               // truncated sequence: whole text read as Latin-1
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Take(OutText(c.in)), c.out);
  }
}

// Every kind of exception becomes a status and a record; none crosses the boundary.
TEST(CApi, GuardMapsEveryExceptionToAnErrorRecord) {
  using lantrel::automation::Guard;
  const struct {
    const char* what;
    std::function<void()> body;
    int32_t number;
    const char* source;
    const char* description;
  } cases[] = {
      {"library error", [] { throw lantrel::Error(-2147220494, "src:", "no data"); }, -2147220494,
       "src:", "no data"},
      {"arithmetic", [] { throw lantrel::Error(11, "lantrel", "Division by zero"); }, 11,
       "lantrel", "Division by zero"},
      {"error numbered 0", [] { throw lantrel::Error(0, "src:", "odd"); }, 51, "src:", "odd"},
      {"bad_alloc", [] { throw std::bad_alloc(); }, 7, "lantrel", "Out of memory"},
      {"length_error", [] { throw std::length_error("x"); }, 7, "lantrel", "Out of memory"},
      {"runtime_error", [] { throw std::runtime_error("x"); }, 51, "lantrel", "Internal error"},
      {"not an exception", [] { throw 42; }, 51, "lantrel", "Internal error"},
      {"success", [] {}, 0, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Guard(c.body), c.number);
    EXPECT_EQ(lantrel_last_error_number(), c.number);
    EXPECT_STREQ(lantrel_last_error_source(), c.source);
    EXPECT_STREQ(lantrel_last_error_description(), c.description);
  }
}

TEST(CApi, ErrorRecordsBelongToTheirThread) {
  PositionHandle p;
  ASSERT_EQ(lantrel_position_let_units(p, 99), LANTREL_E_INVALID_UNITS);
  int32_t other = -1;
  std::string otherSource = "unset";
  std::thread t([&] {
    other = lantrel_last_error_number();
    otherSource = lantrel_last_error_source();
    PositionHandle q;
    lantrel_position_let_datum(q, 5);
  });
  t.join();
  EXPECT_EQ(other, 0);
  EXPECT_EQ(otherSource, "");
  EXPECT_EQ(lantrel_last_error_number(), LANTREL_E_INVALID_UNITS);
  EXPECT_STREQ(lantrel_last_error_source(), "lantrel:zrGeoPosition:Units:");
}

TEST(CApi, TypeDescriptionListsTheInterfaces) {
  const struct {
    const char* interface;
    int32_t slot;
    const char* name;
    int32_t kinds;
  } members[] = {
      {"_ZrGeoPosition", 1, "Carter", LANTREL_KIND_GET | LANTREL_KIND_SET},
      {"_ZrGeoPosition", 5, "WestPositive", LANTREL_KIND_GET | LANTREL_KIND_LET},
      {"_ZrGeoPosition", 24, "Convert", LANTREL_KIND_METHOD},
      {"_ZrGeoPosition", 26, "SetPath", LANTREL_KIND_METHOD},
      {"_zrCarter", 1, "Clear", LANTREL_KIND_METHOD},
      {"_zrCarter", 2, "LocationString", LANTREL_KIND_GET},
      {"_zrCarter", 16, "BlockNumber", LANTREL_KIND_GET | LANTREL_KIND_LET},
  };
  for (const auto& m : members) {
    SCOPED_TRACE(m.name);
    const char* name = nullptr;
    int32_t kinds = 0;
    ASSERT_EQ(lantrel_typelib_member(m.interface, m.slot, &name, &kinds), 0);
    EXPECT_STREQ(name, m.name);
    EXPECT_EQ(kinds, m.kinds);
  }
  EXPECT_EQ(lantrel_typelib_member("_ZrGeoPosition", 27, nullptr, nullptr), 9);
  EXPECT_EQ(lantrel_typelib_member("_zrCarter", 0, nullptr, nullptr), 9);
  EXPECT_EQ(lantrel_typelib_member("_zrCarter", 17, nullptr, nullptr), 9);
  // Extreme slots are out of range, not an overflow of the slot-to-index step.
  for (const int32_t slot : {INT32_MIN, INT32_MIN + 1, -1, INT32_MAX}) {
    EXPECT_EQ(lantrel_typelib_member("_ZrGeoPosition", slot, nullptr, nullptr), 9) << slot;
    EXPECT_EQ(lantrel_typelib_enum_member("zrGeoUnits", slot, nullptr, nullptr), 9) << slot;
  }
  EXPECT_EQ(lantrel_typelib_member("IDispatch", 1, nullptr, nullptr), 5);

  // The enumeration tables agree with the header's constants, member by member.
  const struct {
    const char* enumeration;
    std::vector<int32_t> values;
  } enums[] = {
      {"zrGeoDatum", {zrNAD83, zrNAD27}},
      {"zrGeoUnits", {zrDecimalDegrees, zrUSFt, zrMeters, zrIntlFt, zrMiles, zrKilometers}},
      {"zrGeoProjection",
       {zrSingleZone, zrNorthZone, zrSouthZone, zrUTM16, zrUTM17, zrGeographic, zrCarter,
        moEastZone, ilWestZone, ilEastZone, inWestZone, inEastZone, ohSouthZone, wvSouthZone,
        vaSouthZone, tnSingleZone}},
  };
  for (const auto& e : enums) {
    SCOPED_TRACE(e.enumeration);
    for (std::size_t i = 0; i < e.values.size(); ++i) {
      int32_t value = -1;
      const char* name = nullptr;
      ASSERT_EQ(lantrel_typelib_enum_member(e.enumeration, static_cast<int32_t>(i), &name, &value),
                0);
      EXPECT_EQ(value, e.values[i]) << name;
    }
    EXPECT_EQ(lantrel_typelib_enum_member(e.enumeration, static_cast<int32_t>(e.values.size()),
                                          nullptr, nullptr),
              9);
  }
  const char* name = nullptr;
  ASSERT_EQ(lantrel_typelib_enum_member("zrGeoProjection", 6, &name, nullptr), 0);
  EXPECT_STREQ(name, "zrCarter");
}

TEST(CApi, PlainCHostRunsItsSession) {
  char message[256];
  EXPECT_EQ(c_host_session(message, sizeof message), 0) << message;
}

}  // namespace

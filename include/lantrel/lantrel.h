/** \file
 * lantrel — C interface for hosts other than C++ (C, Python through ctypes, shell tools).
 *
 * The two automation classes are exposed as opaque, reference-counted handles:
 *   lantrel_position  a ZrGeoPosition (creatable)
 *   lantrel_carter    a zrCarter (obtained only from a position's Carter property)
 *
 * Naming: every member of a class appears in the order of its interface, as
 *   lantrel_CLASS_get_MEMBER   property read
 *   lantrel_CLASS_let_MEMBER   property write by value
 *   lantrel_CLASS_set_MEMBER   property write by reference (the Carter object)
 *   lantrel_CLASS_MEMBER       method (Clear, IsLetter, Convert, SetPath, ...)
 *
 * Calling convention:
 * - Every call that can fail returns an int32_t status: 0 on success, else the error number.
 *   The full error record (number, source, description) of the most recent call on the calling
 *   thread is read with lantrel_last_error_number / _source / _description. Each status-returning
 *   call resets the record on entry, so a successful call leaves number 0 and empty texts.
 * - Results come back through out-pointers, which must not be NULL (error 5) unless marked
 *   optional. On failure string and handle outputs are set to NULL and other outputs are left
 *   unchanged.
 * - A NULL object handle fails with error 91 ("Object variable or With block variable not set").
 * - Booleans are lantrel_bool (16 bits): LANTREL_TRUE is -1, LANTREL_FALSE 0; any nonzero input
 *   counts as True.
 * - Strings are UTF-8. Input strings are NUL-terminated; NULL counts as the empty string;
 *   malformed UTF-8 fails with error 5. Output strings are allocated by the library,
 *   NUL-terminated, valid UTF-8, and must be released with lantrel_string_free.
 * - Optional by-reference arguments are pointers; NULL means the argument is omitted.
 * - One object is used by one thread at a time; distinct objects may live on distinct threads.
 *   Reference counting (addref/release) is thread-safe.
 *
 * Thread rule of every function below: a call on an object handle needs that object to itself
 * for the duration of the call; functions without a handle may be called from any thread.
 * Unless a function says otherwise it fails with 91 for a NULL handle and 5 for a NULL output
 * pointer, and otherwise with the error the same member of the C++ class raises.
 */
#ifndef LANTREL_LANTREL_H
#define LANTREL_LANTREL_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Everything declared in this header is exported from the shared library. */
#if defined(__GNUC__)
#pragma GCC visibility push(default)
#endif

/* ---- Basic types ----------------------------------------------------------------------- */

/** Handle of a position (lantrel::ZrGeoPosition), reference-counted. */
typedef struct lantrel_position lantrel_position;
/** Handle of a Carter location (lantrel::zrCarter), reference-counted. */
typedef struct lantrel_carter lantrel_carter;

/** Automation Boolean: 16 bits, True = -1, False = 0. */
typedef int16_t lantrel_bool;
#define LANTREL_TRUE ((lantrel_bool)-1) /**< Automation True. */
#define LANTREL_FALSE ((lantrel_bool)0) /**< Automation False. */

/* ---- Enumerations (values are 32-bit signed integers at the interface) ------------------- */
/* The members keep their own names. In C++ they sit in the global namespace beside namespace
 * lantrel, so code that uses both writes lantrel::zrCarter for the class. */

/** Horizontal datum codes (lantrel::zrGeoDatum). */
enum zrGeoDatum { zrNAD83 = 0 /**< NAD 83 */, zrNAD27 = 1 /**< NAD 27 */ };

/** Unit codes (lantrel::zrGeoUnits). */
enum zrGeoUnits {
  zrDecimalDegrees = 0, /**< decimal degrees (geographic and Carter) */
  zrUSFt = 1,           /**< US survey foot */
  zrMeters = 2,         /**< metre */
  zrIntlFt = 3,         /**< international foot */
  zrMiles = 4,          /**< US survey mile */
  zrKilometers = 5      /**< kilometre */
};

/** Projection codes (lantrel::zrGeoProjection). */
enum zrGeoProjection {
  zrSingleZone = 0, /**< Kentucky single zone */
  zrNorthZone = 1,  /**< Kentucky north zone */
  zrSouthZone = 2,  /**< Kentucky south zone */
  zrUTM16 = 3,      /**< UTM zone 16 north */
  zrUTM17 = 4,      /**< UTM zone 17 north */
  zrGeographic = 5, /**< longitude and latitude */
  zrCarter = 6,     /**< Carter location grid */
  moEastZone = 7,   /**< Missouri East */
  ilWestZone = 8,   /**< Illinois West */
  ilEastZone = 9,   /**< Illinois East */
  inWestZone = 10,  /**< Indiana West */
  inEastZone = 11,  /**< Indiana East */
  ohSouthZone = 12, /**< Ohio South */
  wvSouthZone = 13, /**< West Virginia South */
  vaSouthZone = 14, /**< Virginia South */
  tnSingleZone = 15 /**< Tennessee */
};

/* ---- Error numbers ------------------------------------------------------------------------ */

/** Automation object-error base, 0x80040000 as a signed 32-bit value. */
#define LANTREL_OBJECT_ERROR_BASE ((int32_t)(-2147221504L))

#define LANTREL_OK ((int32_t)0) /**< Success. */
/* General run-time errors, with their standard texts. */
#define LANTREL_E_INVALID_ARGUMENT ((int32_t)5)  /**< "Invalid procedure call or argument" */
#define LANTREL_E_OVERFLOW ((int32_t)6)          /**< "Overflow" */
#define LANTREL_E_OUT_OF_MEMORY ((int32_t)7)     /**< "Out of memory" */
#define LANTREL_E_SUBSCRIPT ((int32_t)9)         /**< "Subscript out of range" */
#define LANTREL_E_DIVISION_BY_ZERO ((int32_t)11) /**< "Division by zero" */
#define LANTREL_E_INTERNAL ((int32_t)51)         /**< "Internal error" */
#define LANTREL_E_INVALID_FILE_FORMAT ((int32_t)321) /**< "Invalid file format": a damaged data file */
#define LANTREL_E_OBJECT_NOT_SET ((int32_t)91)   /**< "Object variable or With block variable not set" */
/* The library's own errors. */
#define LANTREL_E_INVALID_DATUM (LANTREL_OBJECT_ERROR_BASE + 1001) /**< A datum code other than 0 and 1. */
#define LANTREL_E_INVALID_PROJECTION (LANTREL_OBJECT_ERROR_BASE + 1002) /**< A projection code outside 0-15. */
#define LANTREL_E_INVALID_UNITS (LANTREL_OBJECT_ERROR_BASE + 1003) /**< A units code outside 0-5. */
#define LANTREL_E_DATA_NOT_LOADED (LANTREL_OBJECT_ERROR_BASE + 1010) /**< No reference data file is loaded. */
#define LANTREL_E_INVALID_CARTER_SECTION (LANTREL_OBJECT_ERROR_BASE + 1011) /**< A Carter section outside 1-25. */
#define LANTREL_E_INVALID_CARTER_NUMBER (LANTREL_OBJECT_ERROR_BASE + 1012) /**< A Carter block number outside 0-92. */
#define LANTREL_E_INVALID_CARTER_LETTER (LANTREL_OBJECT_ERROR_BASE + 1013) /**< An empty or invalid Carter letter. */

/* Non-error result of lantrel_position_convert: the datum change was refused because the
 * point lies outside the datum-shift window. */
#define LANTREL_CONVERT_DONE ((int32_t)0) /**< lantrel_position_convert converted the point. */
#define LANTREL_CONVERT_OUTSIDE_SHIFT_WINDOW ((int32_t)4) /**< lantrel_position_convert refused a datum change outside the shift window. */

/* ---- Error record of the calling thread --------------------------------------------------- */

/** Number of the most recent failure on this thread (0 after a successful call). */
int32_t lantrel_last_error_number(void);
/** Its source, e.g. "lantrel:zrGeoPosition:Datum:". Valid until the next call on this thread. */
const char* lantrel_last_error_source(void);
/** Its description. Valid until the next call on this thread. */
const char* lantrel_last_error_description(void);
/** Resets the record to number 0 and empty texts. */
void lantrel_clear_error(void);

/** Releases a string returned by the library. NULL is ignored. */
void lantrel_string_free(char* text);

/* ---- Errors of the points of an array call ----------------------------------------------- */
/* Every array call reports each point in status[i]: 0, or the number of the error that point
 * raised. Its _detailed form takes a lantrel_point_errors as well (optional: NULL asks for
 * nothing more), which receives, in the same call, the whole record of every failed point:
 * its index, number, source and description as the library raised them, in input order.
 * Successful points add nothing. The call empties the object on entry, also when it fails.
 * One object is used by one call at a time; its texts stay valid until it is used again or
 * released. */

/** Errors of the failed points of one array call (opaque). */
typedef struct lantrel_point_errors lantrel_point_errors;

/** Creates an empty error list (release it with lantrel_point_errors_release). Error 5 when
 *  out is NULL; *out is NULL on failure. */
int32_t lantrel_point_errors_create(lantrel_point_errors** out);
/** Destroys an error list. NULL is ignored. */
void lantrel_point_errors_release(lantrel_point_errors* errors);
/** Number of failed points the last call recorded. Error 91 for a NULL list, 5 for a NULL
 *  count. */
int32_t lantrel_point_errors_count(const lantrel_point_errors* errors, size_t* count);
/** Failed point k (0-based, below the count): its index in the call's arrays, its error
 *  number (its status), source and description (UTF-8, owned by the list); every output
 *  optional. Error 9 past the last one, 91 for a NULL list. */
int32_t lantrel_point_errors_get(const lantrel_point_errors* errors, size_t k, size_t* index,
                                 int32_t* number, const char** source,
                                 const char** description);

/* ---- Type description --------------------------------------------------------------------- */

/** Name of the type library: "Lantrel". */
const char* lantrel_typelib_name(void);
/** Version of the type library (3.23: major 3, minor 23). Either pointer may be NULL. */
void lantrel_typelib_version(int32_t* major, int32_t* minor);

/* Kinds of an interface member, combined as bits. */
#define LANTREL_KIND_GET 1 /**< Member kind: property read. */
#define LANTREL_KIND_LET 2 /**< Member kind: property write by value. */
#define LANTREL_KIND_SET 4 /**< Member kind: property write by reference. */
#define LANTREL_KIND_METHOD 8 /**< Member kind: method. */

/** Member in slot `slot` (1-based, interface order) of interface "_ZrGeoPosition" or
 *  "_zrCarter": its name and kinds (either output optional). Error 9 past the last slot, 5 for
 *  an unknown interface. */
int32_t lantrel_typelib_member(const char* interface_name, int32_t slot, const char** name,
                               int32_t* kinds);
/** Member `index` (0-based) of enumeration "zrGeoDatum", "zrGeoUnits" or "zrGeoProjection":
 *  its name and value (either output optional). Error 9 past the last member, 5 for an unknown
 *  enumeration. */
int32_t lantrel_typelib_enum_member(const char* enum_name, int32_t index, const char** name,
                                    int32_t* value);

/* ---- Coordinate systems as text ----------------------------------------------------------- */
/* The names the command-line tool accepts: PROJECTION[/DATUM[/UNITS]] ("north/nad27/usft",
 * "geo", "1/1/1", "zrNorthZone/zrNAD27/zrUSFt") or EPSG:CODE for a code the library serves.
 * These calls are pure and may be made from any thread. */

/** Parses a system text. Every output is optional. The single zone on NAD 27, linear units on
 *  a geographic or Carter system and degrees on a plane zone are refused. `epsg` receives the
 *  code the text named, 0 for a named system. Errors: 5 with the reason as description (source
 *  "lantrel:ParseSystem:"), 5 for malformed UTF-8. Outputs are unchanged on failure. */
int32_t lantrel_system_parse(const char* text, int32_t* projection, int32_t* datum,
                             int32_t* units, int32_t* epsg);
/** The EPSG code served for a projection, datum and units, 0 when there is none (also for codes
 *  outside the enumerations). Error 5 when `epsg` is NULL. */
int32_t lantrel_system_epsg(int32_t projection, int32_t datum, int32_t units, int32_t* epsg);
/** Number of EPSG codes the library serves. Error 5 when `count` is NULL. */
int32_t lantrel_system_epsg_count(int32_t* count);
/** Served EPSG code `index` (0-based, ascending codes) and its system; every output optional.
 *  Error 9 past the last entry. */
int32_t lantrel_system_epsg_entry(int32_t index, int32_t* code, int32_t* projection,
                                  int32_t* datum, int32_t* units);
/** "north/nad83/usft (Kentucky North zone, NAD 83, US survey feet)", prefixed by
 *  "EPSG:CODE = " when `epsg` is not 0; released with lantrel_string_free. Error 5 for codes
 *  outside the enumerations. */
int32_t lantrel_system_describe(int32_t projection, int32_t datum, int32_t units, int32_t epsg,
                                char** out);

/* ---- Carter locations as arrays ------------------------------------------------------------ */
/* These calls return 0 when their arguments are usable (error 5 for a NULL array with
 * count > 0, 1001 for a datum other than 0 or 1; count 0 does nothing) and report each point in
 * status[i]: 0, or the error number of that point; the _detailed forms give every failed
 * point's record in a lantrel_point_errors, and leave the thread's error record empty after a
 * 0 return, as every other array call does. After a 0 return of the forms without it, the
 * thread's error record describes the first point whose status is not 0 (number 0 when every
 * point succeeded).
 * Points failing on their text or range get 5; the Carter values a location names are checked
 * as zrCarter's properties check them (1011-1013). Any thread; nothing is shared. */

/** Geographic points -> Carter location strings in the default layout (D45-07 1200-FNL 350-FWL)
 *  or, with `zgs_layout` True, the other one (1200 FNL  350 FWL 07- D-45). `lon` is read as a
 *  west longitude whatever its sign, `lat` must lie within -90..90 and the point inside the
 *  Carter grid (81.916667-89.583333 W, 36.5-39.25 N); the location is on datum `datum`.
 *  out[i] is a library string (release each with lantrel_string_free) or NULL where status[i]
 *  is not 0. When the call itself fails every out[i] is NULL. */
int32_t lantrel_carter_format_locations(int32_t datum, lantrel_bool zgs_layout, size_t count,
                                        const double* lon, const double* lat, char** out,
                                        int32_t* status);
/** Carter location strings (either layout, blanks around allowed, nothing else after) ->
 *  geographic longitude and latitude on datum `datum`. Longitudes come out negative west unless
 *  `west_positive` is True. A NULL text[i] reads as empty and fails. lon[i] and lat[i] are NaN
 *  where status[i] is not 0. */
int32_t lantrel_carter_read_locations(int32_t datum, lantrel_bool west_positive, size_t count,
                                      const char* const* text, double* lon, double* lat,
                                      int32_t* status);

/** lantrel_carter_format_locations with the record of every failed point in `errors` (NULL
 *  for none). */
int32_t lantrel_carter_format_locations_detailed(int32_t datum, lantrel_bool zgs_layout,
                                                 size_t count, const double* lon,
                                                 const double* lat, char** out, int32_t* status,
                                                 lantrel_point_errors* errors);
/** lantrel_carter_read_locations with the record of every failed point in `errors` (NULL for
 *  none). */
int32_t lantrel_carter_read_locations_detailed(int32_t datum, lantrel_bool west_positive,
                                               size_t count, const char* const* text,
                                               double* lon, double* lat, int32_t* status,
                                               lantrel_point_errors* errors);

/** lantrel_carter_format_locations_detailed on up to `threads` threads: 1 the caller's thread
 *  alone (what the _detailed form does), 0 every core, N at most N. Arrays below
 *  LANTREL_ARRAY_THREAD_THRESHOLD points stay on the caller's thread. Outputs, statuses and
 *  `errors` (in input order, indices in the whole array) are the same whatever the count. */
int32_t lantrel_carter_format_locations_threaded(int32_t datum, lantrel_bool zgs_layout,
                                                 size_t count, const double* lon,
                                                 const double* lat, char** out, int32_t* status,
                                                 lantrel_point_errors* errors, uint32_t threads);
/** lantrel_carter_read_locations_detailed on up to `threads` threads, counted as for
 *  lantrel_carter_format_locations_threaded. */
int32_t lantrel_carter_read_locations_threaded(int32_t datum, lantrel_bool west_positive,
                                               size_t count, const char* const* text,
                                               double* lon, double* lat, int32_t* status,
                                               lantrel_point_errors* errors, uint32_t threads);

/** lantrel_carter_read_locations with each failure's description beside it (superseded by
 *  lantrel_carter_read_locations_detailed, which gives the number and source too): when `message`
 *  is not NULL, message[i] is a library string (release each with lantrel_string_free) where
 *  status[i] is not 0 and NULL elsewhere; every message[i] is NULL when the call fails. */
int32_t lantrel_carter_read_locations_described(int32_t datum, lantrel_bool west_positive,
                                                size_t count, const char* const* text,
                                                double* lon, double* lat, int32_t* status,
                                                char** message);

/* ---- Plausibility -------------------------------------------------------------------------- */

/** Judges pairs given in a system (Carter refused) by the geographic point each stands for on
 *  the system's datum: status[i] is 0 when the point lies in the served region (73-98 W,
 *  33-45 N), 5 when it lies far outside. Where `message` is not NULL, message[i] says what is
 *  wrong and the likely cause ("; x and y may be swapped") where status[i] is 5, NULL
 *  elsewhere (release each with lantrel_string_free). A pair that is not finite or does not
 *  convert to geographic coordinates is not judged (status 0): its conversion reports it.
 *  Errors: 5 for codes outside the enumerations, Carter, or NULL arrays with count > 0. */
int32_t lantrel_region_check(int32_t projection, int32_t datum, int32_t units, size_t count,
                             const double* x, const double* y, int32_t* status, char** message);

/* ---- Angles, numbers and coordinate columns as text --------------------------------------- */
/* The rules the command-line tool reads and writes text with. Pure; any thread. */

/** Reads an angle that fills the text (blanks around allowed): decimal degrees ("-84.8733",
 *  "84.8733W") or degrees, minutes and seconds with marks, colons or, with a hemisphere letter,
 *  blanks ("84°52′23.88″W", "84d52'23.88\"W", "-84:52:23.88", "84 52 23.88 W", "N38 12 3.24").
 *  S and W (before or after the number) and a minus sign make it negative; a sign and a letter
 *  together, two letters, minutes or seconds of 60 or more, decimals before the last component
 *  and blank-separated components without a letter are refused. `hemisphere` receives 'N', 'S',
 *  'E', 'W' or 0 when no letter was written, `sexagesimal` whether minutes (or marks) were
 *  written; both optional. Errors: 5 with the reason (source "lantrel:ParseAngle:"), 5 for a
 *  NULL `degrees` or malformed UTF-8. Outputs are unchanged on failure. */
int32_t lantrel_angle_parse(const char* text, double* degrees, char* hemisphere,
                            lantrel_bool* sexagesimal);
/** Writes degrees as 84°52′23.88000″W: whole degrees, two-digit minutes and seconds with
 *  `decimals` decimals (0-12), correctly rounded with carries, then the hemisphere letter (N/S,
 *  or E/W with `longitude` True, by the sign). Error 5 (source "lantrel:FormatDms:") for
 *  decimals outside 0-12 or degrees that are not finite or not below 1e9 in magnitude. */
int32_t lantrel_angle_format_dms(double degrees, lantrel_bool longitude, int32_t decimals,
                                 char** out);
/** Reads a finite decimal number that fills the text (sign, digits, point, exponent; no
 *  blanks, "nan", "inf" or hexadecimal). Error 5 (source "lantrel:ParseNumber:") otherwise. */
int32_t lantrel_number_parse(const char* text, double* value);
/** Finds the coordinate columns among `count` column names: the columns named by `x` and `y`
 *  (NULL: not named; matched exactly, then ignoring case), else the first usual pair the names
 *  hold (x/y, lon/lat, long/lat, lng/lat, longitude/latitude, easting/northing, east/north),
 *  or with `carter` True the one column `x` names, else "carter" or "location". `x_index`
 *  receives the x (or Carter) column, `y_index` the y column (-1 for Carter). Errors: 5 with a
 *  message naming what was sought and the columns there are (source
 *  "lantrel:CoordinateColumns:"), 5 for NULL outputs, NULL `names` with count > 0, a NULL name
 *  or malformed UTF-8. Outputs are unchanged on failure. */
int32_t lantrel_coordinate_columns(size_t count, const char* const* names, const char* x,
                                   const char* y, lantrel_bool carter, int32_t* x_index,
                                   int32_t* y_index);

/* ---- ZrGeoPosition ------------------------------------------------------------------------- */

/** Creates a position (reference count 1). Fails when the reference data file was found but
 *  could not be read. */
int32_t lantrel_position_create(lantrel_position** out);
/** Adds a reference. NULL is ignored. */
void lantrel_position_addref(lantrel_position* position);
/** Drops a reference; the object is destroyed with the last one. NULL is ignored. */
void lantrel_position_release(lantrel_position* position);

/* 1 Carter: get returns a new reference to the position's Carter object (release it);
 *   set stores the given object by reference (NULL = nothing; a new one is made when needed). */
/** A new reference to the position's Carter object in `out` (release it); one is created if the position holds none. */
int32_t lantrel_position_get_carter(lantrel_position* position, lantrel_carter** out);
/** Stores `carter` in the position by reference (NULL: none; a new one is made when needed). */
int32_t lantrel_position_set_carter(lantrel_position* position, lantrel_carter* carter);
/* 2-4 Identification. ReleaseDate is an automation date (days since 30 December 1899). */
/** Version text ("3.23") in `out` (free it with lantrel_string_free). */
int32_t lantrel_position_get_version(lantrel_position* position, char** out);
/** Release date as an automation date (days since 30 December 1899). */
int32_t lantrel_position_get_release_date(lantrel_position* position, double* out);
/** Name, version and copyright text in `out` (free it with lantrel_string_free). */
int32_t lantrel_position_get_about(lantrel_position* position, char** out);
/* 5-10 The pair and its labels. */
/** Whether x reads west longitudes as positive numbers. */
int32_t lantrel_position_get_west_positive(lantrel_position* position, lantrel_bool* out);
/** Sets the sign convention of x for the geographic and Carter systems. */
int32_t lantrel_position_let_west_positive(lantrel_position* position, lantrel_bool value);
/** Easting or longitude (sign as WestPositive says for geographic and Carter). */
int32_t lantrel_position_get_x(lantrel_position* position, double* out);
/** Stores the magnitude of `value` as x without converting. */
int32_t lantrel_position_let_x(lantrel_position* position, double value);
/** Northing or latitude. */
int32_t lantrel_position_get_y(lantrel_position* position, double* out);
/** Stores `value` as y without converting. */
int32_t lantrel_position_let_y(lantrel_position* position, double value);
/** Projection code of the pair (enum zrGeoProjection). */
int32_t lantrel_position_get_projection(lantrel_position* position, int32_t* out);
/** Relabels the pair's projection and fits its units; 1002 (LANTREL_E_INVALID_PROJECTION) outside 0-15. */
int32_t lantrel_position_let_projection(lantrel_position* position, int32_t value);
/** Datum code of the pair (enum zrGeoDatum). */
int32_t lantrel_position_get_datum(lantrel_position* position, int32_t* out);
/** Relabels the pair's datum; 1001 (LANTREL_E_INVALID_DATUM) for a code other than 0 and 1. */
int32_t lantrel_position_let_datum(lantrel_position* position, int32_t value);
/** Units code of the pair (enum zrGeoUnits). */
int32_t lantrel_position_get_units(lantrel_position* position, int32_t* out);
/** Relabels the pair's units, fitted to the projection; 1003 (LANTREL_E_INVALID_UNITS) outside 0-5. */
int32_t lantrel_position_let_units(lantrel_position* position, int32_t value);
/* 11-21 States, counties and quadrangles at the point. Index: optional, NULL reads as 0. */
/** Number of states at the point; LANTREL_E_DATA_NOT_LOADED without data, 9 for faulty data. */
int32_t lantrel_position_get_state_count(lantrel_position* position, int32_t* out);
/** Name of state `Index` at the point ("" out of range); errors as lantrel_position_get_state_count. */
int32_t lantrel_position_get_state_name(lantrel_position* position, const int32_t* Index,
                                        char** out);
/** FIPS code of state `Index` (0 out of range); errors as lantrel_position_get_state_count. */
int32_t lantrel_position_get_state_fips(lantrel_position* position, const int32_t* Index,
                                        int32_t* out);
/** Number of counties at the point; errors as lantrel_position_get_state_count. */
int32_t lantrel_position_get_county_count(lantrel_position* position, int32_t* out);
/** Name of county `Index` ("" out of range); errors as lantrel_position_get_state_count. */
int32_t lantrel_position_get_county_name(lantrel_position* position, const int32_t* Index,
                                         char** out);
/** County FIPS code of county `Index` (0 out of range); errors as lantrel_position_get_state_count. */
int32_t lantrel_position_get_county_fips(lantrel_position* position, const int32_t* Index,
                                         int32_t* out);
/** Plane-coordinate zone of county `Index` ("" out of range); errors as lantrel_position_get_state_count, and 9 for a county code outside 0-239. */
int32_t lantrel_position_get_county_sp_zone(lantrel_position* position, const int32_t* Index,
                                            char** out);
/** Number of 7.5-minute quadrangles at the point; errors as lantrel_position_get_state_count. */
int32_t lantrel_position_get_quad_count(lantrel_position* position, int32_t* out);
/** Tile of quadrangle `Index` ("37085-A1"; "" out of range); errors as lantrel_position_get_state_count. */
int32_t lantrel_position_get_quad_tile(lantrel_position* position, const int32_t* Index,
                                       char** out);
/** Name of quadrangle `Index` ("" out of range); errors as lantrel_position_get_state_count. */
int32_t lantrel_position_get_quad_name(lantrel_position* position, const int32_t* Index,
                                       char** out);
/** Primary state of quadrangle `Index` ("" out of range); errors as lantrel_position_get_state_count. */
int32_t lantrel_position_get_quad_state(lantrel_position* position, const int32_t* Index,
                                        char** out);
/* 22-23 Grid scale factor and meridian convergence (degrees) at the point. */
/** Grid scale factor at the point; 6 or 11 when the computation overflows or divides by zero. */
int32_t lantrel_position_get_scale_factor(lantrel_position* position, double* out);
/** Meridian convergence at the point, degrees; 6 or 11 as lantrel_position_get_scale_factor. */
int32_t lantrel_position_get_convergence(lantrel_position* position, double* out);
/* 24 Convert. Each target is optional and by reference: NULL = omitted; a variable holding -1
 *   means "keep". The resolved value is written back into each given variable, also when the
 *   call then returns 4 or fails. `result` receives 0, or 4 when a datum change was refused
 *   outside the shift window; it may be NULL when the caller does not need it. */
/** Converts the point; errors 1001-1003 for invalid targets, 6 or 11 for arithmetic faults (the position is then unchanged). */
int32_t lantrel_position_convert(lantrel_position* position, int32_t* toDatum,
                                 int32_t* toProjection, int32_t* toUnits, int32_t* result);
/* 25 Whether the point lies in the datum-shift window. */
/** Whether the point lies in the datum-shift window; 6 or 11 for arithmetic faults. */
int32_t lantrel_position_get_in_bounds(lantrel_position* position, lantrel_bool* out);
/* 26 SetPath: loads the reference data file from the folder PathSpec. `out` is True when data
 *   is loaded after the call. */
/** Loads the data file from folder `PathSpec`; fails with the reader's error (53, 75, 9, 6, 62) only when the file exists but cannot be read. */
int32_t lantrel_position_set_path(lantrel_position* position, const char* PathSpec,
                                  lantrel_bool* out);

/* ---- zrCarter ------------------------------------------------------------------------------ */

/** Adds a reference. NULL is ignored. */
void lantrel_carter_addref(lantrel_carter* carter);
/** Drops a reference; the object is destroyed with the last one held anywhere. NULL is ignored. */
void lantrel_carter_release(lantrel_carter* carter);
/** Whether two handles refer to the same Carter object (NULL equals only NULL). */
lantrel_bool lantrel_carter_is_same(const lantrel_carter* a, const lantrel_carter* b);

/** Resets the location and marks it changed. */
int32_t lantrel_carter_clear(lantrel_carter* carter);
/** The location as one line of text (the ZGS layout when `UseZGSFormat` is True). */
int32_t lantrel_carter_get_location_string(lantrel_carter* carter,
                                           lantrel_bool UseZGSFormat, char** out);
/** "FNL" or "FSL": which north-south call is meaningful. */
int32_t lantrel_carter_get_fnsl(lantrel_carter* carter, char** out);
/** Feet from the section's north line. */
int32_t lantrel_carter_get_fnl(lantrel_carter* carter, double* out);
/** Sets the call from the north line (FSL becomes 0). */
int32_t lantrel_carter_let_fnl(lantrel_carter* carter, double value);
/** Feet from the section's south line. */
int32_t lantrel_carter_get_fsl(lantrel_carter* carter, double* out);
/** Sets the call from the south line (FNL becomes 0). */
int32_t lantrel_carter_let_fsl(lantrel_carter* carter, double value);
/** "FEL" or "FWL": which east-west call is meaningful. */
int32_t lantrel_carter_get_fewl(lantrel_carter* carter, char** out);
/** Feet from the section's east line. */
int32_t lantrel_carter_get_fel(lantrel_carter* carter, double* out);
/** Sets the call from the east line (FWL becomes 0). */
int32_t lantrel_carter_let_fel(lantrel_carter* carter, double value);
/** Feet from the section's west line. */
int32_t lantrel_carter_get_fwl(lantrel_carter* carter, double* out);
/** Sets the call from the west line (FEL becomes 0). */
int32_t lantrel_carter_let_fwl(lantrel_carter* carter, double value);
/** Section in the block (1-25, 0 while unset). */
int32_t lantrel_carter_get_section(lantrel_carter* carter, int32_t* out);
/** Sets the section; LANTREL_E_INVALID_CARTER_SECTION outside 1-25. */
int32_t lantrel_carter_let_section(lantrel_carter* carter, int32_t value);
/** Block row letter ("" while unset). */
int32_t lantrel_carter_get_letter(lantrel_carter* carter, char** out);
/** Sets the block row from a letter or a 0-prefixed index; LANTREL_E_INVALID_CARTER_LETTER when empty or invalid, 5 for malformed UTF-8. */
int32_t lantrel_carter_let_letter(lantrel_carter* carter, const char* value);
/** Whether `Letter` is a valid row letter; changes nothing. */
int32_t lantrel_carter_is_letter(lantrel_carter* carter, const char* Letter,
                                 lantrel_bool* out);
/** Block column number (0-92). */
int32_t lantrel_carter_get_number(lantrel_carter* carter, int32_t* out);
/** Sets the block column; LANTREL_E_INVALID_CARTER_NUMBER outside 0-92. */
int32_t lantrel_carter_let_number(lantrel_carter* carter, int32_t value);
/** Second name of lantrel_carter_get_section. */
int32_t lantrel_carter_get_cell_number(lantrel_carter* carter, int32_t* out);
/** Second name of lantrel_carter_let_section (its own error text). */
int32_t lantrel_carter_let_cell_number(lantrel_carter* carter, int32_t value);
/** Second name of lantrel_carter_get_letter. */
int32_t lantrel_carter_get_block_letter(lantrel_carter* carter, char** out);
/** Second name of lantrel_carter_let_letter (its own error text). */
int32_t lantrel_carter_let_block_letter(lantrel_carter* carter, const char* value);
/** Second name of lantrel_carter_is_letter. */
int32_t lantrel_carter_is_block_letter(lantrel_carter* carter, const char* BlockLetter,
                                       lantrel_bool* out);
/** Second name of lantrel_carter_get_number. */
int32_t lantrel_carter_get_block_number(lantrel_carter* carter, int32_t* out);
/** Second name of lantrel_carter_let_number (its own error text). */
int32_t lantrel_carter_let_block_number(lantrel_carter* carter, int32_t value);

/* ---- Array conversion ---------------------------------------------------------------------- */

/// Arrays shorter than this many points stay on the caller's thread whatever thread count a
/// _threaded call is given (starting threads would cost more than the points take).
#define LANTREL_ARRAY_THREAD_THRESHOLD 32768

/// Opaque handle of an immutable conversion between two coordinate systems.
typedef struct lantrel_transformer lantrel_transformer;

/// Creates a transformer from the source system (from_projection, from_datum, from_units) to
/// the target system (to_projection, to_datum, to_units), given as zrGeoProjection, zrGeoDatum
/// and zrGeoUnits codes. west_positive is the position's WestPositive: the sign a geographic
/// result's longitude is given (input longitudes are read as magnitudes, as the x let does).
/// Errors: the source codes are checked in the order of the position's lets (1002, 1001,
/// 1003), the target codes in Convert's order (1001, 1003, 1002), with the position's texts;
/// 5 for the Carter system (6, not a coordinate pair) and for a combination a position would
/// silently change (the single zone on NAD 27, decimal degrees on a plane zone, a linear unit
/// on the geographic system); 5 when out is NULL. On failure *out is set to NULL.
/// Thread rule: the transformer is immutable; any number of threads may use it at once.
int32_t lantrel_transformer_create(int32_t from_projection, int32_t from_datum, int32_t from_units,
                                   int32_t to_projection, int32_t to_datum, int32_t to_units,
                                   lantrel_bool west_positive, lantrel_transformer** out);
/// Destroys a transformer. NULL is ignored. No other thread may be using it.
void    lantrel_transformer_release(lantrel_transformer* transformer);
/// Converts count points (x[i], y[i]) into (out_x[i], out_y[i]) with status[i]: 0, 4 when the
/// datum change is refused outside the shift window, or the number of the error a position
/// would raise for that point; out_x[i] and out_y[i] are NaN wherever status[i] is not 0.
/// Each result equals, bit for bit, a new position's after the lets Projection, Datum, Units,
/// WestPositive, x, y and Convert to the target. The output arrays may be the input arrays.
/// Returns 0 when the arguments are usable; 91 for a NULL transformer, 5 for a NULL array with
/// count > 0 (nothing is written then). count == 0 does nothing.
/// Thread rule: safe on one transformer from many threads at once (distinct output arrays).
int32_t lantrel_transformer_transform(const lantrel_transformer* transformer, size_t count,
                                      const double* x, const double* y,
                                      double* out_x, double* out_y, int32_t* status);
/// lantrel_transformer_transform with the record of every failed point in `errors` (NULL for
/// none): the per-point conversion's number, source and description; for status 4, source
/// "lantrel:Transformer:" and the reason. Results and statuses are the same, bit for bit.
int32_t lantrel_transformer_transform_detailed(const lantrel_transformer* transformer,
                                               size_t count, const double* x, const double* y,
                                               double* out_x, double* out_y, int32_t* status,
                                               lantrel_point_errors* errors);
/// lantrel_transformer_transform_detailed on up to `threads` threads: 1 the caller's thread
/// alone (what lantrel_transformer_transform_detailed does), 0 every core, N at most N. Arrays
/// below LANTREL_ARRAY_THREAD_THRESHOLD points stay on the caller's thread. The array is cut
/// into contiguous chunks, one per thread; results, statuses and `errors` (in input order,
/// indices in the whole array) are the same, bit for bit, whatever the count. Returns when
/// every thread has finished.
int32_t lantrel_transformer_transform_threaded(const lantrel_transformer* transformer,
                                               size_t count, const double* x, const double* y,
                                               double* out_x, double* out_y, int32_t* status,
                                               lantrel_point_errors* errors, uint32_t threads);
/// Scale factor and convergence (degrees) of count points in the given system, bit-identical to
/// a position's ScaleFactor and Convergence after the lets Projection, Datum, Units,
/// WestPositive, x, y. The codes are validated like lantrel_transformer_create's source system
/// (the Carter system refused with 5). status[i] is 0 or the number of the error the position
/// would raise (the scale factor's when both would fail); both outputs are NaN where it is not
/// 0. Returns 0 when the arguments are usable, else the validation error or 5 for a NULL array
/// with count > 0. count == 0 only validates the codes.
/// Thread rule: a pure function; safe on any number of threads.
int32_t lantrel_factors(int32_t projection, int32_t datum, int32_t units, lantrel_bool west_positive,
                        size_t count, const double* x, const double* y,
                        double* scale_factor, double* convergence, int32_t* status);
/// lantrel_factors with the record of every failed point in `errors` (NULL for none).
int32_t lantrel_factors_detailed(int32_t projection, int32_t datum, int32_t units,
                                 lantrel_bool west_positive, size_t count, const double* x,
                                 const double* y, double* scale_factor, double* convergence,
                                 int32_t* status, lantrel_point_errors* errors);
/// lantrel_factors_detailed on up to `threads` threads, counted as for
/// lantrel_transformer_transform_threaded; the outcome is the same whatever the count.
int32_t lantrel_factors_threaded(int32_t projection, int32_t datum, int32_t units,
                                 lantrel_bool west_positive, size_t count, const double* x,
                                 const double* y, double* scale_factor, double* convergence,
                                 int32_t* status, lantrel_point_errors* errors,
                                 uint32_t threads);

/* ---- Batch location lookup ------------------------------------------------------------- */

#define LANTREL_STATE_FIPS_SIZE 3  /**< Chars a state FIPS text needs ("21" and its NUL). */
#define LANTREL_COUNTY_FIPS_SIZE 4 /**< Chars a county FIPS text needs ("053" and its NUL). */
#define LANTREL_GEOID_SIZE 6       /**< Chars a county GEOID needs ("21053" and its NUL). */

/// Opaque handle of a loaded reference data file for batch lookups. Thread rule: created
/// once and immutable; any number of threads may use it at once.
typedef struct lantrel_locator lantrel_locator;

/// The areas found at one point.
typedef struct lantrel_location {
  int32_t state;        /**< Index of the first state containing the point, -1 when none. */
  int32_t county;       /**< Index of the first county containing the point, -1 when none. */
  int32_t quad;         /**< Index of the first quadrangle containing the point, -1 when none. */
  int32_t state_count;  /**< How many states contain the point. */
  int32_t county_count; /**< How many counties contain the point. */
  int32_t quad_count;   /**< How many quadrangles contain the point. */
} lantrel_location;

/// Every area found at one point, as record indices in the order a position reports them
/// (StateName(0), StateName(1), ...); slots from a count on are -1. A point on a boundary
/// belongs to every area sharing it. The command-line tool's locate writes these, joined by
/// ';' in each field.
typedef struct lantrel_location_matches {
  int32_t states[3];    /**< The states containing the point, the first state_count. */
  int32_t counties[3];  /**< The home-state counties containing the point, the first county_count. */
  int32_t quads[4];     /**< The quadrangles containing the point, the first quad_count. */
  int32_t state_count;  /**< How many states contain the point. */
  int32_t county_count; /**< How many counties contain the point. */
  int32_t quad_count;   /**< How many quadrangles contain the point. */
} lantrel_location_matches;

/// Loads a reference data file into a new locator (release it with lantrel_locator_release).
/// data_file NULL or "" = the default data-file search a new position makes; a missing file
/// gives 1010 with the library's own text for reference data not loaded; a damaged file the
/// loader's error (its number and description); 5 when out is NULL or data_file is not UTF-8.
/// On failure *out is set to NULL. Thread-safe once created.
int32_t lantrel_locator_create(const char* data_file, lantrel_locator** out);
/// Destroys a locator. NULL is ignored. No other thread may be using it.
void    lantrel_locator_release(lantrel_locator* locator);
/// Looks up count points. lon either sign (read as a west magnitude like the position's x
/// let), lat degrees, datum 0 NAD 83 / 1 NAD 27 (shifted as the position's lookup does). out[i]
/// equals what a position with that point reports as StateName(0), CountyName(0), QuadName(0)
/// and the counts; status[i] 0 or the error number the position's lookup would raise (out[i]
/// then holds -1 indices and 0 counts). Returns 0 when the arguments are usable; 91 for a NULL
/// locator, 1001 for another datum code, 5 for a NULL array with count > 0. count == 0 does
/// nothing. Thread rule: safe on one locator from many threads at once (distinct outputs).
int32_t lantrel_locator_locate(const lantrel_locator* locator, size_t count, const double* lon, const double* lat,
                               int32_t datum, lantrel_location* out, int32_t* status);
/// lantrel_locator_locate with the record of every failed point in `errors` (NULL for none).
int32_t lantrel_locator_locate_detailed(const lantrel_locator* locator, size_t count,
                                        const double* lon, const double* lat, int32_t datum,
                                        lantrel_location* out, int32_t* status,
                                        lantrel_point_errors* errors);
/// lantrel_locator_locate_detailed with every area found at each point (out[i] holds -1
/// indices and 0 counts where status[i] is not 0).
int32_t lantrel_locator_locate_matches(const lantrel_locator* locator, size_t count,
                                       const double* lon, const double* lat, int32_t datum,
                                       lantrel_location_matches* out, int32_t* status,
                                       lantrel_point_errors* errors);
/// The texts of the areas one point lies in (count of them, in the order the locator reports
/// them) as one location field, joined by the rule of the tool's locate and every other front
/// end: a ';' before each text once the field holds something. count 0 gives "". *out is a
/// library string (release it with lantrel_string_free). Error 5 for a NULL out, a NULL texts
/// with count > 0, a NULL entry or a text that is not UTF-8 (*out is then NULL).
int32_t lantrel_location_field_join(size_t count, const char* const* texts, char** out);
/// lantrel_locator_locate_detailed on up to `threads` threads, counted as for
/// lantrel_transformer_transform_threaded; the outcome is the same whatever the count.
int32_t lantrel_locator_locate_threaded(const lantrel_locator* locator, size_t count,
                                        const double* lon, const double* lat, int32_t datum,
                                        lantrel_location* out, int32_t* status,
                                        lantrel_point_errors* errors, uint32_t threads);
/// lantrel_locator_locate_matches on up to `threads` threads, counted as for
/// lantrel_transformer_transform_threaded.
int32_t lantrel_locator_locate_matches_threaded(const lantrel_locator* locator, size_t count,
                                                const double* lon, const double* lat,
                                                int32_t datum, lantrel_location_matches* out,
                                                int32_t* status, lantrel_point_errors* errors,
                                                uint32_t threads);
/// table 0 states, 1 counties, 2 quadrangles: number of records. Error 5 for another table
/// number or a NULL out, 91 for a NULL locator. Thread rule: safe from many threads at once.
int32_t lantrel_locator_size(const lantrel_locator* locator, int32_t table, int32_t* out);
/// State record index: its name and FIPS code (either output may be NULL). Record texts are
/// UTF-8, owned by the locator, valid until it is released; index out of range gives 9 (text
/// outputs are then set to NULL). Thread rule: safe from many threads at once.
int32_t lantrel_locator_state(const lantrel_locator* locator, int32_t index, const char** name, int32_t* fips);
/// County record index: its name, county FIPS code (county part only) and home-state plane
/// zone word ("North", "South" or ""); any output may be NULL. Texts and errors as for
/// lantrel_locator_state. Thread rule: safe from many threads at once.
int32_t lantrel_locator_county(const lantrel_locator* locator, int32_t index, const char** name, int32_t* fips,
                               const char** sp_zone);
/// Quadrangle record index: its name, tile and state texts (any output may be NULL). Texts and
/// errors as for lantrel_locator_state. Thread rule: safe from many threads at once.
int32_t lantrel_locator_quad(const lantrel_locator* locator, int32_t index, const char** name, const char** tile,
                             const char** state);
/// State record index: its FIPS code as the two-digit text Census tables join on ("21"),
/// written with its NUL into state_fips (room for LANTREL_STATE_FIPS_SIZE chars; "" for a code
/// outside 0-99). Error 9 out of range, 5 for a NULL state_fips, 91 for a NULL locator.
/// Thread rule: safe from many threads at once.
int32_t lantrel_locator_state_fips_text(const lantrel_locator* locator, int32_t index,
                                        char* state_fips);
/// County record index: its county code as three digits ("053") into county_fips (room for
/// LANTREL_COUNTY_FIPS_SIZE chars) and its five-digit GEOID, state and county ("21053"), into
/// geoid (room for LANTREL_GEOID_SIZE chars); either output may be NULL. Errors as for
/// lantrel_locator_state_fips_text. Thread rule: safe from many threads at once.
int32_t lantrel_locator_county_fips_text(const lantrel_locator* locator, int32_t index,
                                         char* county_fips, char* geoid);
/// Record index of table (0 states, 1 counties, 2 quadrangles): its bounding box as the data
/// file holds it, x west-positive longitude (x_min the east edge), y latitude, NAD 83; any
/// output may be NULL. Error 9 out of range, 5 for another table number, 91 for a NULL
/// locator. Thread rule: safe from many threads at once.
int32_t lantrel_locator_bounds(const lantrel_locator* locator, int32_t table, int32_t index,
                               double* x_min, double* x_max, double* y_min, double* y_max);
/// Record index of table: its outline for drawing (a state's or county's boundary ring in the
/// file's order, a quadrangle's corners south-west, south-east, north-east, north-west; closed
/// by repeating the first point), x west-positive longitude, y latitude, NAD 83. *count is
/// set to the number of points; x and y (room for capacity points each) receive them when
/// capacity >= *count, so a call with capacity 0 asks the size. Error 5 for a NULL count,
/// another table number, or NULL arrays with capacity >= *count; 9 out of range; 91 for a NULL
/// locator. Thread rule: safe from many threads at once.
int32_t lantrel_locator_outline(const lantrel_locator* locator, int32_t table, int32_t index,
                                double* x, double* y, size_t capacity, size_t* count);
/// The records of table whose bounds meet the box (x west-positive longitude, y latitude,
/// NAD 83; touching edges count), in record order: *count is set to how many, and indices
/// (room for capacity) receives them when capacity >= *count. Errors as for
/// lantrel_locator_outline. Thread rule: safe from many threads at once.
int32_t lantrel_locator_records_meeting(const lantrel_locator* locator, int32_t table, double x_min,
                                        double x_max, double y_min, double y_max, int32_t* indices,
                                        size_t capacity, size_t* count);
/// The data file carried a content checksum and it matched: *out 1, else 0. Error 5 for a
/// NULL out, 91 for a NULL locator. Thread rule: safe from many threads at once.
int32_t lantrel_locator_data_verified(const lantrel_locator* locator, int32_t* out);
#if defined(__GNUC__)
#pragma GCC visibility pop
#endif

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LANTREL_LANTREL_H */

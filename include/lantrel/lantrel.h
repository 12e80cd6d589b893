/* lantrel — C interface for hosts other than C++ (C, Python through ctypes, shell tools).
 *
 * The two automation classes are exposed as opaque, reference-counted handles:
 *   lantrel_position  a ZrGeoPosition (creatable)
 *   lantrel_carter    a zrCarter (obtained only from a position's Carter property)
 *
 * Naming: every member of a class appears in the order of its interface, as
 *   lantrel_<class>_get_<member>   property read
 *   lantrel_<class>_let_<member>   property write by value
 *   lantrel_<class>_set_<member>   property write by reference (the Carter object)
 *   lantrel_<class>_<member>       method (Clear, IsLetter, Convert, SetPath, ...)
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

typedef struct lantrel_position lantrel_position;
typedef struct lantrel_carter lantrel_carter;

/** Automation Boolean: 16 bits, True = -1, False = 0. */
typedef int16_t lantrel_bool;
#define LANTREL_TRUE ((lantrel_bool)-1)
#define LANTREL_FALSE ((lantrel_bool)0)

/* ---- Enumerations (values are 32-bit signed integers at the interface) ------------------- */
/* The members keep their own names. In C++ they sit in the global namespace beside namespace
 * lantrel, so code that uses both writes lantrel::zrCarter for the class. */

enum zrGeoDatum { zrNAD83 = 0, zrNAD27 = 1 };

enum zrGeoUnits {
  zrDecimalDegrees = 0,
  zrUSFt = 1,
  zrMeters = 2,
  zrIntlFt = 3,
  zrMiles = 4,
  zrKilometers = 5
};

enum zrGeoProjection {
  zrSingleZone = 0,
  zrNorthZone = 1,
  zrSouthZone = 2,
  zrUTM16 = 3,
  zrUTM17 = 4,
  zrGeographic = 5,
  zrCarter = 6,
  moEastZone = 7,
  ilWestZone = 8,
  ilEastZone = 9,
  inWestZone = 10,
  inEastZone = 11,
  ohSouthZone = 12,
  wvSouthZone = 13,
  vaSouthZone = 14,
  tnSingleZone = 15
};

/* ---- Error numbers ------------------------------------------------------------------------ */

/** Automation object-error base, 0x80040000 as a signed 32-bit value. */
#define LANTREL_OBJECT_ERROR_BASE ((int32_t)(-2147221504L))

#define LANTREL_OK ((int32_t)0)
/* General run-time errors, with their standard texts. */
#define LANTREL_E_INVALID_ARGUMENT ((int32_t)5)  /* "Invalid procedure call or argument" */
#define LANTREL_E_OVERFLOW ((int32_t)6)          /* "Overflow" */
#define LANTREL_E_OUT_OF_MEMORY ((int32_t)7)     /* "Out of memory" */
#define LANTREL_E_SUBSCRIPT ((int32_t)9)         /* "Subscript out of range" */
#define LANTREL_E_DIVISION_BY_ZERO ((int32_t)11) /* "Division by zero" */
#define LANTREL_E_INTERNAL ((int32_t)51)         /* "Internal error" */
#define LANTREL_E_OBJECT_NOT_SET ((int32_t)91)   /* "Object variable or With block variable not set" */
/* The library's own errors. */
#define LANTREL_E_INVALID_DATUM (LANTREL_OBJECT_ERROR_BASE + 1001)
#define LANTREL_E_INVALID_PROJECTION (LANTREL_OBJECT_ERROR_BASE + 1002)
#define LANTREL_E_INVALID_UNITS (LANTREL_OBJECT_ERROR_BASE + 1003)
#define LANTREL_E_DATA_NOT_LOADED (LANTREL_OBJECT_ERROR_BASE + 1010)
#define LANTREL_E_INVALID_CARTER_SECTION (LANTREL_OBJECT_ERROR_BASE + 1011)
#define LANTREL_E_INVALID_CARTER_NUMBER (LANTREL_OBJECT_ERROR_BASE + 1012)
#define LANTREL_E_INVALID_CARTER_LETTER (LANTREL_OBJECT_ERROR_BASE + 1013)

/* Non-error result of lantrel_position_convert: the datum change was refused because the
 * point lies outside the datum-shift window. */
#define LANTREL_CONVERT_DONE ((int32_t)0)
#define LANTREL_CONVERT_OUTSIDE_SHIFT_WINDOW ((int32_t)4)

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

/* ---- Type description --------------------------------------------------------------------- */

/** Name of the type library: "Lantrel". */
const char* lantrel_typelib_name(void);
/** Version of the type library (3.23: major 3, minor 23). Either pointer may be NULL. */
void lantrel_typelib_version(int32_t* major, int32_t* minor);

/* Kinds of an interface member, combined as bits. */
#define LANTREL_KIND_GET 1
#define LANTREL_KIND_LET 2
#define LANTREL_KIND_SET 4
#define LANTREL_KIND_METHOD 8

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
int32_t lantrel_position_get_carter(lantrel_position* position, lantrel_carter** out);
int32_t lantrel_position_set_carter(lantrel_position* position, lantrel_carter* carter);
/* 2-4 Identification. ReleaseDate is an automation date (days since 30 December 1899). */
int32_t lantrel_position_get_version(lantrel_position* position, char** out);
int32_t lantrel_position_get_release_date(lantrel_position* position, double* out);
int32_t lantrel_position_get_about(lantrel_position* position, char** out);
/* 5-10 The pair and its labels. */
int32_t lantrel_position_get_west_positive(lantrel_position* position, lantrel_bool* out);
int32_t lantrel_position_let_west_positive(lantrel_position* position, lantrel_bool value);
int32_t lantrel_position_get_x(lantrel_position* position, double* out);
int32_t lantrel_position_let_x(lantrel_position* position, double value);
int32_t lantrel_position_get_y(lantrel_position* position, double* out);
int32_t lantrel_position_let_y(lantrel_position* position, double value);
int32_t lantrel_position_get_projection(lantrel_position* position, int32_t* out);
int32_t lantrel_position_let_projection(lantrel_position* position, int32_t value);
int32_t lantrel_position_get_datum(lantrel_position* position, int32_t* out);
int32_t lantrel_position_let_datum(lantrel_position* position, int32_t value);
int32_t lantrel_position_get_units(lantrel_position* position, int32_t* out);
int32_t lantrel_position_let_units(lantrel_position* position, int32_t value);
/* 11-21 States, counties and quadrangles at the point. Index: optional, NULL reads as 0. */
int32_t lantrel_position_get_state_count(lantrel_position* position, int32_t* out);
int32_t lantrel_position_get_state_name(lantrel_position* position, const int32_t* Index,
                                        char** out);
int32_t lantrel_position_get_state_fips(lantrel_position* position, const int32_t* Index,
                                        int32_t* out);
int32_t lantrel_position_get_county_count(lantrel_position* position, int32_t* out);
int32_t lantrel_position_get_county_name(lantrel_position* position, const int32_t* Index,
                                         char** out);
int32_t lantrel_position_get_county_fips(lantrel_position* position, const int32_t* Index,
                                         int32_t* out);
int32_t lantrel_position_get_county_sp_zone(lantrel_position* position, const int32_t* Index,
                                            char** out);
int32_t lantrel_position_get_quad_count(lantrel_position* position, int32_t* out);
int32_t lantrel_position_get_quad_tile(lantrel_position* position, const int32_t* Index,
                                       char** out);
int32_t lantrel_position_get_quad_name(lantrel_position* position, const int32_t* Index,
                                       char** out);
int32_t lantrel_position_get_quad_state(lantrel_position* position, const int32_t* Index,
                                        char** out);
/* 22-23 Grid scale factor and meridian convergence (degrees) at the point. */
int32_t lantrel_position_get_scale_factor(lantrel_position* position, double* out);
int32_t lantrel_position_get_convergence(lantrel_position* position, double* out);
/* 24 Convert. Each target is optional and by reference: NULL = omitted; a variable holding -1
 *   means "keep". The resolved value is written back into each given variable, also when the
 *   call then returns 4 or fails. `result` receives 0, or 4 when a datum change was refused
 *   outside the shift window; it may be NULL when the caller does not need it. */
int32_t lantrel_position_convert(lantrel_position* position, int32_t* toDatum,
                                 int32_t* toProjection, int32_t* toUnits, int32_t* result);
/* 25 Whether the point lies in the datum-shift window. */
int32_t lantrel_position_get_in_bounds(lantrel_position* position, lantrel_bool* out);
/* 26 SetPath: loads the reference data file from the folder PathSpec. `out` is True when data
 *   is loaded after the call. */
int32_t lantrel_position_set_path(lantrel_position* position, const char* PathSpec,
                                  lantrel_bool* out);

/* ---- zrCarter ------------------------------------------------------------------------------ */

void lantrel_carter_addref(lantrel_carter* carter);
void lantrel_carter_release(lantrel_carter* carter);
/** Whether two handles refer to the same Carter object (NULL equals only NULL). */
lantrel_bool lantrel_carter_is_same(const lantrel_carter* a, const lantrel_carter* b);

/* 1 */ int32_t lantrel_carter_clear(lantrel_carter* carter);
/* 2 */ int32_t lantrel_carter_get_location_string(lantrel_carter* carter,
                                                   lantrel_bool UseZGSFormat, char** out);
/* 3 */ int32_t lantrel_carter_get_fnsl(lantrel_carter* carter, char** out);
/* 4 */ int32_t lantrel_carter_get_fnl(lantrel_carter* carter, double* out);
int32_t lantrel_carter_let_fnl(lantrel_carter* carter, double value);
/* 5 */ int32_t lantrel_carter_get_fsl(lantrel_carter* carter, double* out);
int32_t lantrel_carter_let_fsl(lantrel_carter* carter, double value);
/* 6 */ int32_t lantrel_carter_get_fewl(lantrel_carter* carter, char** out);
/* 7 */ int32_t lantrel_carter_get_fel(lantrel_carter* carter, double* out);
int32_t lantrel_carter_let_fel(lantrel_carter* carter, double value);
/* 8 */ int32_t lantrel_carter_get_fwl(lantrel_carter* carter, double* out);
int32_t lantrel_carter_let_fwl(lantrel_carter* carter, double value);
/* 9 */ int32_t lantrel_carter_get_section(lantrel_carter* carter, int32_t* out);
int32_t lantrel_carter_let_section(lantrel_carter* carter, int32_t value);
/* 10 */ int32_t lantrel_carter_get_letter(lantrel_carter* carter, char** out);
int32_t lantrel_carter_let_letter(lantrel_carter* carter, const char* value);
/* 11 */ int32_t lantrel_carter_is_letter(lantrel_carter* carter, const char* Letter,
                                          lantrel_bool* out);
/* 12 */ int32_t lantrel_carter_get_number(lantrel_carter* carter, int32_t* out);
int32_t lantrel_carter_let_number(lantrel_carter* carter, int32_t value);
/* 13 */ int32_t lantrel_carter_get_cell_number(lantrel_carter* carter, int32_t* out);
int32_t lantrel_carter_let_cell_number(lantrel_carter* carter, int32_t value);
/* 14 */ int32_t lantrel_carter_get_block_letter(lantrel_carter* carter, char** out);
int32_t lantrel_carter_let_block_letter(lantrel_carter* carter, const char* value);
/* 15 */ int32_t lantrel_carter_is_block_letter(lantrel_carter* carter, const char* BlockLetter,
                                                lantrel_bool* out);
/* 16 */ int32_t lantrel_carter_get_block_number(lantrel_carter* carter, int32_t* out);
int32_t lantrel_carter_let_block_number(lantrel_carter* carter, int32_t value);

#if defined(__GNUC__)
#pragma GCC visibility pop
#endif

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* LANTREL_LANTREL_H */

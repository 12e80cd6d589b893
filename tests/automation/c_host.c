/* A plain C99 host of the library: compiled as C with warnings as errors, so the header stays
 * usable from C, and run by the C++ test program through c_host_session. */
#include <stdio.h>
#include <string.h>

#include "lantrel/lantrel.h"

int c_host_session(char* message, size_t size);

#define CHECK(condition)                                                     \
  do {                                                                       \
    if (!(condition)) {                                                      \
      snprintf(message, size, "line %d: %s", __LINE__, #condition);          \
      goto done;                                                             \
    }                                                                        \
  } while (0)

/* Returns 0 when every step behaved; otherwise 1 with the failed step in `message`. */
int c_host_session(char* message, size_t size) {
  int failed = 1;
  lantrel_position* position = NULL;
  lantrel_carter* carter = NULL;
  char* version = NULL;
  int32_t projection = -1;
  int32_t toDatum = -1;
  int32_t toProjection = zrGeographic;
  int32_t toUnits = -1;
  int32_t result = -99;
  lantrel_bool west = LANTREL_FALSE;
  double x = 0.0;

  message[0] = '\0';
  CHECK(lantrel_position_create(&position) == LANTREL_OK);
  CHECK(lantrel_position_get_version(position, &version) == LANTREL_OK);
  CHECK(strcmp(version, "3.23") == 0);

  CHECK(lantrel_position_let_projection(position, zrNorthZone) == LANTREL_OK);
  CHECK(lantrel_position_get_projection(position, &projection) == LANTREL_OK);
  CHECK(projection == zrNorthZone);

  /* A refused let: status, record and unchanged state. */
  CHECK(lantrel_position_let_datum(position, 7) == LANTREL_E_INVALID_DATUM);
  CHECK(lantrel_last_error_number() == LANTREL_E_INVALID_DATUM);
  CHECK(strcmp(lantrel_last_error_source(), "lantrel:zrGeoPosition:Datum:") == 0);
  CHECK(strcmp(lantrel_last_error_description(), "Invalid horizontal datum specified.") == 0);

  /* Booleans: any nonzero value is True and reads back as -1. */
  CHECK(lantrel_position_let_west_positive(position, 1) == LANTREL_OK);
  CHECK(lantrel_position_get_west_positive(position, &west) == LANTREL_OK);
  CHECK(west == LANTREL_TRUE);
  CHECK(lantrel_last_error_number() == 0);

  /* x keeps magnitudes. */
  CHECK(lantrel_position_let_x(position, -1234.5) == LANTREL_OK);
  CHECK(lantrel_position_get_x(position, &x) == LANTREL_OK);
  CHECK(x == 1234.5);

  /* Convert writes resolved targets back: datum and units are kept, units fit geographic. */
  (void)lantrel_position_convert(position, &toDatum, &toProjection, &toUnits, &result);
  CHECK(toDatum == zrNAD83);
  CHECK(toProjection == zrGeographic);
  CHECK(toUnits == zrDecimalDegrees);

  CHECK(lantrel_position_get_carter(position, &carter) == LANTREL_OK);
  CHECK(carter != NULL);
  failed = 0;

done:
  lantrel_string_free(version);
  lantrel_carter_release(carter);
  lantrel_position_release(position);
  return failed;
}

/* A C99 program built against an installed lantrel with pkg-config: converts Frankfort to the
 * north zone and, when asked to expect the data file, names its county.
 * Usage: consumer_c [expect-data] */
#include <lantrel/lantrel.h>

#include <stdio.h>
#include <string.h>

static int fail(const char* step) {
  fprintf(stderr, "%s: error %d: %s\n", step, (int)lantrel_last_error_number(),
          lantrel_last_error_description());
  return 1;
}

int main(int argc, char** argv) {
  int expect_data = argc > 1 && strcmp(argv[1], "expect-data") == 0;
  lantrel_position* p = NULL;
  int32_t to_projection = zrNorthZone, to_units = zrUSFt, result = -1;
  double x = 0.0, y = 0.0;
  char* county = NULL;
  int ok;

  if (lantrel_position_create(&p) != LANTREL_OK) return fail("create");
  if (lantrel_position_let_x(p, -84.8733) != LANTREL_OK) return fail("x");
  if (lantrel_position_let_y(p, 38.2009) != LANTREL_OK) return fail("y");
  if (lantrel_position_convert(p, NULL, &to_projection, &to_units, &result) != LANTREL_OK ||
      result != LANTREL_CONVERT_DONE)
    return fail("convert");
  lantrel_position_get_x(p, &x);
  lantrel_position_get_y(p, &y);
  printf("north zone: %.3f %.3f\n", x, y);
  if (!expect_data) {
    lantrel_position_release(p);
    return 0;
  }
  if (lantrel_position_get_county_name(p, NULL, &county) != LANTREL_OK) return fail("county");
  printf("county: %s\n", county);
  ok = strcmp(county, "Franklin") == 0;
  lantrel_string_free(county);
  lantrel_position_release(p);
  return ok ? 0 : 1;
}

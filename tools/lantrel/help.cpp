#include "help.hpp"

#include <unistd.h>

namespace lantrel::cli {

namespace {

constexpr std::string_view kMain = R"(usage: lantrel COMMAND [OPTIONS] [FILE ...]

Coordinate conversion for Kentucky and its neighbouring states.

Commands:
  convert   convert points between coordinate systems, datums and units
  locate    name the states, counties and quadrangles that contain points
  info      show the library version, release date and the data file in use
  systems   list the coordinate system names and EPSG codes lantrel accepts
  map       draw points over the counties and quadrangles around them (SVG or PNG)
  serve     answer conversions over HTTP (JSON API) and serve the interactive page

Run 'lantrel COMMAND --help' for the options of a command; 'lantrel --version' prints the
version.

Examples:
  echo "-84.8733 38.2009" | lantrel convert --from geo --to north
  lantrel convert --from north/nad27 --to utm16 points.txt
  lantrel locate --from utm16 points.txt
  lantrel map -o wells.svg wells.txt
  lantrel serve --port 8080

Exit status: 0 success, 1 when a point (or the job) failed, 2 for a wrong command line.
)";

constexpr std::string_view kConvert = R"(usage: lantrel convert --from SYSTEM --to SYSTEM [OPTIONS] [FILE ...]
       lantrel convert --to SYSTEM [--from SYSTEM] [OPTIONS] -o OUT IN

Reads points from the files (or standard input, also given as -) and writes the converted
points to standard output: one line in, one line out, in order.

SYSTEM is PROJECTION[/DATUM[/UNITS]] or EPSG:CODE ('lantrel systems' lists them; EPSG:4326
and OGC:CRS84 are read as geographic NAD 83, good to a few metres):
  projections  single north south utm16 utm17 geographic (geo) carter mo-east il-west
               il-east in-west in-east oh-south wv-south va-south tn, the enumeration
               names (zrNorthZone, moEastZone, ...) or the codes 0-15
  datums       nad83 (default) nad27; carter alone means carter/nad27 (the state's
               definition of a Carter location)
  units        deg usft m ft (international foot) mi km; default: US survey feet for the
               state-plane zones, metres for UTM, degrees for geographic and Carter

Input lines hold x and y separated by blanks, a comma or a semicolon; further columns are
copied unchanged. Blank lines and lines starting with # are copied. Geographic input is
longitude then latitude; west longitudes may be written negative or positive, and degrees,
minutes and seconds with hemisphere letters are read: 84d52'23.88"W, 84°52′23.88″ W,
84:52:23.88W, N38 12 03.24. Numbers separated by blanks need the letter: a line such as
-84 52 23.88 38 12 3.24 is refused as ambiguous rather than read as -84, 52. Carter input
is a location string such as D45-07 1200-FNL 350-FWL (either layout is read).

Options:
  -f, --from SYSTEM     system of the input points (required, except for a vector layer
                        whose coordinate system is one of the EPSG codes served)
  -t, --to SYSTEM       system to convert to (required)
  -I, --inverse         swap --from and --to
  -p, --precision N     decimals written (default 3 for linear units, 9 for degrees)
      --west-positive   write west longitudes positive (default: negative)
      --zgs             write Carter locations in the ZGS layout (1200 FNL  350 FWL 07- D-45)
      --dms             write longitudes and latitudes as 84°52′23.88000″W 38°12′03.24000″N
                        (geographic targets; -p counts the decimals of the seconds, default 5,
                        at most 12; vector files get them as text fields beside the geometry)
      --csv             read and write CSV with a header row; other columns are kept
                        (implied when every input file is named *.csv or *.tsv)
      --delimiter CHAR  CSV field delimiter: , ; | or tab (implies --csv); without it
                        the header line decides (the one found most often; on a tie tab
                        for *.tsv, else comma); output keeps the input's
      --x-col NAME      CSV column of x (default x, else lon; for Carter input: carter,
                        else location)
      --y-col NAME      CSV column of y; without them the first usual pair found is used:
                        x/y, lon/lat, long/lat, lng/lat, longitude/latitude,
                        easting/northing, east/north (ignoring case)
      --carter-col NAME CSV column or field holding Carter locations (implies --csv and
                        --from carter)
      --x-name NAME     name of the new x column (default: lon for geographic targets,
                        x for plane ones, carter for Carter)
      --y-name NAME     name of the new y column (default lat or y)
      --keep            keep the source coordinate columns beside the new ones
      --factors         add scale_factor and convergence (degrees) of each point in the
                        TARGET system (1 and 0 for geographic and Carter targets)
  -o, --output OUT      write the vector file OUT from the vector file IN (below)
      --format NAME     format of OUT: gpkg, shp, geojson, fgb or csv (default: from
                        OUT's extension)
  -l, --layer NAME      the layer of IN to read (needed when IN holds several)
      --output-layer NAME
                        name of the layer written to a GeoPackage OUT (default: the input
                        layer's name)
      --overwrite       replace an existing OUT; of a GeoPackage, only that layer
      --append          add to the GeoPackage layer of that name
      --json            write one JSON object per point
      --strict          stop at the first line that fails
      --accept-distant  accept points far outside 73-98 W, 33-45 N and Carter
                        footages beyond a section
      --progress        show a progress bar for any regular input file
      --no-progress     never show a progress bar (default: shown for regular files over
                        4 MiB when standard error is a terminal)
  -v, --verbose         say which systems the names and EPSG codes stand for
  -h, --help            show this help

Vector files (GeoPackage, Shapefile, GeoJSON, FlatGeobuf, CSV; read and written through
GDAL): the point layer of IN is written to OUT with every attribute. The geometry is
written in the target system, with its EPSG code as the layer's coordinate system where
one exists; CSV output and layers whose coordinates are attribute fields get new
coordinate columns as with --csv. GeoJSON is RFC 7946 for geo/nad83 targets and carries
a crs member otherwise. A feature that fails keeps its attributes, gets an empty geometry
and is reported as IN:FID: message; other geometry than points is such a failure.
CSV input is read as by --csv, one feature per record. An existing GeoPackage OUT gains a
layer (refused when it has one of that name, unless --overwrite or --append); another
existing OUT is refused unless --overwrite; OUT may not be a file of IN, a link, a device
or a folder. A job that fails (damaged input, a failed write) leaves OUT as it was; what
the format cannot hold (M values in GeoJSON, text over 254 bytes in a Shapefile field) is
counted and the exit status is 1.

A line that fails (unreadable numbers, values out of range, a datum change outside the
NAD 27/NAD 83 shift window 81.5-90 W, 36-39.5 N, a point outside the Carter grid, an
arithmetic error) is reported on standard error as LINE: message (FILE:LINE: message with
several files), with the library's error number and description where there is one; its
output line is left empty, and the exit status is 1.

Examples:
  echo "-84.8733 38.2009" | lantrel convert --from geo --to north
  lantrel convert -f north/nad27/usft -t utm16/nad83/m survey.txt
  lantrel convert -f EPSG:4269 -t EPSG:2246 -p 2 points.txt
  lantrel convert -f geo -t carter --zgs wells.txt
  lantrel convert --csv -f geo -t south/nad83/m --x-col LONG --y-col LAT sites.csv
  lantrel convert --csv -f geo -t north --keep --factors wells.csv
  lantrel convert -t north -o wells_north.gpkg wells.gpkg
  lantrel convert -f north/nad27 -t geo/nad27 --dms -p 2 survey.txt
)";

constexpr std::string_view kLocate = R"(usage: lantrel locate [--from SYSTEM] [OPTIONS] [FILE ...]
       lantrel locate [--from SYSTEM] [OPTIONS] -o OUT IN

Adds to each point's record the state, the Kentucky county with the plane-coordinate zone
(North or South) it belongs to, the topographic quadrangle and the Carter location of the
point. Input is read as by 'lantrel convert' (default system geographic NAD 83).

Fields added, in this order:
  state  state_fips  county  county_fips  sp_zone  quad  quad_tile  quad_state  carter  geoid
FIPS codes are zero-padded text as Census tables write them: 21, 053, and geoid 21053.
Plain lines are written as they were with these as tab-separated columns; CSV records
(--csv) keep every column and gain these; vector files (-o) gain them as fields. A point
on a boundary belongs to every area sharing it: the areas are joined by ';' in each field.
Points outside the served area (81.5-90 W, 36-39.5 N) get empty fields; carter is the
location on the input points' datum, empty off the Carter grid.

Options:
  -f, --from SYSTEM     system of the input points (default geo/nad83, or the layer's
                        EPSG code for vector files)
      --csv             read and write CSV with a header row (implied when every input
                        file is named *.csv or *.tsv)
      --delimiter CHAR  CSV field delimiter: , ; | or tab, as for 'lantrel convert'
      --x-col NAME, --y-col NAME, --carter-col NAME
                        coordinate columns, as for 'lantrel convert'
      --factors         add scale_factor and convergence in the INPUT system
      --zgs             write the carter field in the ZGS layout
  -o, --output OUT      write the vector file OUT from the vector file IN
      --format NAME     format of OUT: gpkg, shp, geojson, fgb or csv
  -l, --layer NAME, --output-layer NAME, --overwrite, --append
                        the layer read and the layer written, as for 'lantrel convert'
  -p, --precision N     decimals of coordinates written as text to OUT (default 9)
      --json            write one JSON object per point
      --header          write a header line (# point, state, ...) first
      --data DIR        read the reference data file lantrel.bin from DIR
      --strict          stop at the first line that fails
      --progress, --no-progress
                        force or suppress the progress bar (as for convert)
      --accept-distant  accept points far outside 73-98 W, 33-45 N and Carter
                        footages beyond a section
  -v, --verbose         print the data file in use on standard error
  -h, --help            show this help

Needs the reference data file lantrel.bin; when it is missing the command fails and names
the folders it searched.

Examples:
  echo "-84.8733 38.2009" | lantrel locate
  lantrel locate --from north/nad27 --json survey.txt
  lantrel locate --csv wells.csv
  lantrel locate -o wells_located.gpkg wells.gpkg
)";

constexpr std::string_view kMap = R"(usage: lantrel map -o FILE [--from SYSTEM] [OPTIONS] [FILE ...]

Draws the points of the files (or standard input) over the state and county outlines and the
7.5' quadrangle grid of the reference data file around them, with county and quadrangle
names, graticule ticks on the frame, a north arrow, scale bars in kilometres and miles, a
legend and a line naming the data's source and date. Input lines are read as by 'lantrel
convert' (default system geographic NAD 83); the text after the coordinates labels each
point. The map plane is the Kentucky single zone on NAD 83.

Labels never cover each other or a point: a label goes beside its point where there is room,
farther off with a lead line where there is not, or is left out (-v says how many).

Options:
  -o, --output FILE     the map: FILE.svg, FILE.png (needs rsvg-convert, Debian package
                        librsvg2-bin), or - for SVG on standard output (required)
  -f, --from SYSTEM     system of the input points (default geo/nad83)
      --carter          add the Carter grid: 5' block lines with block names and, where
                        they are large enough to read, 1' section lines and numbers (on the
                        datum of --from)
      --csv             read the input as CSV with a header (files named *.csv always are);
                        coordinates are found by their usual column names
      --label-col NAME  CSV: the column that labels the points (default: a column called
                        label or name, when there is one)
      --no-labels       draw the points without labels
      --size WxH        canvas size in pixels (default 1000x820; 800x600 to 8000x8000)
      --title TEXT      title of the map (default: the input files)
      --data DIR        read the reference data file lantrel.bin from DIR
      --strict          stop at the first line that fails
  -v, --verbose         print the data file in use and how many labels were placed, led
                        off or left out, on standard error
  -h, --help            show this help

A line that fails is reported as LINE: message and left off the map; the exit status is then
1. Without any point, or without the reference data file, no map is written. The map replaces
the output only once it is complete; a failed job leaves the output as it was.

Examples:
  lantrel map -o wells.svg wells.txt
  lantrel map --from north/nad27 --carter -o survey.png survey.txt
  lantrel map --label-col permit --size 1600x1200 -o wells.svg wells.csv
)";

constexpr std::string_view kServe = R"(usage: lantrel serve [--host ADDRESS] [--port N] [OPTIONS]

Serves the JSON API under /api/v1 (point, convert, locate, layers; its OpenAPI document at
/api/v1/openapi.json), /healthz, /metrics and the interactive page at /. Prints the URL it
serves; stops on SIGINT or SIGTERM once the requests in flight are answered.

Options:
      --host ADDRESS    address to listen on (default 127.0.0.1: this machine only)
      --port N          port (default 8080; 0 picks a free one)
      --data DIR        folder of lantrel.bin when the library finds none
      --threads N       most connection threads (default 256; an open connection holds one)
      --max-points N    most points one request may hold (default 1000000)
      --max-body BYTES  largest request body (default 268435456)
      --cors ORIGIN     allow pages from ORIGIN to call the API (Access-Control-Allow-Origin)
      --tiles URL       background tile layer for the page's map, as {z}/{x}/{y} URL
                        (none by default: the page then needs no internet)
      --web DIR         folder of the page's files (default PREFIX/share/lantrel/web)
  -h, --help            show this help

Examples:
  lantrel serve
  lantrel serve --host 0.0.0.0 --port 8000 --tiles 'https://tile.openstreetmap.org/{z}/{x}/{y}.png'
  curl 'http://127.0.0.1:8080/api/v1/point?text=-84.8733%2038.2009'
)";

constexpr std::string_view kInfo = R"(usage: lantrel info

Shows the library's version, release date and About text, and the reference data file in
use and whether its checksum was verified (or the folders where it was sought).

Options:
  -h, --help            show this help
)";

constexpr std::string_view kSystems = R"(usage: lantrel systems

Lists the projection, datum and unit names and the EPSG codes lantrel accepts, with what
each EPSG code stands for.

Options:
  -h, --help            show this help
)";

}  // namespace

std::string_view HelpText(HelpTopic topic) {
  switch (topic) {
    case HelpTopic::Convert: return kConvert;
    case HelpTopic::Locate: return kLocate;
    case HelpTopic::Info: return kInfo;
    case HelpTopic::Systems: return kSystems;
    case HelpTopic::Map: return kMap;
    case HelpTopic::Serve: return kServe;
    case HelpTopic::Main: break;
  }
  return kMain;
}

void PrintHelp(HelpTopic topic) {
  const std::string_view text = HelpText(topic);
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace lantrel::cli

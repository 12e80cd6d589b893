// convert and locate on vector files, read back through GDAL and compared with the library's
// own per-point results; CSV and plain joins and the factors columns against the library.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "lantrel/angle_text.hpp"
#include "lantrel/fips_text.hpp"
#include "lantrel/lantrel.hpp"
#include "tool_runner.hpp"

#ifdef LANTREL_HAVE_GDAL
#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#endif

namespace lantrel::testing {
namespace {

struct Well {
  std::string api;
  std::string oper;
  double lon;
  double lat;
};

// 25 wells across the served area, with operators whose names need CSV quoting.
std::vector<Well> Wells() {
  const char* operators[] = {"Acme Oil", "Bluegrass Gas, Inc.", "Cumberland \"Deep\" Wells",
                             "Équipe Énergie", "Ohio Valley"};
  std::vector<Well> wells;
  for (int i = 0; i < 25; ++i) {
    char api[16];
    std::snprintf(api, sizeof api, "16%08d", i * 37);
    // Held as the six-decimal values the CSV file carries.
    char lon[32];
    char lat[32];
    std::snprintf(lon, sizeof lon, "%.6f", -(81.6 + 0.33 * i) + 0.01 * (i % 3));
    std::snprintf(lat, sizeof lat, "%.6f", 36.55 + 0.115 * i);
    wells.push_back({api, operators[i % 5], std::stod(lon), std::stod(lat)});
  }
  return wells;
}

// A position at the well (geographic NAD 83).
[[maybe_unused]] ZrGeoPosition At(const Well& w) {
  ZrGeoPosition p;
  p.x(w.lon);
  p.y(w.lat);
  return p;
}

std::string WellsCsv() {
  std::string text = "API,Operator,Longitude,Latitude\n";
  char line[64];
  for (const auto& w : Wells()) {
    std::string op = w.oper;
    if (op.find_first_of(",\"") != std::string::npos) {
      std::string q = "\"";
      for (char c : op) q += c == '"' ? std::string("\"\"") : std::string(1, c);
      op = q + "\"";
    }
    std::snprintf(line, sizeof line, ",%.6f,%.6f\n", w.lon, w.lat);
    text += w.api + "," + op + line;
  }
  return text;
}

// The library's own conversion of a geographic NAD 83 point.
[[maybe_unused]] std::pair<double, double> LibraryConvert(double lon, double lat, zrGeoProjection to,
                                         zrGeoUnits units) {
  ZrGeoPosition p;
  p.x(lon);
  p.y(lat);
  p.ConvertTo(zrGeoDatum::zrNAD83, to, units);
  return {p.x(), p.y()};
}

#ifdef LANTREL_HAVE_GDAL

struct Feature {
  std::vector<std::pair<std::string, std::string>> fields;
  bool hasPoint = false;
  double x = 0.0;
  double y = 0.0;

  std::string Field(const std::string& name) const {
    for (const auto& [n, v] : fields) {
      if (n == name || (name.size() > 10 && n == name.substr(0, 10))) return v;  // Shapefile
    }
    return "<missing " + name + ">";
  }
};

struct Layer {
  std::vector<Feature> features;
  int epsg = 0;
};

Layer ReadBack(const std::string& path) {
  GDALAllRegister();
  Layer layer;
  GDALDatasetUniquePtr ds(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR));
  if (!ds) {
    ADD_FAILURE() << "GDAL cannot open " << path;
    return layer;
  }
  OGRLayer* l = ds->GetLayer(0);
  if (const OGRSpatialReference* srs = l->GetSpatialRef()) {
    if (const char* code = srs->GetAuthorityCode(nullptr)) layer.epsg = std::atoi(code);
  }
  for (auto& f : *l) {
    Feature out;
    for (int i = 0; i < f->GetFieldCount(); ++i) {
      out.fields.emplace_back(f->GetFieldDefnRef(i)->GetNameRef(),
                              f->IsFieldSetAndNotNull(i) ? f->GetFieldAsString(i) : "");
    }
    if (const OGRGeometry* g = f->GetGeometryRef(); g != nullptr && !g->IsEmpty()) {
      out.hasPoint = true;
      out.x = g->toPoint()->getX();
      out.y = g->toPoint()->getY();
    }
    layer.features.push_back(std::move(out));
  }
  return layer;
}

struct Format {
  const char* extension;
  bool exact;  // binary coordinates: bit for bit; text formats: to the written decimals
};
constexpr Format kFormats[] = {
    {"gpkg", true}, {"shp", true}, {"geojson", false}, {"fgb", true}, {"csv", false}};

class VectorFiles : public ::testing::Test {
 protected:
  void SetUp() override { LANTREL_REQUIRE(LibraryProjects(), "plane projections"); }
};

TEST_F(VectorFiles, WellsInEveryFormatConvertWithTheirAttributes) {
  const std::string csv = WriteFile("wells_source.csv", WellsCsv());
  const auto wells = Wells();
  for (const auto& format : kFormats) {
    SCOPED_TRACE(format.extension);
    // The wells as a layer of this format (geographic NAD 83), then converted from it with
    // the system taken from the layer where the format records one.
    const std::string geo = ScratchDir() + "/wells." + format.extension;
    const std::string north = ScratchDir() + "/north." + format.extension;
    // The tool refuses to replace a file; another test of this program may have left one.
    std::remove(geo.c_str());
    std::remove(north.c_str());
    const auto a = RunTool({"convert", "--from", "geo", "--to", "geo", "-o", geo, csv});
    ASSERT_EQ(a.status, 0) << a.err;
    std::vector<std::string> args{"convert", "--to", "north", "-o", north, geo};
    const bool layerNamesSystem = std::string(format.extension) != "csv" &&
                                  std::string(format.extension) != "geojson";
    if (!layerNamesSystem) args.insert(args.begin() + 1, {"--from", "geo"});
    const auto b = RunTool(args);
    ASSERT_EQ(b.status, 0) << b.err;
    const Layer layer = ReadBack(north);
    ASSERT_EQ(layer.features.size(), wells.size());
    if (std::string(format.extension) != "csv") {
      EXPECT_EQ(layer.epsg, 2246);
    }
    for (std::size_t i = 0; i < wells.size(); ++i) {
      const Feature& f = layer.features[i];
      EXPECT_EQ(f.Field("API"), wells[i].api);
      EXPECT_EQ(f.Field("Operator"), wells[i].oper);
      double x = 0.0;
      double y = 0.0;
      if (std::string(format.extension) == "csv") {
        x = std::stod(f.Field("x"));
        y = std::stod(f.Field("y"));
      } else {
        ASSERT_TRUE(f.hasPoint);
        x = f.x;
        y = f.y;
      }
      // The library converts what the first file holds: the CSV's six decimals.
      const auto [ex, ey] =
          LibraryConvert(wells[i].lon, wells[i].lat, zrGeoProjection::zrNorthZone, zrGeoUnits::zrUSFt);
      if (format.exact) {
        EXPECT_EQ(x, ex) << i;
        EXPECT_EQ(y, ey) << i;
      } else {
        EXPECT_NEAR(x, ex, 0.0005 + 1e-9) << i;
        EXPECT_NEAR(y, ey, 0.0005 + 1e-9) << i;
      }
    }
  }
}

TEST_F(VectorFiles, LocateAddsTheLibraryLookupToEveryFeature) {
  LANTREL_REQUIRE(LibraryHasData(), "the reference data file");
  const std::string csv = WriteFile("wells_l.csv", WellsCsv());
  const auto wells = Wells();
  for (const auto& format : kFormats) {
    SCOPED_TRACE(format.extension);
    const std::string in = ScratchDir() + "/locate_in." + format.extension;
    ASSERT_EQ(RunTool({"convert", "-f", "geo", "-t", "geo", "-o", in, csv}).status, 0);
    const std::string out = ScratchDir() + "/located." + format.extension;
    const auto r = RunTool({"locate", "--from", "geo", "-o", out, in});
    ASSERT_EQ(r.status, 0) << r.err;
    const Layer layer = ReadBack(out);
    ASSERT_EQ(layer.features.size(), wells.size());
    for (std::size_t i = 0; i < wells.size(); ++i) {
      ZrGeoPosition p = At(wells[i]);
      const Feature& f = layer.features[i];
      EXPECT_EQ(f.Field("API"), wells[i].api);
      // Every area holding the point, in the data file's order, joined by ';'.
      auto joined = [](std::int32_t count, auto get) {
        std::string text;
        for (std::int32_t k = 0; k < count; ++k) text += (k ? ";" : "") + get(k);
        return text;
      };
      EXPECT_EQ(f.Field("state"), joined(p.StateCount(), [&](int k) { return p.StateName(k); })) << i;
      EXPECT_EQ(f.Field("state_fips"),
                joined(p.StateCount(), [&](int k) { return lantrel::StateFipsText(p.StateFIPS(k)); })) << i;
      EXPECT_EQ(f.Field("county"), joined(p.CountyCount(), [&](int k) { return p.CountyName(k); })) << i;
      EXPECT_EQ(f.Field("county_fips"),
                joined(p.CountyCount(), [&](int k) { return lantrel::CountyFipsText(p.CountyFIPS(k)); })) << i;
      EXPECT_EQ(f.Field("geoid"),
                joined(p.CountyCount(), [&](int k) { return lantrel::CountyGeoid(p.CountyFIPS(k)); })) << i;
      EXPECT_EQ(f.Field("sp_zone"), joined(p.CountyCount(), [&](int k) { return p.CountySPZone(k); })) << i;
      EXPECT_EQ(f.Field("quad"), joined(p.QuadCount(), [&](int k) { return p.QuadName(k); })) << i;
      EXPECT_EQ(f.Field("quad_tile"), joined(p.QuadCount(), [&](int k) { return p.QuadTile(k); })) << i;
      EXPECT_EQ(f.Field("quad_state"), joined(p.QuadCount(), [&](int k) { return p.QuadState(k); })) << i;
      p.ConvertTo(zrGeoDatum::zrNAD83, zrGeoProjection::zrCarter, zrGeoUnits::zrDecimalDegrees);
      EXPECT_EQ(f.Field("carter"), p.Carter()->LocationString(false)) << i;
    }
  }
}

TEST_F(VectorFiles, AFailingFeatureKeepsItsAttributesAndOthersAreRefusedByName) {
  const std::string csv =
      WriteFile("bad.csv", "API,Longitude,Latitude\n1,-84.5,37.5\n2,-84.5,95\n3,,37\n");
  const std::string out = ScratchDir() + "/bad.gpkg";
  const auto r = RunTool({"convert", "-f", "geo", "-t", "north", "-o", out, csv});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, csv + ":2: latitude 95 is out of range (-90 to 90)\n" + csv +
                       ":3: missing x value\n");
  const Layer layer = ReadBack(out);
  ASSERT_EQ(layer.features.size(), 3u);
  EXPECT_TRUE(layer.features[0].hasPoint);
  for (int i : {1, 2}) {
    EXPECT_FALSE(layer.features[i].hasPoint);
    EXPECT_EQ(layer.features[i].Field("API"), std::to_string(i + 1));
  }

  const std::string line = WriteFile(
      "line.geojson",
      R"({"type":"FeatureCollection","features":[)"
      R"({"type":"Feature","properties":{"n":1},"geometry":{"type":"Point","coordinates":[-84.5,37.5]}},)"
      R"({"type":"Feature","properties":{"n":2},"geometry":{"type":"LineString","coordinates":[[-84.5,37.5],[-84,38]]}}]})");
  const auto l = RunTool({"convert", "-f", "geo", "-t", "north", "-o", ScratchDir() + "/line.gpkg", line});
  EXPECT_EQ(l.status, 1);
  EXPECT_EQ(l.err, line + ":1: the feature's geometry is a LINESTRING; only points can be converted\n");
}

TEST_F(VectorFiles, UnservedOrMissingSystemsAndFormatsAreUsageErrors) {
  const std::string csv = WriteFile("plain.csv", "x,y\n-84.5,37.5\n");
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"convert", "-t", "north", "-o", ScratchDir() + "/a.gpkg", csv}, "names no coordinate system"},
      {{"convert", "-f", "geo", "-t", "north", "-o", ScratchDir() + "/a.xyz", csv},
       "cannot tell the format"},
      {{"convert", "-f", "geo", "-t", "north", "--format", "kml", "-o", ScratchDir() + "/a", csv},
       "not one of gpkg"},
      {{"convert", "-f", "geo", "-t", "north", "-o", csv, csv}, "is the input file"},
      {{"convert", "-f", "geo", "-t", "north", "-o", ScratchDir() + "/a.gpkg", ScratchDir() + "/none.gpkg"},
       "none.gpkg"},
  };
  for (const auto& c : cases) {
    const auto r = RunTool(c.args);
    EXPECT_EQ(r.status, 2) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

// --dms: the layer's geometry stays numeric and the angles are added as text fields; a
// layer without geometry (CSV) holds only the text.
TEST_F(VectorFiles, DmsAddsTextFieldsBesideTheGeometry) {
  const std::string csv = WriteFile("wells_dms.csv", WellsCsv());
  const auto wells = Wells();
  for (const char* extension : {"gpkg", "fgb", "csv"}) {
    SCOPED_TRACE(extension);
    const std::string out = ScratchDir() + "/dms." + extension;
    const auto r = RunTool({"convert", "-f", "geo", "-t", "geo/nad27", "--dms", "-p", "3",
                            "--x-name", "lon27", "--y-name", "lat27", "-o", out, csv});
    ASSERT_EQ(r.status, 0) << r.err;
    const Layer layer = ReadBack(out);
    ASSERT_EQ(layer.features.size(), wells.size());
    for (std::size_t i = 0; i < wells.size(); ++i) {
      ZrGeoPosition p = At(wells[i]);
      p.ConvertTo(zrGeoDatum::zrNAD27, zrGeoProjection::zrGeographic, zrGeoUnits::zrDecimalDegrees);
      const Feature& f = layer.features[i];
      const double west = -p.x();  // the library holds west longitudes positive
      char lon[lantrel::kMaxDmsChars];
      char lat[lantrel::kMaxDmsChars];
      EXPECT_EQ(f.Field("lon27"), std::string(lon, lantrel::FormatDms(lon, west, true, 3))) << i;
      EXPECT_EQ(f.Field("lat27"), std::string(lat, lantrel::FormatDms(lat, p.y(), false, 3))) << i;
      EXPECT_EQ(f.Field("API"), wells[i].api);
      if (std::string(extension) != "csv") {
        ASSERT_TRUE(f.hasPoint);
        EXPECT_EQ(f.x, west) << i;
        EXPECT_EQ(f.y, p.y()) << i;
      }
    }
  }
}

#endif  // LANTREL_HAVE_GDAL

#ifndef LANTREL_HAVE_GDAL
TEST(VectorFiles, NeedGdal) { GTEST_SKIP() << "the tool was built without GDAL (Debian libgdal-dev)"; }
#endif

// CSV join and factors against the library, without GDAL.
TEST(CsvJoin, LocateAndFactorsColumnsMatchTheLibrary) {
  LANTREL_REQUIRE(LibraryProjects(), "plane projections");
  const auto wells = Wells();
  const auto r = RunTool({"convert", "--csv", "-f", "geo", "-t", "south", "--keep", "--factors"},
                         WellsCsv());
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), wells.size() + 1);
  EXPECT_EQ(lines[0], "API,Operator,Longitude,Latitude,x,y,scale_factor,convergence");
  for (std::size_t i = 0; i < wells.size(); ++i) {
    ZrGeoPosition p;
    p.x(wells[i].lon);
    p.y(wells[i].lat);
    p.ConvertTo(zrGeoDatum::zrNAD83, zrGeoProjection::zrSouthZone, zrGeoUnits::zrUSFt);
    const std::string& line = lines[i + 1];
    // The last two cells: the shortest texts that read back as the library's doubles.
    const auto c2 = line.rfind(',');
    const auto c1 = line.rfind(',', c2 - 1);
    EXPECT_EQ(std::stod(line.substr(c1 + 1, c2 - c1 - 1)), p.ScaleFactor()) << line;
    EXPECT_EQ(std::stod(line.substr(c2 + 1)), p.Convergence()) << line;
  }
}

TEST(CsvJoin, LocateKeepsEveryColumnAndAddsTheFields) {
  LANTREL_REQUIRE(LibraryHasData(), "the reference data file");
  const std::string input = "API,Operator,Longitude,Latitude\n7,\"A, B\",-84.8733,38.2009\n8,x,,1\n";
  const auto r = RunTool({"locate", "--csv"}, input);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "API,Operator,Longitude,Latitude,state,state_fips,county,county_fips,sp_zone,quad,"
            "quad_tile,quad_state,carter,geoid\n"
            "7,\"A, B\",-84.8733,38.2009,Kentucky,21,Franklin,073,North,Frankfort East,38084-B7,KY,"
            "U56-13 328-FSL 1906-FEL,21073\n"
            "8,x,,1,,,,,,,,,,\n");
  EXPECT_EQ(r.err, "3: missing x value\n");
  // A Carter column as the source.
  const auto c = RunTool({"locate", "--carter-col", "loc"}, "id,loc\n1,U56-13 328-FSL 1906-FEL\n");
  EXPECT_EQ(c.status, 0) << c.err;
  EXPECT_EQ(Lines(c.out).at(1),
            "1,U56-13 328-FSL 1906-FEL,Kentucky,21,Franklin,073,North,Frankfort East,38084-B7,KY,"
            "U56-13 328-FSL 1906-FEL,21073");
}

TEST(CliOptions, InverseSwapsTheSystems) {
  LANTREL_REQUIRE(LibraryProjects(), "plane projections");
  const auto there = RunTool({"convert", "-f", "geo", "-t", "north", "-p", "6"}, "-84.8733 38.2009\n");
  const auto back = RunTool({"convert", "-I", "-f", "geo", "-t", "north", "-p", "6"}, there.out);
  EXPECT_EQ(back.status, 0) << back.err;
  EXPECT_EQ(back.out, "-84.873300 38.200900\n");
}

}  // namespace
}  // namespace lantrel::testing

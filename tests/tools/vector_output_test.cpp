// What a vector job may and may not do to files: it adds a layer to an existing GeoPackage,
// replaces nothing it was not told to, writes through no link, fails whole on a damaged
// input or a failed write, and never exits 0 with less than it read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tool_runner.hpp"

#ifdef LANTREL_HAVE_GDAL
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

namespace lantrel::testing {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Points across the served area: id, name, lon, lat.
std::string PointsCsv(int n, const std::string& extra = {}) {
  std::string text = "id,name,lon,lat\n";
  char line[96];
  for (int i = 0; i < n; ++i) {
    std::snprintf(line, sizeof line, "%d,well %d,%.5f,%.5f\n", i + 1, i + 1, -84.9 + 0.001 * i, 37.6 + 0.0005 * i);
    text += line;
  }
  return text + extra;
}

// A fresh folder under the scratch folder.
std::string Folder(const std::string& name) {
  const std::string dir = ScratchDir() + "/" + name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

std::set<std::string> LayerNames(const std::string& path) {
  GDALAllRegister();
  std::set<std::string> names;
  GDALDatasetUniquePtr ds(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR));
  for (int i = 0; ds && i < ds->GetLayerCount(); ++i) names.insert(ds->GetLayer(i)->GetName());
  return names;
}

std::int64_t Count(const std::string& path, const char* layer = nullptr) {
  GDALAllRegister();
  GDALDatasetUniquePtr ds(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR));
  if (!ds) return -1;
  OGRLayer* l = layer ? ds->GetLayerByName(layer) : ds->GetLayer(0);
  return l ? l->GetFeatureCount(TRUE) : -1;
}

// Files the job left in the folder besides the named ones (its private folders included).
std::set<std::string> Entries(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

std::vector<std::string> Convert(std::vector<std::string> extra, const std::string& out, const std::string& in) {
  std::vector<std::string> args{"convert", "-f", "geo", "-t", "north"};
  args.insert(args.end(), extra.begin(), extra.end());
  args.insert(args.end(), {"-o", out, in});
  return args;
}

class VectorOutput : public ::testing::Test {
 protected:
  void SetUp() override { LANTREL_REQUIRE(LibraryProjects(), "plane projections"); }
};

// project.gpkg with the layers wells (30 points) and counties (5).
std::string Project(const std::string& dir) {
  const std::string wells = dir + "/wells.csv";
  const std::string counties = dir + "/counties.csv";
  std::ofstream(wells) << PointsCsv(30);
  std::ofstream(counties) << PointsCsv(5);
  const std::string project = dir + "/project.gpkg";
  EXPECT_EQ(RunTool(Convert({}, project, wells)).status, 0);
  EXPECT_EQ(RunTool(Convert({}, project, counties)).status, 0);
  return project;
}

TEST_F(VectorOutput, AnExistingGeoPackageGainsALayerAndLosesNone) {
  const std::string dir = Folder("gpkg");
  const std::string project = Project(dir);
  ASSERT_EQ(LayerNames(project), (std::set<std::string>{"wells", "counties"}));
  const std::string wells = dir + "/wells.csv";
  const struct {
    std::vector<std::string> options;
    int status;
    std::string err;
    std::set<std::string> layers;
    std::int64_t wells;  // features of the layer wells afterwards
  } cases[] = {
      {{}, 2,
       "lantrel: the output " + project + " already has a layer 'wells'; --overwrite replaces that "
       "layer, --append adds to it, --output-layer NAME writes another\nTry 'lantrel convert --help'.\n",
       {"wells", "counties"}, 30},
      {{"--output-layer", "wells_north"}, 0, "", {"wells", "counties", "wells_north"}, 30},
      {{"--overwrite"}, 0, "", {"wells", "counties", "wells_north"}, 30},
      {{"--append"}, 0, "", {"wells", "counties", "wells_north"}, 60},
      {{"--append", "--overwrite"}, 2,
       "lantrel: --overwrite and --append exclude each other\nTry 'lantrel convert --help'.\n",
       {"wells", "counties", "wells_north"}, 60},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options.empty() ? "no option" : c.options.front());
    const std::string before = Bytes(project);
    const auto r = RunTool(Convert(c.options, project, wells));
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(LayerNames(project), c.layers);
    EXPECT_EQ(Count(project, "wells"), c.wells);
    EXPECT_EQ(Count(project, "counties"), 5);
    if (c.status != 0) {
      EXPECT_EQ(Bytes(project), before);
    }
  }
  EXPECT_EQ(Entries(dir), (std::set<std::string>{"wells.csv", "counties.csv", "project.gpkg"}));
}

TEST_F(VectorOutput, MultiLayerInputNeedsTheLayerNamed) {
  const std::string dir = Folder("multi");
  const std::string project = Project(dir);
  const std::string out = dir + "/out.gpkg";
  const auto all = RunTool(Convert({}, out, project));
  EXPECT_EQ(all.status, 2);
  EXPECT_EQ(all.err, "lantrel: " + project + " holds 2 layers ('wells', 'counties'); choose one with "
                     "-l/--layer NAME\nTry 'lantrel convert --help'.\n");
  const auto none = RunTool(Convert({"-l", "roads"}, out, project));
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.err, "lantrel: " + project + " has no layer 'roads'; its layers: 'wells', 'counties'\n"
                      "Try 'lantrel convert --help'.\n");
  EXPECT_FALSE(fs::exists(out));
  const auto one = RunTool({"convert", "-t", "south", "--layer", "counties", "-o", out, project});
  EXPECT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(LayerNames(out), (std::set<std::string>{"counties"}));
  EXPECT_EQ(Count(out), 5);
}

// Outputs that are not new files the job may write: each refused, with everything as it was.
TEST_F(VectorOutput, RefusesOutputsItMustNotReplace) {
  const std::string dir = Folder("refuse");
  const std::string csv = dir + "/src.csv";
  std::ofstream(csv) << PointsCsv(10);
  const std::string shp = dir + "/src.shp";
  ASSERT_EQ(RunTool(Convert({}, shp, csv)).status, 0);
  const std::string shapes = Folder("refuse/shapes");
  ASSERT_EQ(RunTool(Convert({}, shapes + "/a.shp", csv)).status, 0);
  const std::string json = dir + "/old.geojson";
  std::ofstream(json) << "{}";
  const std::string target = dir + "/target.geojson";
  std::ofstream(target) << "keep";
  fs::create_symlink(target, dir + "/link.geojson");
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {Convert({"--format", "shp"}, shapes, csv),
       "the output " + shapes + " is a folder holding other files; name a file"},
      {Convert({"--format", "csv"}, dir + "/src.dbf", shp), "the output " + dir + "/src.dbf is the input file"},
      {Convert({"--overwrite", "--format", "csv"}, dir + "/src.dbf", shp),
       "the output " + dir + "/src.dbf is the input file"},
      {Convert({"--overwrite"}, dir + "/src.shp", csv + "x"), csv + "x"},
      {Convert({}, json, csv), "the output " + json + " exists; --overwrite replaces it"},
      {Convert({"--overwrite"}, dir + "/link.geojson", csv),
       "the output " + dir + "/link.geojson is a symbolic link; lantrel does not write through one"},
      {Convert({"--overwrite", "--format", "geojson"}, "/dev/null", csv),
       "the output /dev/null is not a regular file (a device, pipe or socket)"},
      {Convert({"--append"}, dir + "/a.geojson", csv),
       "--append names a layer of a GeoPackage; other formats hold one layer per file"},
  };
  const std::set<std::string> entries = Entries(dir);
  const std::string dbf = Bytes(dir + "/src.dbf");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.err);
    const auto r = RunTool(c.args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
  EXPECT_EQ(Entries(dir), entries);
  EXPECT_EQ(Entries(shapes), (std::set<std::string>{"a.shp", "a.shx", "a.dbf", "a.prj", "a.cpg"}));
  EXPECT_EQ(Bytes(dir + "/src.dbf"), dbf);
  EXPECT_EQ(Bytes(target), "keep");
  EXPECT_EQ(Bytes(json), "{}");
  // --overwrite replaces a file of another format, and a shapefile with its sidecars.
  EXPECT_EQ(RunTool(Convert({"--overwrite"}, json, csv)).status, 0);
  EXPECT_EQ(Count(json), 10);
  EXPECT_EQ(RunTool(Convert({"--overwrite"}, shapes + "/a.shp", csv)).status, 0);
  EXPECT_EQ(Count(shapes + "/a.shp"), 10);
}

// A write that fails (the file size limit) fails the job and leaves the old output; so does
// a format that cannot hold every feature.
TEST_F(VectorOutput, AFailedWriteLeavesTheOldOutput) {
  const std::string dir = Folder("fail");
  const std::string csv = dir + "/big.csv";
  std::ofstream(csv) << PointsCsv(2000);
  const std::string bad = dir + "/bad.csv";
  std::ofstream(bad) << PointsCsv(3, "4,lost,,\n");
  const std::string empty = dir + "/empty.csv";
  std::ofstream(empty) << "id,lon,lat\n";
  const struct {
    const char* extension;
    std::string input;
    long long limit;
    std::string err;
  } cases[] = {
      {"geojson", csv, 60000, "cannot write"},
      {"fgb", csv, 60000, "cannot write"},
      {"gpkg", csv, 150000, "cannot write"},
      {"shp", csv, 30000, "cannot write"},
      {"fgb", bad, 0, "FlatGeobuf cannot hold a feature without a point (" + bad + ":4)"},
      {"fgb", empty, 0, "FlatGeobuf cannot hold a layer without features"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.extension) + " " + c.err);
    const std::string out = dir + "/old." + c.extension;
    fs::remove(out);
    RunRequest request{Convert({"--overwrite"}, out, c.input), {}, {}, {}, {}, c.limit};
    if (std::string(c.extension) == "gpkg") {
      // A GeoPackage gains its layer in a copy of the old one.
      ASSERT_EQ(RunTool(Convert({}, out, bad)).status, 1);
      request.args = Convert({"--output-layer", "big"}, out, c.input);
    } else {
      std::ofstream(out) << "old contents";
    }
    const std::set<std::string> entries = Entries(dir);
    const std::string before = Bytes(out);
    const auto r = RunTool(request);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    EXPECT_LT(r.err.size(), 2000u);
    EXPECT_EQ(Bytes(out), before);
    EXPECT_EQ(Entries(dir), entries);
  }
}

// Inputs GDAL reports as damaged fail the job; a damaged copy never converts with loss.
TEST_F(VectorOutput, DamagedInputFailsTheJob) {
  const std::string dir = Folder("damaged");
  const std::string csv = dir + "/wells.csv";
  std::ofstream(csv) << PointsCsv(2000);
  const std::string shp = dir + "/wells.shp";
  ASSERT_EQ(RunTool(Convert({}, shp, csv)).status, 0);
  const std::string dbf = Bytes(dir + "/wells.dbf");
  std::ofstream(dir + "/wells.dbf", std::ios::binary) << dbf.substr(0, dbf.size() * 6 / 10);
  const std::string out = dir + "/out.gpkg";
  const auto r = RunTool({"convert", "-t", "south", "-o", out, shp});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("lantrel: " + shp + ": GDAL reports the input damaged after 1199 features read"),
            std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(out));

  // Flipped bytes through a GeoPackage: each copy converts whole or fails without output.
  const std::string gpkg = dir + "/wells.gpkg";
  ASSERT_EQ(RunTool(Convert({}, gpkg, csv)).status, 0);
  const std::string good = Bytes(gpkg);
  std::mt19937 random(7);
  int failed = 0;
  for (int i = 0; i < 10; ++i) {
    std::string copy = good;
    const std::size_t at = 1024 + random() % (copy.size() - 1024);
    for (std::size_t k = at; k < at + 64 && k < copy.size(); ++k) copy[k] = static_cast<char>(random());
    const std::string damaged = dir + "/damaged.gpkg";
    std::ofstream(damaged, std::ios::binary) << copy;
    fs::remove(out);
    const auto d = RunTool({"convert", "-t", "south", "-o", out, damaged});
    SCOPED_TRACE(std::to_string(at) + ": " + d.err);
    if (d.status == 0) {
      EXPECT_EQ(Count(out), 2000);
    } else {
      ++failed;
      EXPECT_FALSE(fs::exists(out));
    }
  }
  EXPECT_GT(failed, 0);
}

// What a format cannot hold is counted and fails the job; what it can is kept.
TEST_F(VectorOutput, LossIsCountedNeverSilent) {
  const std::string dir = Folder("loss");
  const std::string zm = dir + "/zm.gpkg";
  {
    GDALAllRegister();
    GDALDatasetUniquePtr ds(GetGDALDriverManager()->GetDriverByName("GPKG")->Create(
        zm.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    OGRSpatialReference srs;
    srs.importFromEPSG(4269);
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    OGRLayer* layer = ds->CreateLayer("zm", &srs, wkbPointZM, nullptr);
    for (int i = 0; i < 3; ++i) {
      OGRFeature f(layer->GetLayerDefn());
      OGRPoint p(-84.5 + 0.01 * i, 37.5, 200.0 + i, 7.0 + i);
      f.SetGeometry(&p);
      ASSERT_EQ(layer->CreateFeature(&f), OGRERR_NONE);
    }
  }
  const std::string text = dir + "/long.csv";
  std::ofstream(text) << "id,note,lon,lat\n1," + std::string(300, 'a') + ",-84.5,37.5\n2,short,-84.4,37.5\n";
  const struct {
    std::string in;
    const char* extension;
    int status;
    std::string err;
  } cases[] = {
      {zm, "gpkg", 0, ""},
      {zm, "fgb", 0, ""},
      {zm, "shp", 0, ""},
      {zm, "geojson", 1, "GeoJSON holds no M values: lost the M values of 3 features\n"},
      {zm, "csv", 1, "CSV holds no M values: lost the M values of 3 features\n"},
      {text, "shp", 1, "a Shapefile field holds at most 254 bytes: cut the text of 1 feature\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in + " to " + c.extension);
    const std::string out = dir + "/out." + c.extension;
    const auto r = RunTool({"convert", "-f", "geo", "-t", "north", "--overwrite", "-o", out, c.in});
    EXPECT_EQ(r.status, c.status);
    // GDAL's own warnings may come first.
    const std::string said = c.err.empty() ? "" : "lantrel: " + out + ": " + c.err;
    EXPECT_EQ(r.err.substr(r.err.size() - std::min(r.err.size(), said.size())), said);
    if (c.status == 0) {
      EXPECT_EQ(r.err, "");
    }
    EXPECT_EQ(Count(out), c.in == zm ? 3 : 2);
    if (c.status == 0 && c.in == zm) {
      GDALDatasetUniquePtr ds(GDALDataset::Open(out.c_str(), GDAL_OF_VECTOR));
      OGRFeatureUniquePtr f(ds->GetLayer(0)->GetNextFeature());
      const OGRPoint* p = f->GetGeometryRef()->toPoint();
      EXPECT_EQ(p->getZ(), 200.0);
      EXPECT_EQ(p->getM(), 7.0);
    }
  }
}

// CSV read by the tool's own reader: an open quote costs its record only, and every record
// is one feature, named on failure.
TEST_F(VectorOutput, CsvInputKeepsOneFeaturePerRecord) {
  const std::string dir = Folder("csv");
  const std::string csv = dir + "/quote.csv";
  std::ofstream(csv) << "id,name,lon,lat\n1,\"open,-84.5,37.5\n2,b,-84.4,37.5\n3,c,-84.3,37.5,extra\n"
                        "4,d,-84.2,37.5\n";
  const std::string out = dir + "/quote.gpkg";
  const auto r = RunTool(Convert({}, out, csv));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, csv + ":1: malformed CSV on line 2: a quoted field is not closed by the end of the "
                         "input; reading resumes at line 3\n" +
                       csv + ":3: the record on line 4 has 5 fields, the header 4\n");
  EXPECT_EQ(Count(out), 4);
}

// Tab, semicolon and bar files reach vector output through the same reader and delimiter rule.
TEST_F(VectorOutput, DelimitedInputIsReadLikeCsv) {
  const std::string dir = Folder("delimited");
  struct Case {
    const char* name;
    char delimiter;
    std::vector<std::string> options;
  } cases[] = {{"wells.tsv", '\t', {}},
               {"wells.csv", ';', {}},
               {"wells.txt", '|', {"--delimiter", "|"}},
               {"semicolon.txt", ';', {"--csv"}}};
  for (const auto& c : cases) {
    std::string text = PointsCsv(6);
    std::replace(text.begin(), text.end(), ',', c.delimiter);
    const std::string in = dir + "/" + c.name;
    std::ofstream(in) << text;
    const std::string out = dir + "/" + c.name + ".geojson";
    const auto r = RunTool(Convert(c.options, out, in));
    EXPECT_EQ(r.status, 0) << c.name << ": " << r.err;
    EXPECT_EQ(Count(out), 6) << c.name;
  }
}

// GDAL's messages reach the user as one short escaped line each.
TEST_F(VectorOutput, GdalMessagesAreEscapedAndBounded) {
  const std::string dir = Folder("messages");
  const std::string csv = dir + "/names.csv";
  std::ofstream(csv) << "id,\"bad\x1b[2J\r\n" + std::string(100000, 'n') + "\",lon,lat\n1,a,-84.5,37.5\n";
  const auto r = RunTool(Convert({}, dir + "/names.shp", csv));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("lantrel: warning: GDAL: "), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find('\x1b'), std::string::npos);
  EXPECT_NE(r.err.find("\\x1B[2J\\r"), std::string::npos) << r.err;
  EXPECT_LT(r.err.size(), 2000u);
}

// Any sequence of jobs on one GeoPackage: the layers after are those before and the job's
// layer, or the job failed and the file is as it was, byte for byte.
TEST_F(VectorOutput, GeoPackageWritesKeepEveryLayer) {
  const std::string dir = Folder("property");
  const std::string csv = dir + "/p.csv";
  std::ofstream(csv) << PointsCsv(100);
  const std::string bad = dir + "/bad.csv";
  std::ofstream(bad) << "id,lon,lat\n1,-84.5\n";
  const std::string gpkg = dir + "/p.gpkg";
  std::mt19937 random(2024);
  const char* names[] = {"p", "a", "b", "C", "wells"};
  for (int step = 0; step < 10; ++step) {
    const std::string name = names[random() % 5];
    std::vector<std::string> options{"--output-layer", name};
    const unsigned mode = random() % 4;
    if (mode == 1) options.push_back("--overwrite");
    if (mode == 2) options.push_back("--append");
    RunRequest request{Convert(options, gpkg, random() % 5 == 0 ? bad : csv), {}, {}, {}, {}, 0};
    if (random() % 4 == 0 && fs::exists(gpkg)) request.fileSizeLimit = static_cast<long long>(fs::file_size(gpkg)) + 2000;
    const std::set<std::string> before = LayerNames(gpkg);
    const std::string bytes = Bytes(gpkg);
    const auto r = RunTool(request);
    SCOPED_TRACE(std::to_string(step) + " " + name + " " + std::to_string(mode) + ": " + r.err);
    std::set<std::string> expected = before;
    bool exists = false;
    for (const auto& b : before) exists = exists || (b.size() == name.size() && std::equal(b.begin(), b.end(), name.begin(), [](char x, char y) { return std::tolower(x) == std::tolower(y); }));
    if (!exists) expected.insert(name);
    if (r.status == 0) {
      EXPECT_EQ(LayerNames(gpkg), expected);
    } else if (Bytes(gpkg) != bytes) {
      // Failed features only: the job's layer is written with them.
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.err.find("left as it was"), std::string::npos);
      EXPECT_EQ(LayerNames(gpkg), expected);
    }
    EXPECT_EQ(Entries(dir).size(), fs::exists(gpkg) ? 3u : 2u);
  }
}

}  // namespace
}  // namespace lantrel::testing

#endif  // LANTREL_HAVE_GDAL

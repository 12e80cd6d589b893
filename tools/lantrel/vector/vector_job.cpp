#include "vector_job.hpp"

#include "options.hpp"

#ifndef LANTREL_HAVE_GDAL

namespace lantrel::cli {

int RunVectorJob(const VectorSettings&, const std::function<bool(ZrGeoPosition&)>&) {
  throw UsageError("this lantrel was built without GDAL and cannot read or write vector files");
}

}  // namespace lantrel::cli

#else

#include <cpl_conv.h>
#include <cpl_error.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "dms.hpp"
#include "io.hpp"
#include "location_fields.hpp"
#include "numbers.hpp"
#include "point_converter.hpp"
#include "point_factors.hpp"

namespace lantrel::cli {

namespace {

// GDAL's warnings are passed on; its failures are kept as the last error and reported by the
// step that failed.
void CPL_STDCALL GdalMessage(CPLErr level, CPLErrorNum, const char* message) {
  if (level == CE_Warning) ErrorLine(std::string("lantrel: warning: ") + message + "\n");
}

class GdalSession {
 public:
  GdalSession() {
    GDALAllRegister();
    CPLPushErrorHandler(GdalMessage);
  }
  ~GdalSession() { CPLPopErrorHandler(); }
  GdalSession(const GdalSession&) = delete;
  GdalSession& operator=(const GdalSession&) = delete;
};

std::string LastGdalError() {
  const char* m = CPLGetLastErrorMsg();
  return (m != nullptr && *m != 0) ? std::string(m) : std::string("GDAL gave no reason");
}

double MetresPerUnit(zrGeoUnits u) {
  switch (u) {
    case zrGeoUnits::zrUSFt: return 1200.0 / 3937.0;
    case zrGeoUnits::zrIntlFt: return 0.3048;
    case zrGeoUnits::zrMiles: return 5280.0 * 1200.0 / 3937.0;
    case zrGeoUnits::zrKilometers: return 1000.0;
    default: return 1.0;
  }
}

const char* UnitName(zrGeoUnits u) {
  switch (u) {
    case zrGeoUnits::zrUSFt: return "US survey foot";
    case zrGeoUnits::zrIntlFt: return "foot";
    case zrGeoUnits::zrMiles: return "US survey mile";
    case zrGeoUnits::zrKilometers: return "kilometre";
    default: return "metre";
  }
}

// The system a layer's geometry is written in: a Carter location is drawn at its longitude
// and latitude.
System GeometrySystem(System s) {
  if (s.IsCarter()) {
    s.projection = zrGeoProjection::zrGeographic;
    s.units = zrGeoUnits::zrDecimalDegrees;
  }
  return s;
}

// The coordinate system of a layer in the given system: its EPSG definition, or that of the
// same zone in other units rescaled; nullptr when EPSG has the zone in no unit.
std::unique_ptr<OGRSpatialReference> SpatialReference(const System& system) {
  const System s = GeometrySystem(system);
  auto srs = std::make_unique<OGRSpatialReference>();
  const std::int32_t code = EpsgOf(s);
  if (code != 0) {
    if (srs->importFromEPSG(code) != OGRERR_NONE) return nullptr;
  } else {
    const EpsgEntry* twin = nullptr;
    for (const auto& e : EpsgTable()) {
      if (e.projection == s.projection && e.datum == s.datum) twin = &e;
    }
    if (twin == nullptr || srs->importFromEPSG(twin->code) != OGRERR_NONE) return nullptr;
    srs->SetLinearUnitsAndUpdateParameters(UnitName(s.units), MetresPerUnit(s.units));
    const std::string name = Canonical(s);
    srs->SetProjCS(name.c_str());
  }
  srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return srs;
}

std::optional<std::int32_t> AuthorityCode(const OGRSpatialReference& srs) {
  const char* name = srs.GetAuthorityName(nullptr);
  const char* code = srs.GetAuthorityCode(nullptr);
  if (name == nullptr || code == nullptr || !EqualsIgnoreCase(name, "EPSG")) return std::nullopt;
  return static_cast<std::int32_t>(std::atol(code));
}

// The EPSG code of a layer's coordinate system: as recorded, or the registry's best match for
// a definition written without one (a shapefile's .prj).
std::optional<std::int32_t> EpsgCode(const OGRSpatialReference& srs) {
  if (const auto code = AuthorityCode(srs)) return code;
  int count = 0;
  int* confidence = nullptr;
  OGRSpatialReferenceH* matches = srs.FindMatches(nullptr, &count, &confidence);
  std::optional<std::int32_t> found;
  if (matches != nullptr && count > 0 && confidence[0] >= 90) {
    found = AuthorityCode(*OGRSpatialReference::FromHandle(matches[0]));
  }
  OSRFreeSRSArray(matches);
  CPLFree(confidence);
  return found;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// One field of the output layer and where its value comes from.
struct OutField {
  enum Kind { Copy, X, Y, CarterText, Location, Factor } kind;
  int source = -1;        // Copy: the input field
  std::size_t item = 0;   // Location, Factor: which one
};

class VectorJob {
 public:
  VectorJob(const VectorSettings& s, const std::function<bool(ZrGeoPosition&)>& prepare)
      : s_(s), prepare_(prepare) {}
  int Run();

 private:
  void OpenInput();
  void ResolveSystem();
  void PlanFields();
  void CreateOutput();
  bool PlaceFeature(OGRFeature& in, std::string& error, std::optional<OGRPoint>& where);
  void WriteFeature(OGRFeature& in);
  std::string FeatureName(const OGRFeature& f) const {
    return s_.input + ":" + std::to_string(f.GetFID());
  }
  std::string AddedName(OutField::Kind kind) const;

  const VectorSettings& s_;
  const std::function<bool(ZrGeoPosition&)>& prepare_;
  GdalSession session_;
  GDALDatasetUniquePtr in_;
  OGRLayer* inLayer_ = nullptr;
  GDALDatasetUniquePtr out_;
  OGRLayer* outLayer_ = nullptr;
  VectorFormat outFormat_ = VectorFormat::GeoPackage;
  System from_;
  System geometrySystem_;  // the output geometry's system
  bool fieldsSourced_ = false;
  bool threeD_ = false;
  CoordinateColumns columns_;
  std::vector<OutField> fields_;
  std::optional<PointConverter> converter_;
  std::uint64_t failures_ = 0;
  std::uint64_t written_ = 0;
  bool stopped_ = false;
};

void VectorJob::OpenInput() {
  // CSV columns are read as text (GDAL's default), so coordinates held in them are parsed by
  // the tool's own number rules.
  in_.reset(GDALDataset::Open(s_.input.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr,
                              nullptr, nullptr));
  if (!in_) throw IoError("cannot open " + s_.input + " as a vector file: " + LastGdalError());
  if (in_->GetLayerCount() < 1) throw IoError(s_.input + " holds no layer");
  inLayer_ = in_->GetLayer(0);
  if (in_->GetLayerCount() > 1) {
    ErrorLine("lantrel: warning: " + s_.input + " holds " + std::to_string(in_->GetLayerCount()) +
              " layers; reading the first, " + inLayer_->GetName() + "\n");
  }
  threeD_ = OGR_GT_HasZ(inLayer_->GetGeomType()) != 0;
}

void VectorJob::ResolveSystem() {
  const OGRSpatialReference* srs = inLayer_->GetSpatialRef();
  const bool geometry = inLayer_->GetGeomType() != wkbNone;
  fieldsSourced_ = s_.columns.x || s_.columns.y || !geometry || (s_.from && s_.from->IsCarter());
  std::optional<System> layerSystem;
  std::string unserved;
  if (srs != nullptr && !fieldsSourced_) {
    const auto code = EpsgCode(*srs);
    const char* name = srs->GetName();
    const std::string shown = std::string(name ? name : "unnamed") +
                              (code ? ", EPSG:" + std::to_string(*code) : std::string());
    if (code) {
      const auto parsed = ParseSystem("EPSG:" + std::to_string(*code));
      if (parsed.system) layerSystem = parsed.system;
    }
    if (!layerSystem) unserved = shown;
  }
  if (s_.from) {
    from_ = *s_.from;
    if (layerSystem && !(*layerSystem == from_)) {
      ErrorLine("lantrel: warning: " + s_.input + ": --from " + Canonical(from_) +
                " overrides the layer's coordinate system " + Describe(*layerSystem) + "\n");
    }
  } else if (layerSystem) {
    from_ = *layerSystem;
  } else if (!unserved.empty()) {
    throw UsageError(s_.input + ": the layer's coordinate system (" + unserved +
                     ") is not one lantrel serves; name the points' system with --from");
  } else if (s_.haveFallback) {
    from_ = s_.fallbackFrom;
  } else {
    throw UsageError(s_.input + ": the layer names no coordinate system; give it with --from");
  }
  if (from_.IsCarter()) fieldsSourced_ = true;
  if (fieldsSourced_) {
    std::vector<std::string> names;
    const OGRFeatureDefn* defn = inLayer_->GetLayerDefn();
    for (int i = 0; i < defn->GetFieldCount(); ++i) names.emplace_back(defn->GetFieldDefn(i)->GetNameRef());
    ColumnRequest request = s_.columns;
    request.carter = from_.IsCarter();
    std::string error;
    const auto found = FindCoordinateColumns(names, request, error);
    if (!found) throw UsageError(s_.input + ": " + error);
    columns_ = *found;
  }
  geometrySystem_ = GeometrySystem(s_.locate ? from_ : s_.to);
  converter_.emplace(from_, s_.locate ? geometrySystem_ : s_.to, s_.westPositive, s_.zgs);
}

std::string VectorJob::AddedName(OutField::Kind kind) const {
  const System& target = s_.to;
  if (kind == OutField::CarterText) return s_.xName.value_or("carter");
  if (kind == OutField::X) return s_.xName.value_or(target.Angular() ? "lon" : "x");
  return s_.yName.value_or(target.Angular() ? "lat" : "y");
}

void VectorJob::PlanFields() {
  const OGRFeatureDefn* defn = inLayer_->GetLayerDefn();
  const int count = defn->GetFieldCount();
  std::vector<OutField> added;
  const bool outGeometry = HasGeometry(outFormat_);
  if (!s_.locate) {
    if (s_.to.IsCarter()) {
      added.push_back({OutField::CarterText});
    } else if (fieldsSourced_ || !outGeometry || s_.dms) {
      // Coordinates held in fields, a format without geometry, or degrees, minutes and
      // seconds, which only text fields can hold.
      added.push_back({OutField::X});
      added.push_back({OutField::Y});
    }
  }
  std::vector<OutField> trailing;
  if (s_.locate) {
    for (std::size_t i = 0; i < kLocationFieldNames.size(); ++i) trailing.push_back({OutField::Location, -1, i});
  }
  if (s_.factors) {
    for (std::size_t i = 0; i < kFactorFieldNames.size(); ++i) trailing.push_back({OutField::Factor, -1, i});
  }
  auto addedName = [&](const OutField& f) -> std::string {
    if (f.kind == OutField::Location) return std::string(kLocationFieldNames[f.item]);
    if (f.kind == OutField::Factor) return std::string(kFactorFieldNames[f.item]);
    return AddedName(f.kind);
  };
  auto clashes = [&](const std::string& name) {
    for (const auto& f : added) if (EqualsIgnoreCase(addedName(f), name)) return true;
    for (const auto& f : trailing) if (EqualsIgnoreCase(addedName(f), name)) return true;
    return false;
  };
  const bool replaceColumns = !s_.locate && fieldsSourced_ && !s_.keep;
  const int xField = fieldsSourced_ ? static_cast<int>(columns_.x) : -1;
  const int yField = fieldsSourced_ && columns_.y ? static_cast<int>(*columns_.y) : -1;
  const int lastCoordinate = std::max(xField, yField);
  bool placed = added.empty();
  for (int i = 0; i < count; ++i) {
    const std::string name = defn->GetFieldDefn(i)->GetNameRef();
    const bool coordinate = i == xField || i == yField;
    if (replaceColumns && coordinate) {
      if (i == xField && !placed) {
        fields_.insert(fields_.end(), added.begin(), added.end());
        placed = true;
      }
      continue;
    }
    if (clashes(name)) {
      if (coordinate) {
        throw UsageError(s_.input + ": the new field '" + name +
                         "' would have the name of a kept coordinate field; choose other "
                         "names with --x-name and --y-name");
      }
      ErrorLine("lantrel: warning: " + s_.input + ": field '" + name +
                "' is replaced by the one lantrel writes\n");
      continue;
    }
    fields_.push_back({OutField::Copy, i});
    if (!placed && fieldsSourced_ && i == lastCoordinate) {
      fields_.insert(fields_.end(), added.begin(), added.end());
      placed = true;
    }
  }
  if (!placed) fields_.insert(fields_.end(), added.begin(), added.end());
  fields_.insert(fields_.end(), trailing.begin(), trailing.end());
  // Added field names must differ from each other too (--x-name equal to --y-name).
  for (std::size_t a = 0; a < fields_.size(); ++a) {
    if (fields_[a].kind == OutField::Copy) continue;
    for (std::size_t b = a + 1; b < fields_.size(); ++b) {
      if (fields_[b].kind != OutField::Copy && EqualsIgnoreCase(addedName(fields_[a]), addedName(fields_[b]))) {
        throw UsageError("two new fields would be called '" + addedName(fields_[a]) + "'");
      }
    }
  }
}

void VectorJob::CreateOutput() {
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(DriverName(outFormat_));
  if (driver == nullptr) throw IoError(std::string("GDAL has no ") + DriverName(outFormat_) + " driver");
  std::error_code ec;
  if (std::filesystem::exists(s_.output, ec)) {
    if (std::filesystem::equivalent(s_.output, s_.input, ec)) {
      throw UsageError("the output " + s_.output + " is the input file");
    }
    if (driver->Delete(s_.output.c_str()) != CE_None) std::filesystem::remove(s_.output, ec);
  }
  out_.reset(driver->Create(s_.output.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
  if (!out_) throw IoError("cannot create " + s_.output + ": " + LastGdalError());

  const bool geometry = HasGeometry(outFormat_);
  std::unique_ptr<OGRSpatialReference> srs;
  if (geometry) {
    srs = SpatialReference(geometrySystem_);
    if (!srs) {
      ErrorLine("lantrel: warning: EPSG defines no coordinate system for " +
                Canonical(geometrySystem_) + "; " + s_.output + " is written without one\n");
    }
  }
  std::vector<std::string> optionText;
  const std::string precision = "COORDINATE_PRECISION=" + std::to_string(s_.precision);
  switch (outFormat_) {
    case VectorFormat::GeoJson:
      // RFC 7946 files hold NAD 83 longitudes and latitudes only; other systems are written
      // with a crs member, which GDAL and most GIS programs read.
      if (geometrySystem_.Angular() && geometrySystem_.datum == zrGeoDatum::zrNAD83) {
        optionText.push_back("RFC7946=YES");
        // Declared as longitude/latitude on WGS 84, as the format requires, so GDAL writes the
        // coordinates as they are instead of transforming them.
        srs = std::make_unique<OGRSpatialReference>();
        srs->SetWellKnownGeogCS("CRS84");
        srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
      }
      optionText.push_back(precision);
      break;
    case VectorFormat::Shapefile: optionText.push_back("ENCODING=UTF-8"); break;
    case VectorFormat::FlatGeobuf: optionText.push_back("SPATIAL_INDEX=NO"); break;  // keeps the order
    case VectorFormat::Csv: optionText.push_back("STRING_QUOTING=IF_NEEDED"); break;
    case VectorFormat::GeoPackage: break;
  }
  std::vector<const char*> options;
  for (const auto& o : optionText) options.push_back(o.c_str());
  options.push_back(nullptr);
  const std::string stem = std::filesystem::path(s_.output).stem().string();
  const OGRwkbGeometryType type = !geometry ? wkbNone : threeD_ ? wkbPoint25D : wkbPoint;
  outLayer_ = out_->CreateLayer(stem.c_str(), srs.get(), type, const_cast<char**>(options.data()));
  if (outLayer_ == nullptr) throw IoError("cannot create a layer in " + s_.output + ": " + LastGdalError());

  const OGRFeatureDefn* inDefn = inLayer_->GetLayerDefn();
  const bool textCoordinates = outFormat_ == VectorFormat::Csv;
  for (const auto& f : fields_) {
    bool ok = true;
    if (f.kind == OutField::Copy) {
      OGRFieldDefn copy(inDefn->GetFieldDefn(f.source));
      ok = outLayer_->CreateField(&copy, TRUE) == OGRERR_NONE;
    } else {
      std::string name;
      OGRFieldType type = OFTString;
      if (f.kind == OutField::Location) {
        name = kLocationFieldNames[f.item];
      } else if (f.kind == OutField::Factor) {
        name = kFactorFieldNames[f.item];
        type = OFTReal;
      } else {
        name = AddedName(f.kind);
        if (f.kind != OutField::CarterText && !textCoordinates && !s_.dms) type = OFTReal;
      }
      OGRFieldDefn defn(name.c_str(), type);
      ok = outLayer_->CreateField(&defn, TRUE) == OGRERR_NONE;
    }
    if (!ok) throw IoError("cannot add a field to " + s_.output + ": " + LastGdalError());
  }
}

// Reads the feature's point into the position. where receives the point to draw for it (its
// geometry, or the coordinates read from its fields).
bool VectorJob::PlaceFeature(OGRFeature& in, std::string& error, std::optional<OGRPoint>& where) {
  PointConverter& c = *converter_;
  if (fieldsSourced_) {
    const int xf = static_cast<int>(columns_.x);
    if (from_.IsCarter()) {
      if (!in.IsFieldSetAndNotNull(xf)) {
        error = "missing Carter location";
        return false;
      }
      if (!c.PlaceLocation(in.GetFieldAsString(xf))) {
        error = c.error();
        return false;
      }
      return true;
    }
    const int yf = static_cast<int>(*columns_.y);
    auto numeric = [&](int f) {
      const OGRFieldType t = in.GetFieldDefnRef(f)->GetType();
      return t == OFTReal || t == OFTInteger || t == OFTInteger64;
    };
    bool ok;
    double x = 0.0;
    double y = 0.0;
    if (numeric(xf) && numeric(yf) && in.IsFieldSetAndNotNull(xf) && in.IsFieldSetAndNotNull(yf)) {
      x = in.GetFieldAsDouble(xf);
      y = in.GetFieldAsDouble(yf);
      ok = c.PlacePair(x, y);
    } else {
      const std::string xs = in.IsFieldSetAndNotNull(xf) ? in.GetFieldAsString(xf) : "";
      const std::string ys = in.IsFieldSetAndNotNull(yf) ? in.GetFieldAsString(yf) : "";
      ok = c.PlaceValues(xs, ys);
      if (ok) {
        x = *ParseNumber(Trim(xs));
        y = *ParseNumber(Trim(ys));
      }
    }
    if (!ok) {
      error = c.error();
      return false;
    }
    if (from_.Angular()) x = s_.westPositive ? std::fabs(x) : -std::fabs(x);
    where.emplace(x, y);
    return true;
  }
  const OGRGeometry* g = in.GetGeometryRef();
  if (g == nullptr) {
    error = "the feature has no geometry";
    return false;
  }
  if (wkbFlatten(g->getGeometryType()) != wkbPoint) {
    error = std::string("the feature's geometry is a ") + g->getGeometryName() +
            "; only points can be converted";
    return false;
  }
  const auto* p = g->toPoint();
  if (p->IsEmpty()) {
    error = "the feature's point is empty";
    return false;
  }
  where = *p;
  if (!c.PlacePair(p->getX(), p->getY())) {
    error = c.error();
    return false;
  }
  return true;
}

void VectorJob::WriteFeature(OGRFeature& in) {
  OGRFeature out(outLayer_->GetLayerDefn());
  std::string error;
  std::optional<OGRPoint> where;
  ConvertedPoint pt;
  std::optional<LocationFields> location;
  std::optional<PointFactors> factors;
  bool ok = PlaceFeature(in, error, where);
  try {
    if (ok && s_.locate) {
      if (s_.factors) factors = ReadFactors(converter_->position());
      location = LocatePoint(converter_->position(), s_.zgs);
      if (from_.IsCarter()) {
        // The location's longitude and latitude are what the layer draws.
        ok = converter_->Convert(pt);
        if (ok) where.emplace(pt.x, pt.y);
        else error = converter_->error();
      }
    } else if (ok) {
      ok = converter_->Convert(pt);
      if (!ok) error = converter_->error();
      else if (s_.factors) factors = ReadFactors(converter_->position());
    }
  } catch (const Error& e) {
    ok = false;
    error = DescribeLibraryError(e);
  }
  if (!ok) {
    ++failures_;
    ErrorLine(FeatureName(in) + ": " + error + "\n");
    if (s_.strict) stopped_ = true;
  }
  static_assert(kMaxFixedChars >= kMaxDmsChars);
  char text[kMaxFixedChars];
  auto coordinate = [&](int at, double v, bool longitude) {
    if (s_.dms) {
      // The hemisphere letter gives the sign, whatever the west convention of the numbers.
      if (longitude && s_.westPositive) v = -v;
      out.SetField(at, std::string(text, FormatDms(text, v, longitude, s_.precision)).c_str());
    } else if (outFormat_ == VectorFormat::Csv) {
      out.SetField(at, std::string(text, FormatFixed(text, v, s_.precision)).c_str());
    } else {
      out.SetField(at, v);
    }
  };
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const int at = static_cast<int>(i);
    const OutField& f = fields_[i];
    switch (f.kind) {
      case OutField::Copy:
        if (in.IsFieldSetAndNotNull(f.source)) out.SetField(at, in.GetRawFieldRef(f.source));
        else if (in.IsFieldNull(f.source)) out.SetFieldNull(at);
        break;
      case OutField::X:
        if (ok) coordinate(at, pt.x, true);
        break;
      case OutField::Y:
        if (ok) coordinate(at, pt.y, false);
        break;
      case OutField::CarterText:
        if (ok) out.SetField(at, pt.location.c_str());
        break;
      case OutField::Location:
        if (location) out.SetField(at, location->Text(f.item).c_str());
        break;
      case OutField::Factor:
        if (factors) out.SetField(at, f.item == 0 ? factors->scaleFactor : factors->convergence);
        break;
    }
  }
  if (HasGeometry(outFormat_)) {
    OGRPoint point;  // empty unless the feature has a point to draw
    if (s_.locate) {
      if (where) point = *where;
    } else if (ok) {
      point.setX(pt.x);
      point.setY(pt.y);
      if (threeD_ && where && where->Is3D()) point.setZ(where->getZ());
    }
    if (threeD_ && !point.IsEmpty() && !point.Is3D()) point.setZ(0.0);
    out.SetGeometry(&point);
  }
  if (outLayer_->CreateFeature(&out) != OGRERR_NONE) {
    throw IoError("cannot write feature " + std::to_string(in.GetFID()) + " to " + s_.output +
                  ": " + LastGdalError());
  }
  ++written_;
}

int VectorJob::Run() {
  if (s_.format) {
    outFormat_ = *s_.format;
  } else if (const auto f = FormatFromPath(s_.output)) {
    outFormat_ = *f;
  } else {
    throw UsageError("cannot tell the format of " + s_.output +
                     " from its name; give --format gpkg, shp, geojson, fgb or csv");
  }
  // An input that cannot be opened is a wrong command line, as for line input.
  if (!CheckInputs({s_.input})) return 2;
  OpenInput();
  ResolveSystem();
  PlanFields();
  if (!prepare_(converter_->position())) return 1;
  if (s_.verbose) {
    ErrorLine("lantrel: " + s_.input + ": layer " + inLayer_->GetName() + ", " +
              (fieldsSourced_ ? "coordinates from its fields" : "point geometry") + "\n");
    ErrorLine("lantrel: from " + Describe(from_) + "\n");
    if (!s_.locate) ErrorLine("lantrel: to   " + Describe(s_.to) + "\n");
  }
  CreateOutput();
  const bool transaction = out_->StartTransaction() == OGRERR_NONE;
  inLayer_->ResetReading();
  while (!stopped_) {
    OGRFeatureUniquePtr feature(inLayer_->GetNextFeature());
    if (!feature) break;
    WriteFeature(*feature);
  }
  if (transaction && out_->CommitTransaction() != OGRERR_NONE) {
    throw IoError("cannot write " + s_.output + ": " + LastGdalError());
  }
  outLayer_ = nullptr;
  // Closing writes what the driver still holds; a failure there is a failed job.
  CPLErrorReset();
  out_.reset();
  if (CPLGetLastErrorType() == CE_Failure) throw IoError("cannot write " + s_.output + ": " + LastGdalError());
  if (s_.verbose) {
    ErrorLine("lantrel: " + s_.output + ": " + std::to_string(written_) + " features written, " +
              std::to_string(failures_) + " failed\n");
  }
  return failures_ > 0 ? 1 : 0;
}

}  // namespace

int RunVectorJob(const VectorSettings& settings,
                 const std::function<bool(ZrGeoPosition&)>& prepare) {
  VectorJob job(settings, prepare);
  return job.Run();
}

}  // namespace lantrel::cli

#endif

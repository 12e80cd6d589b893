#include "vector_job.hpp"

#include "command_line.hpp"

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

#include <csignal>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "feature_records.hpp"
#include "gdal_messages.hpp"
#include "input_layer.hpp"
#include "io.hpp"
#include "lantrel/angle_text.hpp"
#include "lantrel/location_fields.hpp"
#include "lantrel/number_text.hpp"
#include "lantrel/quoted_text.hpp"
#include "point_converter.hpp"
#include "point_factors.hpp"
#include "staged_output.hpp"

namespace lantrel::cli {

namespace {

// Longest text a Shapefile field holds, in bytes.
constexpr std::size_t kShapefileText = 254;
// Features a message names before it only counts.
constexpr std::size_t kNamedFeatures = 5;

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
  void OpenOutput();
  void CheckAppend();
  void Finish();
  int Report();
  void ResolveSystem();
  void PlanFields();
  void CreateOutput();
  void WriteFeature(OGRFeature& in, const std::string& failure);
  std::string FeatureName(const OGRFeature& f) const {
    return s_.input + ":" + std::to_string(f.GetFID());
  }
  std::string AddedName(OutField::Kind kind) const;

  const VectorSettings& s_;
  const std::function<bool(ZrGeoPosition&)>& prepare_;
  GdalSession session_;
  std::optional<FeatureRecords> records_;
  InputLayer* input_ = nullptr;
  std::unique_ptr<StagedOutput> staged_;
  GDALDatasetUniquePtr out_;
  OGRLayer* outLayer_ = nullptr;
  std::string outLayerName_;
  std::vector<int> outIndex_;  // where each of fields_ is in the output layer
  std::int64_t before_ = 0;    // features the appended layer held
  VectorFormat outFormat_ = VectorFormat::GeoPackage;
  System from_;
  System geometrySystem_;  // the output geometry's system
  std::vector<OutField> fields_;
  std::optional<PointConverter> converter_;
  std::uint64_t failures_ = 0;
  std::uint64_t written_ = 0;
  std::uint64_t read_ = 0;
  bool stopped_ = false;
  // What the output format cannot hold: features whose M, Z or long text is lost, and
  // features without a point where the format needs one.
  std::uint64_t lostM_ = 0;
  std::uint64_t lostZ_ = 0;
  std::uint64_t cutText_ = 0;
  std::vector<std::string> pointless_;
  std::uint64_t pointlessCount_ = 0;
};

void VectorJob::ResolveSystem() {
  FeatureInput input;
  input.path = s_.input;
  input.layer = s_.layer;
  input.csv = s_.csvInput;
  input.delimiter = s_.delimiter;
  input.from = s_.from;
  if (s_.haveFallback) input.fallback = s_.fallbackFrom;
  input.columns = s_.columns;
  records_.emplace(input);
  input_ = &records_->layer();
  from_ = records_->system();
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
  const OGRFeatureDefn* defn = input_->defn();
  const int count = defn->GetFieldCount();
  std::vector<OutField> added;
  const bool outGeometry = HasGeometry(outFormat_);
  if (!s_.locate) {
    if (s_.to.IsCarter()) {
      added.push_back({OutField::CarterText});
    } else if (records_->fieldsSourced() || !outGeometry || s_.dms) {
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
  const bool replaceColumns = !s_.locate && records_->fieldsSourced() && !s_.keep;
  const int xField = records_->fieldsSourced() ? static_cast<int>(records_->columns().x) : -1;
  const int yField =
      records_->fieldsSourced() && records_->columns().y ? static_cast<int>(*records_->columns().y) : -1;
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
        throw UsageError(s_.input + ": the new field " + Excerpt(name) +
                         " would have the name of a kept coordinate field; choose other "
                         "names with --x-name and --y-name");
      }
      ErrorLine("lantrel: warning: " + s_.input + ": field " + Excerpt(name) +
                " is replaced by the one lantrel writes\n");
      continue;
    }
    fields_.push_back({OutField::Copy, i});
    if (!placed && records_->fieldsSourced() && i == lastCoordinate) {
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

// The output file in the private folder: a new dataset, or the copy of an existing
// GeoPackage, opened for update, whose layer of the same name is kept, replaced or added to.
void VectorJob::OpenOutput() {
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(DriverName(outFormat_));
  if (driver == nullptr) throw IoError(std::string("GDAL has no ") + DriverName(outFormat_) + " driver");
  staged_ = std::make_unique<StagedOutput>(s_.output, outFormat_, input_->files(), s_.overwrite);
  const std::string& path = staged_->path();
  outLayerName_ = s_.outputLayer.value_or(outFormat_ == VectorFormat::GeoPackage
                                              ? input_->name()
                                              : std::filesystem::path(s_.output).stem().string());
  if (!staged_->updatesGeoPackage()) {
    out_.reset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    if (!out_) throw IoError("cannot create " + s_.output + ": " + LastGdalError());
    return;
  }
  const char* const drivers[] = {"GPKG", nullptr};
  out_.reset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_UPDATE, drivers, nullptr, nullptr));
  if (!out_) {
    throw UsageError("the output " + s_.output + " exists and is not a GeoPackage lantrel can add a "
                     "layer to (" + LastGdalError() + "); it is left as it is");
  }
  for (int i = 0; i < out_->GetLayerCount(); ++i) {
    // GeoPackage table names ignore case.
    if (!EqualsIgnoreCase(out_->GetLayer(i)->GetName(), outLayerName_)) continue;
    if (s_.append) {
      outLayer_ = out_->GetLayer(i);
      before_ = outLayer_->GetFeatureCount(TRUE);
    } else if (s_.overwrite) {
      if (out_->DeleteLayer(i) != OGRERR_NONE) {
        throw IoError("cannot replace the layer " + Excerpt(outLayerName_) + " of " + s_.output + ": " +
                      LastGdalError());
      }
    } else {
      throw UsageError("the output " + s_.output + " already has a layer " + Excerpt(outLayerName_) +
                       "; --overwrite replaces that layer, --append adds to it, --output-layer "
                       "NAME writes another");
    }
    break;
  }
}

// The appended layer must have every field the job writes, and points in the same system.
void VectorJob::CheckAppend() {
  const OGRFeatureDefn* defn = outLayer_->GetLayerDefn();
  std::string missing;
  outIndex_.clear();
  for (const auto& f : fields_) {
    const std::string name = f.kind == OutField::Copy
                                 ? std::string(input_->defn()->GetFieldDefn(f.source)->GetNameRef())
                                 : f.kind == OutField::Location ? std::string(kLocationFieldNames[f.item])
                                 : f.kind == OutField::Factor   ? std::string(kFactorFieldNames[f.item])
                                                                : AddedName(f.kind);
    const int at = defn->GetFieldIndex(name.c_str());
    if (at < 0) missing += (missing.empty() ? "" : ", ") + Excerpt(name);
    outIndex_.push_back(at);
  }
  if (!missing.empty()) {
    throw UsageError("--append: the layer " + Excerpt(outLayerName_) + " of " + s_.output +
                     " has no field " + missing);
  }
  const OGRSpatialReference* has = outLayer_->GetSpatialRef();
  const auto want = SpatialReference(geometrySystem_);
  const bool same = (has == nullptr && want == nullptr) ||
                    (has != nullptr && want != nullptr && has->IsSame(want.get()) != 0);
  if (!same || wkbFlatten(outLayer_->GetGeomType()) != wkbPoint) {
    throw UsageError("--append: the layer " + Excerpt(outLayerName_) + " of " + s_.output +
                     " does not hold points in " + Canonical(geometrySystem_));
  }
}

void VectorJob::CreateOutput() {
  OpenOutput();
  if (outLayer_ != nullptr) {
    CheckAppend();
    return;
  }

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
  // GeoJSON holds no M values; the others with geometry hold Z and M.
  const bool keepM = records_->measured() && outFormat_ != VectorFormat::GeoJson;
  const OGRwkbGeometryType type = !geometry ? wkbNone : OGR_GT_SetModifier(wkbPoint, records_->threeD(), keepM);
  outLayer_ = out_->CreateLayer(outLayerName_.c_str(), srs.get(), type, const_cast<char**>(options.data()));
  if (outLayer_ == nullptr) throw IoError("cannot create a layer in " + s_.output + ": " + LastGdalError());

  const OGRFeatureDefn* inDefn = input_->defn();
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
    outIndex_.push_back(static_cast<int>(outIndex_.size()));
  }
}

void VectorJob::WriteFeature(OGRFeature& in, const std::string& failure) {
  OGRFeature out(outLayer_->GetLayerDefn());
  std::string error = failure;
  std::optional<OGRPoint> where;
  ConvertedPoint pt;
  std::optional<LocationFields> location;
  std::optional<PointFactors> factors;
  bool ok = failure.empty() && records_->Place(in, *converter_, s_.westPositive, error, where);
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
    const int at = outIndex_[i];
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
  const bool hasZ = where && where->Is3D();
  const bool hasM = where && where->IsMeasured();
  if (HasGeometry(outFormat_)) {
    OGRPoint point;  // empty unless the feature has a point to draw
    if (s_.locate) {
      if (where) point = *where;
    } else if (ok) {
      point.setX(pt.x);
      point.setY(pt.y);
      if (records_->threeD() && hasZ) point.setZ(where->getZ());
      if (hasM) point.setM(where->getM());
    }
    if (hasZ && !records_->threeD()) ++lostZ_;
    if (records_->threeD() && !point.IsEmpty() && !point.Is3D()) point.setZ(0.0);
    if (point.IsMeasured() && (!records_->measured() || outFormat_ == VectorFormat::GeoJson)) {
      point.setMeasured(FALSE);
      ++lostM_;
    }
    if (records_->measured() && outFormat_ != VectorFormat::GeoJson && !point.IsEmpty() && !point.IsMeasured()) {
      point.setM(0.0);
    }
    if (point.IsEmpty() && outFormat_ == VectorFormat::FlatGeobuf) {
      // GDAL's FlatGeobuf writer leaves such features out.
      if (pointless_.size() < kNamedFeatures) pointless_.push_back(FeatureName(in));
      ++pointlessCount_;
    }
    out.SetGeometry(&point);
  } else if (hasZ || hasM) {
    (hasM ? lostM_ : lostZ_) += 1;
  }
  if (outFormat_ == VectorFormat::Shapefile) {
    bool cut = false;
    for (int i = 0; i < out.GetFieldCount(); ++i) {
      if (out.GetFieldDefnRef(i)->GetType() == OFTString && out.IsFieldSetAndNotNull(i) &&
          std::string_view(out.GetFieldAsString(i)).size() > kShapefileText) {
        cut = true;
      }
    }
    if (cut) ++cutText_;
  }
  session_.ResetFailures();
  if (outLayer_->CreateFeature(&out) != OGRERR_NONE || session_.failures() > 0) {
    throw IoError("cannot write feature " + std::to_string(in.GetFID()) + " to " + s_.output + ": " +
                  (session_.failures() > 0 ? session_.firstFailure() : LastGdalError()) +
                  "; the output is left as it was");
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
  ResolveSystem();
  PlanFields();
  if (!prepare_(converter_->position())) return 1;
  if (s_.verbose) {
    ErrorLine("lantrel: " + s_.input + ": layer " + Excerpt(input_->name()) + ", " +
              (records_->fieldsSourced() ? "coordinates from its fields" : "point geometry") + "\n");
    ErrorLine("lantrel: from " + Describe(from_) + "\n");
    if (!s_.locate) ErrorLine("lantrel: to   " + Describe(s_.to) + "\n");
  }
  // A write beyond the file size limit fails as a write rather than ending the process, so
  // the private folder is removed and the output left as it was.
  std::signal(SIGXFSZ, SIG_IGN);
  session_.ResetFailures();
  const std::int64_t declared = input_->declaredCount();
  CreateOutput();
  const bool transaction = out_->StartTransaction() == OGRERR_NONE;
  std::string failure;
  while (!stopped_) {
    session_.ResetFailures();
    OGRFeatureUniquePtr feature = input_->Next(failure);
    if (session_.failures() > 0) {
      throw IoError(s_.input + ": GDAL reports the input damaged after " + std::to_string(read_) +
                    " features read: " + session_.firstFailure() + "; " + s_.output +
                    " is left as it was");
    }
    if (!feature) break;
    ++read_;
    WriteFeature(*feature, failure);
  }
  if (!stopped_ && declared >= 0 && static_cast<std::uint64_t>(declared) != read_) {
    throw IoError(s_.input + ": read " + std::to_string(read_) + " of the " + std::to_string(declared) +
                  " features the file declares; it is damaged, and " + s_.output + " is left as it was");
  }
  if (transaction && out_->CommitTransaction() != OGRERR_NONE) {
    throw IoError("cannot write " + s_.output + ": " + LastGdalError() + "; it is left as it was");
  }
  Finish();
  return Report();
}

// Closes the output, checks that it holds every feature written and moves it into place.
void VectorJob::Finish() {
  outLayer_ = nullptr;
  if (outFormat_ == VectorFormat::FlatGeobuf && (written_ == 0 || pointlessCount_ > 0)) {
    std::string named;
    for (const auto& n : pointless_) named += (named.empty() ? "" : ", ") + n;
    if (pointlessCount_ > pointless_.size()) {
      named += " and " + std::to_string(pointlessCount_ - pointless_.size()) + " more";
    }
    throw IoError(written_ == 0 ? "FlatGeobuf cannot hold a layer without features; " + s_.output +
                                      " is not written (choose another --format)"
                                : "FlatGeobuf cannot hold a feature without a point (" + named + "); " +
                                      s_.output + " is not written (choose another --format)");
  }
  // Closing writes what the driver still holds; a failure there is a failed job.
  CPLErrorReset();
  session_.ResetFailures();
  out_.reset();
  if (session_.failures() > 0 || CPLGetLastErrorType() == CE_Failure) {
    throw IoError("cannot write " + s_.output + ": " +
                  (session_.failures() > 0 ? session_.firstFailure() : LastGdalError()) +
                  "; it is left as it was");
  }
  // Read back: the driver may have left features out without saying so.
  const std::uint64_t expected = static_cast<std::uint64_t>(before_) + written_;
  GDALDatasetUniquePtr check(GDALDataset::Open(staged_->path().c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY,
                                               nullptr, nullptr, nullptr));
  OGRLayer* layer = !check ? nullptr
                    : outFormat_ == VectorFormat::GeoPackage ? check->GetLayerByName(outLayerName_.c_str())
                                                             : check->GetLayer(0);
  const std::int64_t found = layer != nullptr ? layer->GetFeatureCount(TRUE) : -1;
  if (found < 0 || static_cast<std::uint64_t>(found) != expected || session_.failures() > 0) {
    throw IoError("cannot write " + s_.output + ": GDAL wrote " +
                  (found < 0 ? std::string("an unreadable file") : std::to_string(found) + " of " +
                                                                       std::to_string(expected) + " features") +
                  "; it is left as it was");
  }
  check.reset();
  staged_->Commit();
}

// Says what the output format could not hold; the job then fails.
int VectorJob::Report() {
  session_.ReportHiddenWarnings();
  const char* format = outFormat_ == VectorFormat::GeoJson ? "GeoJSON" : outFormat_ == VectorFormat::Csv
                                                                             ? "CSV" : "the layer";
  bool lost = false;
  auto say = [&](std::uint64_t count, const std::string& what) {
    if (count == 0) return;
    lost = true;
    ErrorLine("lantrel: " + s_.output + ": " + what + " of " + std::to_string(count) +
              (count == 1 ? " feature" : " features") + "\n");
  };
  say(lostM_, std::string(format) + " holds no M values: lost the M values");
  say(lostZ_, std::string(format) + " holds no Z values: lost the Z values");
  say(cutText_, "a Shapefile field holds at most " + std::to_string(kShapefileText) +
                    " bytes: cut the text");
  if (s_.verbose) {
    ErrorLine("lantrel: " + s_.output + ": " + std::to_string(written_) + " features written, " +
              std::to_string(failures_) + " failed\n");
  }
  return failures_ > 0 || lost ? 1 : 0;
}

}  // namespace

int RunVectorJob(const VectorSettings& settings,
                 const std::function<bool(ZrGeoPosition&)>& prepare) {
  VectorJob job(settings, prepare);
  return job.Run();
}

}  // namespace lantrel::cli

#endif

#include "feature_records.hpp"

#include "command_line.hpp"

#ifndef LANTREL_HAVE_GDAL

namespace lantrel::cli {

void ReadFeaturePoints(const FeatureInput&, const std::optional<std::string>&,
                       const std::function<PointConverter&(const System&)>&,
                       const std::function<bool(FeaturePoint&)>&) {
  throw UsageError("this lantrel was built without GDAL and cannot read or write vector files");
}

}  // namespace lantrel::cli

#else

#include <cpl_conv.h>
#include <ogr_spatialref.h>

#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "gdal_messages.hpp"
#include "io.hpp"
#include "lantrel/number_text.hpp"
#include "lantrel/quoted_text.hpp"

namespace lantrel::cli {

namespace {

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

}  // namespace

FeatureRecords::FeatureRecords(const FeatureInput& input) {
  // CSV is read by the tool's own reader, one feature per record, every field as text, so
  // coordinates held in it are parsed by the tool's number rules.
  if (ReadsAsCsv(input.path, input.csv)) {
    if (input.layer) throw UsageError("-l/--layer: a CSV file holds one layer");
    layer_ = OpenCsvLayer(input.path, input.delimiter);
  } else {
    layer_ = OpenGdalLayer(input.path, input.layer);
  }
  threeD_ = OGR_GT_HasZ(layer_->geometryType()) != 0;
  measured_ = OGR_GT_HasM(layer_->geometryType()) != 0;

  const OGRSpatialReference* srs = layer_->srs();
  const bool geometry = layer_->geometryType() != wkbNone;
  fieldsSourced_ = input.columns.x || input.columns.y || !geometry || (input.from && input.from->IsCarter());
  std::optional<System> layerSystem;
  std::string unserved;
  if (srs != nullptr && !fieldsSourced_) {
    const auto code = EpsgCode(*srs);
    const char* name = srs->GetName();
    const std::string shown = (name ? GdalText(name) : std::string("unnamed")) +
                              (code ? ", EPSG:" + std::to_string(*code) : std::string());
    if (code) {
      const auto parsed = ParseSystem("EPSG:" + std::to_string(*code));
      if (parsed.system) layerSystem = parsed.system;
    }
    if (!layerSystem) unserved = shown;
  }
  if (input.from) {
    system_ = *input.from;
    if (layerSystem && !(*layerSystem == system_)) {
      ErrorLine("lantrel: warning: " + input.path + ": --from " + Canonical(system_) +
                " overrides the layer's coordinate system " + Describe(*layerSystem) + "\n");
    }
  } else if (layerSystem) {
    system_ = *layerSystem;
  } else if (!unserved.empty()) {
    throw UsageError(input.path + ": the layer's coordinate system (" + unserved +
                     ") is not one lantrel serves; name the points' system with --from");
  } else if (input.fallback) {
    system_ = *input.fallback;
  } else {
    throw UsageError(input.path + ": the layer names no coordinate system; give it with --from");
  }
  if (system_.IsCarter()) fieldsSourced_ = true;
  if (fieldsSourced_) {
    std::vector<std::string> names;
    const OGRFeatureDefn* defn = layer_->defn();
    for (int i = 0; i < defn->GetFieldCount(); ++i) names.emplace_back(defn->GetFieldDefn(i)->GetNameRef());
    ColumnRequest request = input.columns;
    request.carter = system_.IsCarter();
    std::string error;
    const auto found = FindCoordinateColumns(names, request, error, kNameColumnsHint);
    if (!found) throw UsageError(input.path + ": " + error);
    columns_ = *found;
  }
}

bool FeatureRecords::Place(OGRFeature& in, PointConverter& c, bool westPositive, std::string& error,
                           std::optional<OGRPoint>& where) const {
  if (fieldsSourced_) {
    const int xf = static_cast<int>(columns_.x);
    if (system_.IsCarter()) {
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
        x = *ParseDecimal(Trim(xs));
        y = *ParseDecimal(Trim(ys));
      }
    }
    if (!ok) {
      error = c.error();
      return false;
    }
    if (system_.Angular()) x = westPositive ? std::fabs(x) : -std::fabs(x);
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

void ReadFeaturePoints(const FeatureInput& input, const std::optional<std::string>& labelField,
                       const std::function<PointConverter&(const System&)>& converterFor,
                       const std::function<bool(FeaturePoint&)>& each) {
  GdalSession session;
  FeatureRecords records(input);
  std::vector<std::string> names;
  const OGRFeatureDefn* defn = records.layer().defn();
  for (int i = 0; i < defn->GetFieldCount(); ++i) names.emplace_back(defn->GetFieldDefn(i)->GetNameRef());
  std::optional<std::size_t> label;
  if (labelField) {
    label = FindColumn(names, *labelField);
    if (!label) throw UsageError(input.path + ": --label-col: the layer has no field " + Excerpt(*labelField));
  } else if (!(label = FindColumn(names, "label"))) {
    label = FindColumn(names, "name");
  }
  PointConverter& converter = converterFor(records.system());
  const std::int64_t declared = records.layer().declaredCount();
  std::uint64_t read = 0;
  std::string failure;
  FeaturePoint point;
  while (true) {
    session.ResetFailures();
    OGRFeatureUniquePtr feature = records.layer().Next(failure);
    if (session.failures() > 0) {
      throw IoError(input.path + ": GDAL reports the input damaged after " + std::to_string(read) +
                    " features read: " + session.firstFailure());
    }
    if (!feature) break;
    ++read;
    point.number = static_cast<std::uint64_t>(feature->GetFID());
    point.error = failure;
    std::optional<OGRPoint> where;
    point.placed = failure.empty() && records.Place(*feature, converter, true, point.error, where);
    const int field = label ? static_cast<int>(*label) : -1;
    point.label = field >= 0 && feature->IsFieldSetAndNotNull(field) ? feature->GetFieldAsString(field) : "";
    if (!each(point)) return;
  }
  if (declared >= 0 && static_cast<std::uint64_t>(declared) != read) {
    throw IoError(input.path + ": read " + std::to_string(read) + " of the " + std::to_string(declared) +
                  " features the file declares; it is damaged");
  }
}

}  // namespace lantrel::cli

#endif

#include "input_layer.hpp"

#ifdef LANTREL_HAVE_GDAL

#include <gdal_priv.h>

#include <filesystem>

#include "command_line.hpp"
#include "csv.hpp"
#include "gdal_messages.hpp"
#include "io.hpp"
#include "lantrel/quoted_text.hpp"
#include "systems.hpp"
#include "vector_format.hpp"

namespace lantrel::cli {

namespace {

// Layers named in a message, at most this many.
constexpr int kListedLayers = 20;

class GdalLayer : public InputLayer {
 public:
  GdalLayer(GDALDatasetUniquePtr ds, OGRLayer* layer) : ds_(std::move(ds)), layer_(layer) {
    layer_->ResetReading();
  }
  const OGRFeatureDefn* defn() const override { return layer_->GetLayerDefn(); }
  const OGRSpatialReference* srs() const override { return layer_->GetSpatialRef(); }
  OGRwkbGeometryType geometryType() const override { return layer_->GetGeomType(); }
  std::string name() const override { return layer_->GetName(); }
  std::vector<std::string> files() const override {
    std::vector<std::string> out;
    char** list = ds_->GetFileList();
    for (char** f = list; f != nullptr && *f != nullptr; ++f) out.emplace_back(*f);
    CSLDestroy(list);
    return out;
  }
  std::int64_t declaredCount() override {
    const std::int64_t count = layer_->GetFeatureCount(FALSE);
    layer_->ResetReading();
    return count;
  }
  OGRFeatureUniquePtr Next(std::string& failure) override {
    failure.clear();
    return OGRFeatureUniquePtr(layer_->GetNextFeature());
  }

 private:
  GDALDatasetUniquePtr ds_;
  OGRLayer* layer_;
};

class CsvLayer : public InputLayer {
 public:
  CsvLayer(const std::string& path, std::optional<char> delimiter)
      : path_(path), lines_(path), reader_(lines_), defn_(new OGRFeatureDefn(LayerName(path).c_str())) {
    // As on the line path: the given delimiter, else the header's, a tab winning ties in *.tsv.
    if (delimiter) {
      reader_.Delimiter(*delimiter);
    } else {
      reader_.SniffDelimiter(NamedDelimiter(path));
    }
    // Held by reference count, so it is released when the header is refused here too.
    defn_->Reference();
    defn_->SetGeomType(wkbNone);
    reader_.CommentsAllowed(true);
    CsvRecord record;
    while (reader_.Next(record)) {
      if (record.kind != LineKind::Data) continue;
      if (!record.error.empty()) {
        throw UsageError(path + ":" + std::to_string(record.line) + ": malformed CSV header: " +
                         record.error);
      }
      for (std::size_t i = 0; i < record.fields.size(); ++i) {
        std::string name = CsvValue(record.fields[i]);
        if (name.empty()) name = "field_" + std::to_string(i + 1);
        if (defn_->GetFieldIndex(name.c_str()) >= 0) {
          throw UsageError(path + ": the CSV header names the field " + Excerpt(name) + " twice");
        }
        OGRFieldDefn field(name.c_str(), OFTString);
        defn_->AddFieldDefn(&field);
      }
      reader_.CommentsAllowed(false);
      return;
    }
    throw UsageError(path + ": the CSV file has no header line");
  }
  const OGRFeatureDefn* defn() const override { return defn_.get(); }
  const OGRSpatialReference* srs() const override { return nullptr; }
  OGRwkbGeometryType geometryType() const override { return wkbNone; }
  std::string name() const override { return defn_->GetName(); }
  std::vector<std::string> files() const override { return {path_}; }
  std::int64_t declaredCount() override { return -1; }
  OGRFeatureUniquePtr Next(std::string& failure) override {
    failure.clear();
    CsvRecord record;
    do {
      if (!reader_.Next(record)) return nullptr;
    } while (record.kind != LineKind::Data);
    OGRFeatureUniquePtr f(new OGRFeature(defn_.get()));
    f->SetFID(++fid_);
    const int count = defn_->GetFieldCount();
    if (!record.error.empty()) {
      failure = "malformed CSV on line " + std::to_string(record.line) + ": " + record.error;
      for (int i = 0; i < count; ++i) f->SetFieldNull(i);
      return f;
    }
    for (std::size_t i = 0; i < record.fields.size() && i < static_cast<std::size_t>(count); ++i) {
      f->SetField(static_cast<int>(i), CsvValue(record.fields[i]).c_str());
    }
    if (record.fields.size() > static_cast<std::size_t>(count)) {
      failure = "the record on line " + std::to_string(record.line) + " has " +
                std::to_string(record.fields.size()) + " fields, the header " + std::to_string(count);
    }
    return f;
  }

 private:
  static std::string LayerName(const std::string& path) {
    return std::filesystem::path(path).stem().string();
  }
  std::string path_;
  LineReader lines_;
  CsvReader reader_;
  struct Release {
    void operator()(OGRFeatureDefn* d) const { d->Release(); }
  };
  std::unique_ptr<OGRFeatureDefn, Release> defn_;
  GIntBig fid_ = 0;
};

std::string LayerList(GDALDataset& ds) {
  std::string list;
  const int count = ds.GetLayerCount();
  for (int i = 0; i < count && i < kListedLayers; ++i) {
    list += (i ? ", " : "") + Excerpt(ds.GetLayer(i)->GetName());
  }
  if (count > kListedLayers) list += ", ... (" + std::to_string(count) + " layers)";
  return list;
}

}  // namespace

bool ReadsAsCsv(const std::string& path, bool csvOption) {
  if (const auto f = FormatFromPath(path)) return *f == VectorFormat::Csv;
  if (NamedDelimiter(path) == '\t') return true;
  if (csvOption) return true;
  GDALDriverH driver = GDALIdentifyDriver(path.c_str(), nullptr);
  return driver != nullptr && EqualsIgnoreCase(GDALGetDriverShortName(driver), "CSV");
}

std::unique_ptr<InputLayer> OpenGdalLayer(const std::string& path, const std::optional<std::string>& layer) {
  GDALDatasetUniquePtr ds(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY,
                                            nullptr, nullptr, nullptr));
  if (!ds) throw IoError("cannot open " + path + " as a vector file: " + LastGdalError());
  const int count = ds->GetLayerCount();
  if (count < 1) throw IoError(path + " holds no layer");
  OGRLayer* chosen = nullptr;
  if (layer) {
    chosen = ds->GetLayerByName(layer->c_str());
    if (chosen == nullptr) {
      throw UsageError(path + " has no layer " + Excerpt(*layer) + "; its layers: " + LayerList(*ds));
    }
  } else if (count == 1) {
    chosen = ds->GetLayer(0);
  } else {
    throw UsageError(path + " holds " + std::to_string(count) + " layers (" + LayerList(*ds) +
                     "); choose one with -l/--layer NAME");
  }
  return std::make_unique<GdalLayer>(std::move(ds), chosen);
}

std::unique_ptr<InputLayer> OpenCsvLayer(const std::string& path, std::optional<char> delimiter) {
  return std::make_unique<CsvLayer>(path, delimiter);
}

}  // namespace lantrel::cli

#endif

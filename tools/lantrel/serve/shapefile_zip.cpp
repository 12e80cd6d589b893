#include "serve/shapefile_zip.hpp"

#include <filesystem>
#include <fstream>
#include <vector>

#ifdef LANTREL_HAVE_GDAL
#include <cpl_conv.h>

#include "vector/staged_output.hpp"
#endif

namespace lantrel::cli::serve {

bool ZipShapefile(const std::string& shp, const std::string& zip) {
#ifdef LANTREL_HAVE_GDAL
  namespace fs = std::filesystem;
  std::vector<std::string> files{shp};
  std::error_code ec;
  for (const auto& s : ShapefileSidecars(shp)) {
    if (fs::is_regular_file(s, ec)) files.push_back(s);
  }
  void* archive = CPLCreateZip(zip.c_str(), nullptr);
  if (archive == nullptr) return false;
  bool ok = true;
  std::vector<char> buffer(1 << 20);
  for (const auto& f : files) {
    std::ifstream in(f, std::ios::binary);
    if (!in || CPLCreateFileInZip(archive, fs::path(f).filename().c_str(), nullptr) != CE_None) {
      ok = false;
      break;
    }
    while (ok && in) {
      in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
      const auto n = in.gcount();
      if (n > 0 && CPLWriteFileInZip(archive, buffer.data(), static_cast<int>(n)) != CE_None) ok = false;
    }
    if (in.bad()) ok = false;
    if (CPLCloseFileInZip(archive) != CE_None) ok = false;
    if (!ok) break;
  }
  if (CPLCloseZip(archive) != CE_None) ok = false;
  if (!ok) fs::remove(zip, ec);
  return ok;
#else
  (void)shp;
  (void)zip;
  return false;
#endif
}

}  // namespace lantrel::cli::serve

// The PROJ context the benchmarks run the peer in: offline, with PROJ's own search path
// followed by the shared data folder that holds the NOAA CONUS grid, so PROJ shifts NAD 27 by
// the same grid as lantrel rather than by a ballpark transformation.
#pragma once

#include <proj.h>

#include <string>
#include <vector>

inline PJ_CONTEXT* GridContext() {
  PJ_CONTEXT* ctx = proj_context_create();
  proj_context_set_enable_network(ctx, 0);
  std::vector<std::string> paths;
  const std::string defaults = proj_info().searchpath;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = defaults.find(':', start);
    paths.push_back(defaults.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  paths.push_back(std::string(LANTREL_DATA_SOURCES) + "/nadcon");
  std::vector<const char*> raw;
  for (const auto& p : paths) raw.push_back(p.c_str());
  proj_context_set_search_paths(ctx, static_cast<int>(raw.size()), raw.data());
  return ctx;
}

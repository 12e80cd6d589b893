// The handlers of the API's routes, each over the shared context. They raise Problem for
// whatever the request gets wrong; Api::Handle words it.
#pragma once

#include <string>
#include <string_view>

#include "serve/api.hpp"

namespace lantrel::cli::serve {

/// GET /api/v1/point: everything about one point.
Response PointRoute(const Context& context, const Request& request);
/// GET|POST /api/v1/convert: one point, or columns of points.
Response ConvertRoute(const Context& context, const Request& request);
/// POST /api/v1/locate: columns of points in, the locate fields out.
Response LocateRoute(const Context& context, const Request& request);
/// GET /api/v1/layers/NAME.geojson.
Response LayerRoute(const Context& context, const Request& request, std::string_view layer);
/// POST /api/v1/files (start a job), GET /api/v1/files/ID (its state), GET .../ID/result.
Response FilesRoute(const Context& context, const Request& request, const std::string& id, bool result);
/// GET /api/v1/openapi.json.
Response OpenApiRoute(const Context& context);
/// GET /api/v1/config: what the page needs to know (tile URL, limits).
Response ConfigRoute(const Context& context);

}  // namespace lantrel::cli::serve

// The page's files and the map library's, served read-only from their folders. Only plain
// names below the folder are served: no "..", no hidden names, nothing a link leads outside.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "serve/api.hpp"

namespace lantrel::cli::serve {

/// The file under root that the URL path names (path relative to the mount, no leading '/'),
/// or nothing when it names none or would leave root.
std::optional<std::string> StaticFile(const std::string& root, std::string_view path);

/// Media type by the name's extension.
std::string_view MediaType(std::string_view name);

/// GET of a static file: 404 problem when there is none.
Response StaticRoute(const Context& context, const Request& request);

}  // namespace lantrel::cli::serve

// How far a file job's tool has read its input: the read position of the tool's open input
// files (from /proc), as a share of their sizes.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace lantrel::cli::serve {

/// The largest share (0 to 1) of any of `inputs` that process `pid` has read so far by its
/// open file descriptors, or 0 when it holds none of them open (not yet, or a reader that
/// reads by position, as SQLite reads a GeoPackage). Never throws.
double ReadShare(pid_t pid, const std::vector<std::string>& inputs);

}  // namespace lantrel::cli::serve

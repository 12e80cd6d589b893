/// \file
/// lantrel — coordinate conversion for Kentucky and its neighbours: umbrella header.
#pragma once

#include "lantrel/array_threads.hpp"
#include "lantrel/carter.hpp"
#include "lantrel/carter_arrays.hpp"
#include "lantrel/data_file.hpp"
#include "lantrel/enums.hpp"
#include "lantrel/error.hpp"
#include "lantrel/location_results.hpp"
#include "lantrel/locator.hpp"
#include "lantrel/pair.hpp"
#include "lantrel/point_errors.hpp"
#include "lantrel/position.hpp"
#include "lantrel/system.hpp"
#include "lantrel/transformer.hpp"

/// lantrel's C++ interface: positions, Carter locations, errors and the data-file search.
namespace lantrel {}

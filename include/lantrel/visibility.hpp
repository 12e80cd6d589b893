/// \file
/// lantrel — marking of internal types that the public headers have to name.
#pragma once

/// Marks a library-internal type that a public header declares (a friend, a pointee): its
/// members stay out of the shared library's exports. Everything else the public headers declare
/// is exported.
#if defined(__GNUC__) || defined(__clang__)
#define LANTREL_INTERNAL __attribute__((visibility("hidden")))
#else
#define LANTREL_INTERNAL
#endif

#include "serve/converter_pool.hpp"

#include <exception>
#include <new>
#include <vector>

#include "serve/inputs.hpp"

namespace lantrel::cli::serve {

namespace {

struct Kept {
  std::unique_ptr<PointConverter> converter;
  bool westPositive, zgs;
};

// The thread's idle converters, the most recently returned last.
std::vector<Kept>& Pool() {
  thread_local std::vector<Kept> pool;
  return pool;
}

}  // namespace

PooledConverter::PooledConverter(const Context& context, const System& from, const System& to,
                                 bool westPositive, bool zgs)
    : westPositive_(westPositive), zgs_(zgs), exceptions_(std::uncaught_exceptions()) {
  auto& pool = Pool();
  for (auto it = pool.rbegin(); it != pool.rend(); ++it) {
    if (it->converter->from() == from && it->converter->to() == to && it->westPositive == westPositive &&
        it->zgs == zgs) {
      converter_ = std::move(it->converter);
      pool.erase(std::next(it).base());
      break;
    }
  }
  if (!converter_) converter_ = MakeConverter(context, from, to, westPositive, zgs);
  converter_->AcceptDistant(false);
}

PooledConverter::~PooledConverter() {
  if (std::uncaught_exceptions() > exceptions_) return;
  auto& pool = Pool();
  if (pool.size() >= kPerThread) pool.erase(pool.begin());
  try {
    pool.push_back({std::move(converter_), westPositive_, zgs_});
  } catch (const std::bad_alloc&) {
    // Not kept: the next request makes a new one.
  }
}

}  // namespace lantrel::cli::serve

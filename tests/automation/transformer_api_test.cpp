// The C interface of the array conversion: argument errors, every per-point status, the
// error record, and agreement with the C++ transformer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "lantrel/lantrel.h"
#include "lantrel/transformer.hpp"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct TransformerHandle {
  TransformerHandle(int32_t fp, int32_t fd, int32_t fu, int32_t tp, int32_t td, int32_t tu,
                    lantrel_bool wp = LANTREL_TRUE) {
    EXPECT_EQ(lantrel_transformer_create(fp, fd, fu, tp, td, tu, wp, &t), 0)
        << lantrel_last_error_description();
  }
  ~TransformerHandle() { lantrel_transformer_release(t); }
  TransformerHandle(const TransformerHandle&) = delete;
  TransformerHandle& operator=(const TransformerHandle&) = delete;
  lantrel_transformer* t = nullptr;
};

TEST(TransformerApi, CreateErrorsSetTheRecordAndANullHandle) {
  const struct {
    int32_t fp, fd, fu, tp, td, tu;
    int32_t number;
    const char* description;
  } cases[] = {
      {16, 0, 1, 5, 0, 0, LANTREL_E_INVALID_PROJECTION, "Invalid projection specified."},
      {1, 2, 1, 5, 0, 0, LANTREL_E_INVALID_DATUM, "Invalid horizontal datum specified."},
      {1, 0, 6, 5, 0, 0, LANTREL_E_INVALID_UNITS, "Invalid units specified."},
      {5, 0, 0, 5, 2, 0, LANTREL_E_INVALID_DATUM, "Invalid toDatum specified."},
      {5, 0, 0, 5, 0, -1, LANTREL_E_INVALID_UNITS, "Invalid toUnits specified."},
      {5, 0, 0, 17, 0, 0, LANTREL_E_INVALID_PROJECTION, "Invalid toProjection specified."},
      {6, 0, 0, 5, 0, 0, LANTREL_E_INVALID_ARGUMENT, nullptr},
      {5, 0, 0, 6, 0, 0, LANTREL_E_INVALID_ARGUMENT, nullptr},
      {0, 1, 1, 5, 0, 0, LANTREL_E_INVALID_ARGUMENT, nullptr},
      {1, 0, 0, 5, 0, 0, LANTREL_E_INVALID_ARGUMENT, nullptr},
      {5, 0, 2, 1, 0, 1, LANTREL_E_INVALID_ARGUMENT, nullptr},
  };
  for (const auto& c : cases) {
    static int dummy = 0;
    auto* t = reinterpret_cast<lantrel_transformer*>(&dummy);  // must be reset to NULL
    EXPECT_EQ(lantrel_transformer_create(c.fp, c.fd, c.fu, c.tp, c.td, c.tu, LANTREL_TRUE, &t),
              c.number);
    EXPECT_EQ(t, nullptr);
    EXPECT_EQ(lantrel_last_error_number(), c.number);
    EXPECT_EQ(std::string(lantrel_last_error_source()), "lantrel:Transformer:");
    if (c.description != nullptr) {
      EXPECT_EQ(std::string(lantrel_last_error_description()), c.description);
    } else {
      EXPECT_FALSE(std::string(lantrel_last_error_description()).empty());
    }
  }
  EXPECT_EQ(lantrel_transformer_create(5, 0, 0, 1, 0, 1, LANTREL_TRUE, nullptr),
            LANTREL_E_INVALID_ARGUMENT);
  lantrel_transformer_release(nullptr);  // ignored
}

TEST(TransformerApi, TransformArgumentErrors) {
  TransformerHandle h(5, 0, 0, 1, 0, 1);
  double x = 85, y = 37.5, ox = 0, oy = 0;
  int32_t s = -7;
  EXPECT_EQ(lantrel_transformer_transform(nullptr, 1, &x, &y, &ox, &oy, &s),
            LANTREL_E_OBJECT_NOT_SET);
  EXPECT_EQ(lantrel_transformer_transform(h.t, 0, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  const struct {
    const double *x, *y;
    double *ox, *oy;
    int32_t* s;
  } holes[] = {{nullptr, &y, &ox, &oy, &s}, {&x, nullptr, &ox, &oy, &s},
               {&x, &y, nullptr, &oy, &s},  {&x, &y, &ox, nullptr, &s},
               {&x, &y, &ox, &oy, nullptr}};
  for (const auto& c : holes) {
    EXPECT_EQ(lantrel_transformer_transform(h.t, 1, c.x, c.y, c.ox, c.oy, c.s),
              LANTREL_E_INVALID_ARGUMENT);
    EXPECT_EQ(lantrel_last_error_number(), LANTREL_E_INVALID_ARGUMENT);
  }
  EXPECT_EQ(s, -7);  // nothing written on an argument error
  EXPECT_EQ(lantrel_transformer_transform(h.t, 1, &x, &y, &ox, &oy, &s), 0);
  EXPECT_EQ(lantrel_last_error_number(), 0);
  EXPECT_EQ(s, 0);
}

TEST(TransformerApi, EveryPointStatus) {
  // 0; 4 outside the window (NaN fails the window test); 5 for NaN without a datum change and
  // for a result past the pole; 11 at the pole of a Lambert zone; 6 for an overflow.
  TransformerHandle shift(5, 1, 0, 1, 0, 1);
  TransformerHandle same(5, 0, 0, 1, 0, 1);
  TransformerHandle utm(3, 0, 2, 5, 0, 0);
  TransformerHandle toUtm(5, 0, 0, 3, 0, 2);
  const struct {
    lantrel_transformer* t;
    double x, y;
    int32_t status;
  } cases[] = {
      {shift.t, 84.5, 37.5, 0},       {shift.t, -84.5, 37.5, 0},   {shift.t, 80.0, 37.5, 4},
      {shift.t, kNaN, 37.5, 5},       {same.t, kNaN, 37.5, 5},     {same.t, 85.0, 90.0, 11},
      {toUtm.t, 1e200, 37.0, 5},       {utm.t, 500000, 10002000, 5}, {utm.t, 500000, 4e6, 0},
  };
  std::vector<double> x, y;
  for (const auto& c : cases) {
    x.push_back(c.x);
    y.push_back(c.y);
  }
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    double ox = 1, oy = 1;
    int32_t s = -7;
    ASSERT_EQ(lantrel_transformer_transform(cases[i].t, 1, &x[i], &y[i], &ox, &oy, &s), 0);
    EXPECT_EQ(s, cases[i].status) << i;
    EXPECT_EQ(std::isnan(ox) && std::isnan(oy), s != 0) << i;
  }
}

TEST(TransformerApi, MatchesTheCxxTransformerInPlace) {
  TransformerHandle h(1, 1, 1, 3, 0, 2, LANTREL_FALSE);
  const lantrel::Transformer cxx({1, 1, 1}, {3, 0, 2}, false);
  std::vector<double> x, y;
  for (int i = 0; i < 200; ++i) {
    x.push_back(1.7e6 + 3137.0 * i);
    y.push_back(-1e5 + 1733.0 * i);
  }
  const std::size_t n = x.size();
  std::vector<double> cx(n), cy(n);
  std::vector<int32_t> cs(n), s(n);
  cxx.Transform(n, x.data(), y.data(), cx.data(), cy.data(), cs.data());
  ASSERT_EQ(lantrel_transformer_transform(h.t, n, x.data(), y.data(), x.data(), y.data(),
                                          s.data()),
            0);
  for (std::size_t i = 0; i < n; ++i) {
    EXPECT_EQ(s[i], cs[i]);
    if (s[i] == 0) {
      EXPECT_EQ(x[i], cx[i]);
      EXPECT_EQ(y[i], cy[i]);
    }
  }
}

// The _threaded calls give the one-thread outcome and error records whatever the count.
TEST(TransformerApi, ThreadedCallsMatchTheOneThreadCalls) {
  TransformerHandle h(5, 1, 0, 1, 0, 1, LANTREL_FALSE);
  constexpr std::size_t n = LANTREL_ARRAY_THREAD_THRESHOLD + 77;
  std::vector<double> x(n), y(n);
  for (std::size_t i = 0; i < n; ++i) {
    x[i] = i % 911 == 0 ? 95.0 : 82.0 + 0.0001 * static_cast<double>(i);  // 95 W: refused
    y[i] = 37.0 + 0.00003 * static_cast<double>(i);
  }
  struct Run {
    std::vector<double> a, b;
    std::vector<int32_t> s;
    std::vector<std::size_t> failed;
  };
  const auto run = [&](uint32_t threads, bool factors) {
    Run r{std::vector<double>(n), std::vector<double>(n), std::vector<int32_t>(n), {}};
    lantrel_point_errors* e = nullptr;
    EXPECT_EQ(lantrel_point_errors_create(&e), 0);
    EXPECT_EQ(factors ? lantrel_factors_threaded(5, 1, 0, LANTREL_TRUE, n, x.data(), y.data(),
                                                 r.a.data(), r.b.data(), r.s.data(), e, threads)
                      : lantrel_transformer_transform_threaded(h.t, n, x.data(), y.data(),
                                                               r.a.data(), r.b.data(),
                                                               r.s.data(), e, threads),
              0);
    size_t count = 0;
    EXPECT_EQ(lantrel_point_errors_count(e, &count), 0);
    for (size_t k = 0; k < count; ++k) {
      size_t index = 0;
      EXPECT_EQ(lantrel_point_errors_get(e, k, &index, nullptr, nullptr, nullptr), 0);
      r.failed.push_back(index);
    }
    lantrel_point_errors_release(e);
    return r;
  };
  for (const bool factors : {false, true}) {
    const Run one = run(1, factors);
    EXPECT_EQ(one.failed.empty(), factors);
    for (const uint32_t threads : {0u, 2u, 3u}) {
      const Run many = run(threads, factors);
      EXPECT_EQ(std::memcmp(many.a.data(), one.a.data(), n * sizeof(double)), 0);
      EXPECT_EQ(std::memcmp(many.b.data(), one.b.data(), n * sizeof(double)), 0);
      EXPECT_EQ(many.s, one.s);
      EXPECT_EQ(many.failed, one.failed);
    }
  }
  EXPECT_EQ(lantrel_transformer_transform_threaded(nullptr, 1, x.data(), y.data(), x.data(),
                                                   y.data(), nullptr, nullptr, 0),
            91);
}

TEST(TransformerApi, Factors) {
  double x[] = {1640416.67, 0.0, 85.0}, y[] = {200000.0, 8144306.0 * 3.2808333333333333, 37.0};
  double k[3], g[3];
  int32_t s[3];
  ASSERT_EQ(lantrel_factors(1, 0, 1, LANTREL_TRUE, 2, x, y, k, g, s), 0);
  EXPECT_EQ(s[0], 0);
  EXPECT_NEAR(k[0], 1.0, 1e-3);
  EXPECT_EQ(s[1], LANTREL_E_INVALID_ARGUMENT);  // longitude past 180 degrees
  EXPECT_TRUE(std::isnan(k[1]) && std::isnan(g[1]));
  ASSERT_EQ(lantrel_factors(5, 1, 0, LANTREL_FALSE, 1, x + 2, y + 2, k, g, s), 0);
  EXPECT_EQ(k[0], 1.0);
  EXPECT_EQ(g[0], 0.0);

  EXPECT_EQ(lantrel_factors(6, 0, 0, LANTREL_TRUE, 1, x, y, k, g, s), LANTREL_E_INVALID_ARGUMENT);
  EXPECT_EQ(lantrel_factors(16, 0, 1, LANTREL_TRUE, 1, x, y, k, g, s),
            LANTREL_E_INVALID_PROJECTION);
  EXPECT_EQ(lantrel_factors(1, 3, 1, LANTREL_TRUE, 1, x, y, k, g, s), LANTREL_E_INVALID_DATUM);
  EXPECT_EQ(lantrel_factors(1, 0, 0, LANTREL_TRUE, 1, x, y, k, g, s), LANTREL_E_INVALID_ARGUMENT);
  EXPECT_EQ(lantrel_factors(1, 0, 1, LANTREL_TRUE, 1, x, y, nullptr, g, s),
            LANTREL_E_INVALID_ARGUMENT);
  EXPECT_EQ(lantrel_factors(1, 0, 1, LANTREL_TRUE, 0, nullptr, nullptr, nullptr, nullptr, nullptr),
            0);
}

}  // namespace

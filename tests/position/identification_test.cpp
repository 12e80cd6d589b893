#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "lantrel/lantrel.hpp"

namespace lantrel {
namespace {

TEST(Identification, VersionReleaseDateAndAbout) {
  ZrGeoPosition p;
  EXPECT_EQ(p.Version(), "3.23");
  EXPECT_EQ(p.ReleaseDate(), 39013.0);
  const std::string about = p.About();
  std::size_t pairs = 0;
  for (std::size_t i = about.find("\r\n"); i != std::string::npos; i = about.find("\r\n", i + 2)) {
    ++pairs;
  }
  EXPECT_EQ(pairs, 7u);
  EXPECT_NE(about.find("\r\nVersion: 3.23\r\n"), std::string::npos);
  // The test runs under the C locale, which writes the United States short date.
  const std::string tail = "\r\nRelease Date: 10/23/2006";
  ASSERT_GE(about.size(), tail.size());
  EXPECT_EQ(about.substr(about.size() - tail.size()), tail);
  EXPECT_EQ(about.find('\n'), about.find("\r\n") + 1) << "lines end with CR LF";
}

}  // namespace
}  // namespace lantrel

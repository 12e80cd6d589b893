// Version, ReleaseDate and About: identify the library to a host.
#include <dlfcn.h>

#include <clocale>
#include <cstring>
#include <ctime>
#include <string>

#include "lantrel/position.hpp"

namespace lantrel {

namespace {

constexpr const char* kVersion = "3.23";
// 23 October 2006 as an automation date: days since 30 December 1899, no time part.
constexpr double kReleaseDate = 39013.0;

// File name of the component that holds this code: the shared library when the host loaded
// it, or the program it is linked into.
std::string ComponentFileName() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&ComponentFileName), &info) != 0 &&
      info.dli_fname != nullptr && info.dli_fname[0] != '\0') {
    std::string path = info.dli_fname;
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
  }
  return "liblantrel.so";
}

// The automation date as text in the current locale's short date format. The C and POSIX
// locales write the United States layout with a four-digit year.
std::string ShortDate(double automationDate) {
  // Day 25569 of the automation calendar is 1 January 1970.
  const auto seconds = static_cast<std::time_t>((automationDate - 25569.0) * 86400.0);
  std::tm tm{};
  gmtime_r(&seconds, &tm);
  const char* locale = std::setlocale(LC_TIME, nullptr);
  const bool plain = locale == nullptr || std::strcmp(locale, "C") == 0 ||
                     std::strcmp(locale, "POSIX") == 0;
  char text[64];
  const std::size_t n = std::strftime(text, sizeof text, plain ? "%m/%d/%Y" : "%x", &tm);
  return std::string(text, n);
}

}  // namespace

std::string ZrGeoPosition::Version() const { return kVersion; }

double ZrGeoPosition::ReleaseDate() const { return kReleaseDate; }

std::string ZrGeoPosition::About() const {
  const char* crlf = "\r\n";
  return "lantrel coordinate library (" + ComponentFileName() + ")" + crlf +
         "The lantrel project" + crlf +
         "Coordinate conversion for Kentucky and its neighbouring states" + crlf +
         "Written by the lantrel developers" + crlf +
         "Contact: no telephone; e-mail through the project's issue tracker" + crlf +
         "https://lantrel.invalid/" + crlf +
         "Version: " + kVersion + crlf +
         "Release Date: " + ShortDate(kReleaseDate);
}

}  // namespace lantrel

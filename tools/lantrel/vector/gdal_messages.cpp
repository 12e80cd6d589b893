#include "gdal_messages.hpp"

#ifdef LANTREL_HAVE_GDAL

#include <cpl_error.h>
#include <gdal_priv.h>

#include "io.hpp"
#include "lantrel/quoted_text.hpp"

namespace lantrel::cli {

namespace {

constexpr std::size_t kGdalTextBytes = 200;

void CPL_STDCALL Forward(CPLErr level, CPLErrorNum, const char* message) {
  if (auto* session = static_cast<GdalSession*>(CPLGetErrorHandlerUserData())) {
    session->OnMessage(static_cast<int>(level), message);
  }
}

}  // namespace

std::string GdalText(std::string_view text) {
  std::string out = OneLine(text, kGdalTextBytes);
  if (text.size() > kGdalTextBytes) out += " (" + std::to_string(text.size()) + " bytes)";
  return out;
}

GdalSession::GdalSession() {
  GDALAllRegister();
  CPLPushErrorHandlerEx(Forward, this);
}

GdalSession::~GdalSession() { CPLPopErrorHandler(); }

void GdalSession::OnMessage(int level, const char* message) {
  const std::string_view text = message != nullptr ? message : "";
  if (level == CE_Failure || level == CE_Fatal) {
    if (failures_++ == 0) firstFailure_ = GdalText(text);
  } else if (level == CE_Warning) {
    if (warnings_++ < kMaxWarnings) ErrorLine("lantrel: warning: GDAL: " + GdalText(text) + "\n");
  }
}

void GdalSession::ReportHiddenWarnings() {
  if (warnings_ > kMaxWarnings) {
    ErrorLine("lantrel: warning: " + std::to_string(warnings_ - kMaxWarnings) +
              " more GDAL warnings not shown\n");
  }
  warnings_ = 0;
}

std::string LastGdalError() {
  const char* m = CPLGetLastErrorMsg();
  return (m != nullptr && *m != 0) ? GdalText(m) : std::string("GDAL gave no reason");
}

}  // namespace lantrel::cli

#endif

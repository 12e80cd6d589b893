// /convert and /locate: one point, or columns of points converted as `lantrel convert` and
// `lantrel locate` convert them (blocks through the transformer where the tool uses them, the
// rest point by point), with a status and message per point.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "block_converter.hpp"
#include "json.hpp"
#include "lantrel/location_fields.hpp"
#include "lantrel/number_text.hpp"
#include "point_factors.hpp"
#include "serve/inputs.hpp"
#include "serve/metrics.hpp"
#include "serve/problem.hpp"
#include "serve/routes.hpp"

namespace lantrel::cli::serve {

namespace {

struct Columns {
  std::vector<std::string> x, y;     // texts as given (numbers in their JSON text)
  std::vector<double> xv, yv;        // the numbers, when every value is one
  std::vector<bool> missing;         // a null where a value belongs
  bool numeric = true;
  std::size_t size = 0;
};

// One column of the body: numbers or texts; null stands for a missing value.
void ReadColumn(const nlohmann::json& a, std::string_view name, std::vector<std::string>& texts,
                std::vector<double>& values, std::vector<bool>& missing, bool& numeric) {
  texts.reserve(a.size());
  values.reserve(a.size());
  missing.resize(a.size(), false);
  std::size_t i = 0;
  for (const auto& v : a) {
    if (v.is_number()) {
      values.push_back(v.get<double>());
      texts.push_back(v.dump());
    } else if (v.is_string()) {
      numeric = false;
      values.push_back(0.0);
      texts.push_back(v.get<std::string>());
    } else if (v.is_null()) {
      numeric = false;
      values.push_back(0.0);
      texts.emplace_back();
      missing[i] = true;
    } else {
      throw Problem(400, "invalid-parameter",
                    "'" + std::string(name) + "' holds a value that is neither a number nor a text");
    }
    ++i;
  }
}

Columns ReadColumns(const Context& context, const Inputs& in, bool carter) {
  Columns c;
  const char* first = carter ? "location" : "x";
  const auto& x = in.Member(first);
  if (!x.is_array()) throw Problem(400, "missing-parameter", std::string("'") + first + "' must be an array");
  if (x.size() > context.settings.maxPoints) {
    throw Problem(413, "too-many-points", std::to_string(x.size()) + " points are more than the " +
                                              std::to_string(context.settings.maxPoints) +
                                              " a request may hold");
  }
  ReadColumn(x, first, c.x, c.xv, c.missing, c.numeric);
  c.size = c.x.size();
  if (!carter) {
    const auto& y = in.Member("y");
    if (!y.is_array()) throw Problem(400, "missing-parameter", "'y' must be an array");
    if (y.size() != x.size()) {
      throw Problem(400, "invalid-parameter", "'x' holds " + std::to_string(x.size()) +
                                                  " values and 'y' " + std::to_string(y.size()));
    }
    std::vector<bool> missingY;
    ReadColumn(y, "y", c.y, c.yv, missingY, c.numeric);
    for (std::size_t i = 0; i < c.size; ++i) c.missing[i] = c.missing[i] || missingY[i];
  }
  return c;
}

// Places point i of the columns into the converter.
bool Place(PointConverter& converter, const Columns& c, std::size_t i, bool carter) {
  if (c.missing[i]) return false;
  return carter ? converter.PlaceLocation(c.x[i]) : converter.PlaceValues(c.x[i], c.y[i]);
}

std::string PointMessage(const PointConverter& converter, const Columns& c, std::size_t i) {
  if (c.missing[i]) return "missing value";
  return ApiMessage(converter.error());
}

// The problem for a single point the converter refused.
[[noreturn]] void Refused(const PointConverter& converter) {
  const std::string& m = converter.error();
  const std::string type = m.find("shift window") != std::string::npos ? "outside-shift-window"
                           : m.find("cannot read") == 0 || m.find("missing") == 0 ||
                                   m.find("Carter location") != std::string::npos
                               ? "unreadable-text"
                               : "point-refused";
  if (const auto& e = converter.libraryError()) throw Problem(422, type, ApiMessage(m), *e);
  throw Problem(422, type, ApiMessage(m));
}

struct Style {
  int precision;
  bool westPositive, acceptDistant, zgs, factors, texts;
};

Style ReadStyle(const Inputs& in, const System& to) {
  Style s{};
  s.precision = static_cast<int>(in.Whole("precision", 0, kMaxPrecision).value_or(to.Angular() ? 9 : 3));
  s.westPositive = in.Switch("west_positive", false);
  s.acceptDistant = in.Switch("accept_distant", false);
  s.zgs = in.Switch("zgs", false);
  s.factors = in.Switch("factors", false);
  s.texts = in.Switch("texts", true);
  return s;
}

void Number(std::string& out, double v) { AppendShortest(out, v); }

Response JsonResponse(std::string body) {
  Response r;
  r.body = std::move(body);
  return r;
}

Response SingleConvert(const Context& context, const Inputs& in, const System& from, const System& to,
                       const Style& s) {
  auto converter = MakeConverter(context, from, to, s.westPositive, s.zgs);
  converter->AcceptDistant(s.acceptDistant);
  bool placed;
  if (const auto text = in.Text("text")) {
    std::string_view separator, rest;
    placed = converter->PlaceLine(*text, separator, rest);
    if (placed && !rest.empty() && rest.find_first_not_of(" \t") != std::string_view::npos) {
      throw Problem(422, "unreadable-text", "unexpected text after the point");
    }
  } else if (from.IsCarter()) {
    const auto location = in.Text("location");
    if (!location) throw Problem(400, "missing-parameter", "a Carter source needs 'location' or 'text'");
    placed = converter->PlaceLocation(*location);
  } else {
    const auto x = in.Text("x");
    const auto y = in.Text("y");
    if (!x || !y) throw Problem(400, "missing-parameter", "give 'x' and 'y', or 'text'");
    placed = converter->PlaceValues(*x, *y);
  }
  ConvertedPoint pt;
  if (!placed || !converter->Convert(pt)) Refused(*converter);
  nlohmann::ordered_json doc;
  doc["from"] = Canonical(from);
  doc["to"] = Canonical(to);
  doc["status"] = "ok";
  doc["x"] = pt.x;
  doc["y"] = pt.y;
  doc["x_text"] = Fixed(pt.x, s.precision);
  doc["y_text"] = Fixed(pt.y, s.precision);
  if (to.IsCarter()) doc["location"] = pt.location;
  if (s.factors) {
    try {
      const PointFactors f = ReadFactors(converter->position());
      doc["scale_factor"] = f.scaleFactor;
      doc["convergence"] = f.convergence;
    } catch (const Error& e) {
      throw Problem(422, "point-refused", DescribeLibraryError(e), e);
    }
  }
  return JsonResponse(doc.dump());
}

// Writes an array of n entries, each by `entry(out, i)`.
template <class F>
void Array(std::string& out, std::string_view name, std::size_t n, F entry) {
  out += ",\"";
  out += name;
  out += "\":[";
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0) out += ',';
    entry(out, i);
  }
  out += ']';
}

Response BatchConvert(const Context& context, const Inputs& in, const System& from, const System& to,
                      const Style& s) {
  const Columns c = ReadColumns(context, in, from.IsCarter());
  const std::size_t n = c.size;
  std::vector<double> outX(n), outY(n), scale, convergence;
  std::vector<std::string> locations(to.IsCarter() ? n : 0);
  std::vector<std::string> messages(n);
  std::unique_ptr<bool[]> done(new bool[n > 0 ? n : 1]);
  std::fill(done.get(), done.get() + n, false);
  if (c.numeric && !s.factors && BlockConverter::Supports(from, to)) {
    try {
      BlockConverter blocks(from, to, s.westPositive, s.acceptDistant);
      blocks.Convert(n, c.xv.data(), c.yv.data(), outX.data(), outY.data(), done.get());
    } catch (const Error&) {
      // The library refuses the pair of systems for arrays: point by point below.
    }
  }
  if (s.factors) {
    scale.resize(n);
    convergence.resize(n);
  }
  std::vector<bool> ok(n, false);
  std::unique_ptr<PointConverter> converter;
  ConvertedPoint pt;
  for (std::size_t i = 0; i < n; ++i) {
    if (done[i]) {
      ok[i] = true;
      continue;
    }
    if (!converter) {
      converter = MakeConverter(context, from, to, s.westPositive, s.zgs);
      converter->AcceptDistant(s.acceptDistant);
    }
    if (!Place(*converter, c, i, from.IsCarter()) || !converter->Convert(pt)) {
      messages[i] = PointMessage(*converter, c, i);
      continue;
    }
    if (s.factors) {
      try {
        const PointFactors f = ReadFactors(converter->position());
        scale[i] = f.scaleFactor;
        convergence[i] = f.convergence;
      } catch (const Error& e) {
        messages[i] = DescribeLibraryError(e);
        continue;
      }
    }
    outX[i] = pt.x;
    outY[i] = pt.y;
    if (to.IsCarter()) locations[i] = pt.location;
    ok[i] = true;
  }
  std::size_t failed = 0;
  for (std::size_t i = 0; i < n; ++i) failed += ok[i] ? 0 : 1;
  context.metrics->AddPoints(n);
  std::string out;
  out.reserve(n * (s.texts ? 72 : 40) + 128);
  out += "{\"from\":";
  AppendJsonString(out, Canonical(from));
  out += ",\"to\":";
  AppendJsonString(out, Canonical(to));
  out += ",\"count\":" + std::to_string(n) + ",\"failed\":" + std::to_string(failed);
  const auto number = [&](const std::vector<double>& v) {
    return [&](std::string& o, std::size_t i) {
      if (ok[i]) Number(o, v[i]);
      else o += "null";
    };
  };
  const auto text = [&](const std::vector<double>& v) {
    return [&](std::string& o, std::size_t i) {
      if (!ok[i]) {
        o += "null";
        return;
      }
      char t[kMaxFixedChars];
      o += '"';
      o.append(t, FormatFixed(t, v[i], s.precision));
      o += '"';
    };
  };
  Array(out, "x", n, number(outX));
  Array(out, "y", n, number(outY));
  if (s.texts) {
    Array(out, "x_text", n, text(outX));
    Array(out, "y_text", n, text(outY));
  }
  if (to.IsCarter()) {
    Array(out, "location", n, [&](std::string& o, std::size_t i) {
      if (ok[i]) AppendJsonString(o, locations[i]);
      else o += "null";
    });
  }
  if (s.factors) {
    Array(out, "scale_factor", n, number(scale));
    Array(out, "convergence", n, number(convergence));
  }
  Array(out, "status", n, [&](std::string& o, std::size_t i) { o += ok[i] ? "\"ok\"" : "\"error\""; });
  Array(out, "message", n, [&](std::string& o, std::size_t i) {
    if (ok[i]) o += "null";
    else AppendJsonString(o, messages[i]);
  });
  out += "}";
  return JsonResponse(std::move(out));
}

}  // namespace

Response ConvertRoute(const Context& context, const Request& request) {
  const bool post = request.method == "POST";
  const Inputs in(request, post);
  if (post && !in.HasBody()) throw Problem(400, "malformed-json", "POST /convert needs a JSON object body");
  const System from = in.RequireSystem("from");
  const System to = in.RequireSystem("to");
  const Style s = ReadStyle(in, to);
  const bool batch = post && (in.Member(from.IsCarter() ? "location" : "x").is_array());
  return batch ? BatchConvert(context, in, from, to, s) : SingleConvert(context, in, from, to, s);
}

Response LocateRoute(const Context& context, const Request& request) {
  const Inputs in(request, true);
  if (!in.HasBody()) throw Problem(400, "malformed-json", "POST /locate needs a JSON object body");
  const System from = in.SystemNamed("from").value_or(*ParseSystem("geographic").system);
  const bool zgs = in.Switch("zgs", false);
  const bool factors = in.Switch("factors", false);
  const Columns c = ReadColumns(context, in, from.IsCarter());
  const std::size_t n = c.size;
  auto converter = MakeConverter(context, from, from, false, zgs);
  converter->AcceptDistant(in.Switch("accept_distant", false));
  if (!converter->position().DataLoaded()) {
    throw Problem(503, "no-reference-data", "the server has no reference data file");
  }
  std::vector<LocationFields> fields(n);
  std::vector<PointFactors> pointFactors(factors ? n : 0);
  std::vector<std::string> messages(n);
  std::vector<bool> ok(n, false);
  for (std::size_t i = 0; i < n; ++i) {
    if (!Place(*converter, c, i, from.IsCarter()) || !converter->Check()) {
      messages[i] = PointMessage(*converter, c, i);
      continue;
    }
    try {
      if (factors) pointFactors[i] = ReadFactors(converter->position());
      fields[i] = LocatePoint(converter->position(), zgs);
      ok[i] = true;
    } catch (const Error& e) {
      messages[i] = DescribeLibraryError(e);
    }
  }
  context.metrics->AddPoints(n);
  std::size_t failed = 0;
  for (std::size_t i = 0; i < n; ++i) failed += ok[i] ? 0 : 1;
  std::string out = "{\"from\":";
  AppendJsonString(out, Canonical(from));
  out += ",\"count\":" + std::to_string(n) + ",\"failed\":" + std::to_string(failed);
  for (std::size_t f = 0; f < kLocationFieldNames.size(); ++f) {
    Array(out, kLocationFieldNames[f], n, [&](std::string& o, std::size_t i) {
      if (ok[i]) AppendJsonString(o, fields[i].Text(f));
      else o += "null";
    });
  }
  if (factors) {
    Array(out, "scale_factor", n, [&](std::string& o, std::size_t i) {
      if (ok[i]) Number(o, pointFactors[i].scaleFactor);
      else o += "null";
    });
    Array(out, "convergence", n, [&](std::string& o, std::size_t i) {
      if (ok[i]) Number(o, pointFactors[i].convergence);
      else o += "null";
    });
  }
  Array(out, "status", n, [&](std::string& o, std::size_t i) { o += ok[i] ? "\"ok\"" : "\"error\""; });
  Array(out, "message", n, [&](std::string& o, std::size_t i) {
    if (ok[i]) o += "null";
    else AppendJsonString(o, messages[i]);
  });
  out += "}";
  return JsonResponse(std::move(out));
}

}  // namespace lantrel::cli::serve

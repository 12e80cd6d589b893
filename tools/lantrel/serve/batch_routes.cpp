// /convert and /locate: one point, or columns of points converted as `lantrel convert` and
// `lantrel locate` convert them (blocks through the transformer where the tool uses them, the
// rest point by point), with a status and message per point.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "block_converter.hpp"
#include "json.hpp"
#include "lantrel/location_fields.hpp"
#include "lantrel/number_text.hpp"
#include "point_factors.hpp"
#include "serve/converter_pool.hpp"
#include "serve/inputs.hpp"
#include "serve/json_writer.hpp"
#include "serve/metrics.hpp"
#include "serve/problem.hpp"
#include "serve/routes.hpp"
#include "serve/workers.hpp"

namespace lantrel::cli::serve {

namespace {

// The points of a batch: numbers, or texts where a column holds texts or nulls.
struct Columns {
  std::vector<std::string> x, y;     // texts as given, when a column holds texts; else empty
  std::vector<double> xv, yv;        // the numbers (0 where a value is a text)
  std::vector<unsigned char> missing;  // a null where a value belongs; empty when none is
  bool numeric = true;               // every value a number
  std::size_t size = 0;

  bool Missing(std::size_t i) const { return !missing.empty() && missing[i] != 0; }
};

// One column of a body the JSON library read: numbers or texts; null stands for a missing
// value. A number's text is the shortest that reads back as it.
void ReadColumn(const nlohmann::json& a, std::string_view name, std::vector<std::string>& texts,
                std::vector<double>& values, std::vector<unsigned char>& missing, bool& numeric) {
  texts.reserve(a.size());
  values.reserve(a.size());
  missing.resize(a.size(), 0);
  std::size_t i = 0;
  for (const auto& v : a) {
    if (v.is_number()) {
      values.push_back(v.get<double>());
      texts.emplace_back();
      AppendShortest(texts.back(), values.back());
    } else if (v.is_string()) {
      numeric = false;
      values.push_back(0.0);
      texts.push_back(v.get<std::string>());
    } else if (v.is_null()) {
      numeric = false;
      values.push_back(0.0);
      texts.emplace_back();
      missing[i] = 1;
    } else {
      throw Problem(400, "invalid-parameter",
                    "'" + std::string(name) + "' holds a value that is neither a number nor a text");
    }
    ++i;
  }
}

void CheckCount(const Context& context, std::size_t n) {
  if (n > context.settings.maxPoints) {
    throw Problem(413, "too-many-points", std::to_string(n) + " points are more than the " +
                                              std::to_string(context.settings.maxPoints) +
                                              " a request may hold");
  }
}

Columns ReadColumns(const Context& context, Inputs& in, bool carter) {
  Columns c;
  const char* first = carter ? "location" : "x";
  if (!carter && in.Column("x") && in.Column("y")) {
    // Read apart as numbers: no texts kept.
    c.xv = in.TakeColumn("x");
    c.yv = in.TakeColumn("y");
    CheckCount(context, c.xv.size());
    if (c.yv.size() != c.xv.size()) {
      throw Problem(400, "invalid-parameter", "'x' holds " + std::to_string(c.xv.size()) +
                                                  " values and 'y' " + std::to_string(c.yv.size()));
    }
    c.size = c.xv.size();
    return c;
  }
  // One column read apart and the other not (it holds texts): both as JSON values.
  nlohmann::json xs, ys;
  const auto column = [&](const char* name, nlohmann::json& held) -> const nlohmann::json& {
    if (const auto* v = in.Column(name)) {
      held = nlohmann::json(*v);
      return held;
    }
    return in.Member(name);
  };
  const auto& x = column(first, xs);
  if (!x.is_array()) throw Problem(400, "missing-parameter", std::string("'") + first + "' must be an array");
  CheckCount(context, x.size());
  ReadColumn(x, first, c.x, c.xv, c.missing, c.numeric);
  c.size = c.x.size();
  if (!carter) {
    const auto& y = column("y", ys);
    if (!y.is_array()) throw Problem(400, "missing-parameter", "'y' must be an array");
    if (y.size() != x.size()) {
      throw Problem(400, "invalid-parameter", "'x' holds " + std::to_string(x.size()) +
                                                  " values and 'y' " + std::to_string(y.size()));
    }
    std::vector<unsigned char> missingY;
    ReadColumn(y, "y", c.y, c.yv, missingY, c.numeric);
    for (std::size_t i = 0; i < c.size; ++i) c.missing[i] = c.missing[i] || missingY[i];
  }
  return c;
}

// Places point i of the columns into the converter, from its texts as a CSV's cells.
bool Place(PointConverter& converter, const Columns& c, std::size_t i, bool carter) {
  if (c.Missing(i)) return false;
  if (carter) return converter.PlaceLocation(c.x[i]);
  if (!c.x.empty()) return converter.PlaceValues(c.x[i], c.y[i]);
  char x[kMaxShortestChars], y[kMaxShortestChars];
  const std::string_view xs(x, static_cast<std::size_t>(FormatShortest(x, c.xv[i]) - x));
  const std::string_view ys(y, static_cast<std::size_t>(FormatShortest(y, c.yv[i]) - y));
  return converter.PlaceValues(xs, ys);
}

std::string PointMessage(const PointConverter& converter, const Columns& c, std::size_t i) {
  if (c.Missing(i)) return "missing value";
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

Response JsonResponse(std::string body) {
  Response r;
  r.body = std::move(body);
  return r;
}

Response SingleConvert(const Context& context, const Inputs& in, const System& from, const System& to,
                       const Style& s) {
  PooledConverter converter(context, from, to, s.westPositive, s.zgs);
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
  std::string out;
  JsonWriter doc(out);
  doc.Object();
  doc.Key("from").String(Canonical(from));
  doc.Key("to").String(Canonical(to));
  doc.Key("status").String("ok");
  doc.Key("x").Number(pt.x);
  doc.Key("y").Number(pt.y);
  doc.Key("x_text").String(Fixed(pt.x, s.precision));
  doc.Key("y_text").String(Fixed(pt.y, s.precision));
  if (to.IsCarter()) doc.Key("location").String(pt.location);
  if (s.factors) {
    try {
      const PointFactors f = ReadFactors(converter->position());
      doc.Key("scale_factor").Number(f.scaleFactor);
      doc.Key("convergence").Number(f.convergence);
    } catch (const Error& e) {
      throw Problem(422, "point-refused", DescribeLibraryError(e), e);
    }
  }
  doc.End();
  return JsonResponse(std::move(out));
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

// What a batch's points became. Each worker writes its own range of points only.
struct Converted {
  std::vector<double> x, y, scale, convergence;
  std::vector<std::string> locations;  // Carter targets
  std::vector<unsigned char> ok;
  std::vector<std::string> messages;   // of the failed points, in order (see failedAt)
  std::vector<std::size_t> failedAt;
};

// Converts points begin..end: blocks through the transformer where the tool uses them, the
// rest (and every point the blocks leave) point by point, as `lantrel convert` does.
void ConvertRange(const Context& context, const Columns& c, const System& from, const System& to,
                  const Style& s, std::size_t begin, std::size_t end, Converted& r,
                  std::vector<std::pair<std::size_t, std::string>>& failures) {
  const std::size_t n = end - begin;
  std::unique_ptr<bool[]> done(new bool[n > 0 ? n : 1]);
  std::fill(done.get(), done.get() + n, false);
  if (c.numeric && !s.factors && BlockConverter::Supports(from, to)) {
    try {
      BlockConverter blocks(from, to, s.westPositive, s.acceptDistant);
      blocks.Convert(n, c.xv.data() + begin, c.yv.data() + begin, r.x.data() + begin, r.y.data() + begin,
                     done.get());
    } catch (const Error&) {
      // The library refuses the pair of systems for arrays: point by point below.
      std::fill(done.get(), done.get() + n, false);
    }
  }
  std::unique_ptr<PointConverter> converter;
  ConvertedPoint pt;
  for (std::size_t i = begin; i < end; ++i) {
    if (done[i - begin]) {
      r.ok[i] = 1;
      continue;
    }
    if (!converter) {
      converter = MakeConverter(context, from, to, s.westPositive, s.zgs);
      converter->AcceptDistant(s.acceptDistant);
    }
    if (!Place(*converter, c, i, from.IsCarter()) || !converter->Convert(pt)) {
      failures.emplace_back(i, PointMessage(*converter, c, i));
      continue;
    }
    if (s.factors) {
      try {
        const PointFactors f = ReadFactors(converter->position());
        r.scale[i] = f.scaleFactor;
        r.convergence[i] = f.convergence;
      } catch (const Error& e) {
        failures.emplace_back(i, DescribeLibraryError(e));
        continue;
      }
    }
    r.x[i] = pt.x;
    r.y[i] = pt.y;
    if (to.IsCarter()) r.locations[i] = pt.location;
    r.ok[i] = 1;
  }
}

// Points a worker takes at least; smaller batches stay on the connection's thread.
constexpr std::size_t kPointsPerWorker = 65536;

Converted ConvertAll(const Context& context, const Columns& c, const System& from, const System& to,
                     const Style& s) {
  const std::size_t n = c.size;
  Converted r;
  r.x.resize(n);
  r.y.resize(n);
  r.ok.assign(n, 0);
  if (s.factors) {
    r.scale.resize(n);
    r.convergence.resize(n);
  }
  if (to.IsCarter()) r.locations.resize(n);
  const std::size_t workers = WorkersFor(n, kPointsPerWorker);
  std::vector<std::vector<std::pair<std::size_t, std::string>>> failures(workers);
  OnWorkers(workers, [&](std::size_t w) {
    ConvertRange(context, c, from, to, s, RangeBegin(n, w, workers), RangeBegin(n, w + 1, workers), r, failures[w]);
  });
  for (auto& f : failures) {
    for (auto& [i, m] : f) {
      r.failedAt.push_back(i);
      r.messages.push_back(std::move(m));
    }
  }
  return r;
}

// One column of the answer: its name, the room one entry usually takes, and the writer of
// the entries of a range of points (separated by commas).
struct OutColumn {
  std::string_view name;
  std::size_t width;
  std::function<void(std::string&, std::size_t, std::size_t)> write;
};

// A column's writer from the writer of one entry.
template <class F>
std::function<void(std::string&, std::size_t, std::size_t)> Each(F entry) {
  return [entry](std::string& o, std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
      if (i > begin) o += ',';
      entry(o, i);
    }
  };
}

// Writes the columns after the answer's head, each worker its range of every column.
void WriteColumns(std::string& out, std::size_t n, const std::vector<OutColumn>& columns) {
  const std::size_t workers = WorkersFor(n, kPointsPerWorker);
  std::vector<std::vector<std::string>> pieces(columns.size(), std::vector<std::string>(workers));
  OnWorkers(workers, [&](std::size_t w) {
    const std::size_t begin = RangeBegin(n, w, workers), end = RangeBegin(n, w + 1, workers);
    for (std::size_t k = 0; k < columns.size(); ++k) {
      std::string& o = pieces[k][w];
      o.reserve((end - begin) * (columns[k].width + 1));
      columns[k].write(o, begin, end);
    }
  });
  std::size_t total = out.size() + 2;
  for (std::size_t k = 0; k < columns.size(); ++k) {
    total += columns[k].name.size() + 6 + workers;
    for (const auto& piece : pieces[k]) total += piece.size();
  }
  out.reserve(total);
  for (std::size_t k = 0; k < columns.size(); ++k) {
    out += ",\"";
    out += columns[k].name;
    out += "\":[";
    for (std::size_t w = 0; w < workers; ++w) {
      if (w > 0 && !pieces[k][w].empty()) out += ',';
      out += pieces[k][w];
      std::string().swap(pieces[k][w]);
    }
    out += ']';
  }
}

Response BatchConvert(const Context& context, Inputs& in, const System& from, const System& to,
                      const Style& s) {
  const Columns c = ReadColumns(context, in, from.IsCarter());
  const std::size_t n = c.size;
  const Converted r = ConvertAll(context, c, from, to, s);
  context.metrics->AddPoints(n);
  const std::size_t failed = r.failedAt.size();

  std::string out = "{\"from\":";
  AppendJsonString(out, Canonical(from));
  out += ",\"to\":";
  AppendJsonString(out, Canonical(to));
  out += ",\"count\":" + std::to_string(n) + ",\"failed\":" + std::to_string(failed);
  // Numbers straight into the piece: each takes at most kMaxShortestChars.
  const auto number = [&](const std::vector<double>& v) {
    return [&r, &v](std::string& o, std::size_t begin, std::size_t end) {
      const std::size_t start = o.size();
      o.resize(start + (end - begin) * (kMaxShortestChars + 1));
      char* p = o.data() + start;
      for (std::size_t i = begin; i < end; ++i) {
        if (i > begin) *p++ = ',';
        if (r.ok[i] && std::isfinite(v[i])) {
          p = FormatShortest(p, v[i]);
        } else {
          std::memcpy(p, "null", 4);
          p += 4;
        }
      }
      o.resize(static_cast<std::size_t>(p - o.data()));
    };
  };
  const auto text = [&](const std::vector<double>& v) {
    return Each([&](std::string& o, std::size_t i) {
      if (!r.ok[i]) {
        o += "null";
        return;
      }
      char t[kMaxFixedChars];
      o += '"';
      o.append(t, FormatFixed(t, v[i], s.precision));
      o += '"';
    });
  };
  constexpr std::size_t kNumber = 20, kText = 24;
  std::vector<OutColumn> columns{{"x", kNumber, number(r.x)}, {"y", kNumber, number(r.y)}};
  if (s.texts) {
    columns.push_back({"x_text", kText, text(r.x)});
    columns.push_back({"y_text", kText, text(r.y)});
  }
  if (to.IsCarter()) {
    columns.push_back({"location", 40, Each([&](std::string& o, std::size_t i) {
                         if (r.ok[i]) AppendJsonString(o, r.locations[i]);
                         else o += "null";
                       })});
  }
  if (s.factors) {
    columns.push_back({"scale_factor", kNumber, number(r.scale)});
    columns.push_back({"convergence", kNumber, number(r.convergence)});
  }
  columns.push_back({"status", 7, Each([&](std::string& o, std::size_t i) { o += r.ok[i] ? "\"ok\"" : "\"error\""; })});
  columns.push_back({"message", 4, Each([&](std::string& o, std::size_t i) {
                       if (r.ok[i]) {
                         o += "null";
                         return;
                       }
                       const auto at = std::lower_bound(r.failedAt.begin(), r.failedAt.end(), i);
                       AppendJsonString(o, r.messages[static_cast<std::size_t>(at - r.failedAt.begin())]);
                     })});
  WriteColumns(out, n, columns);
  out += "}";
  return JsonResponse(std::move(out));
}

}  // namespace

Response ConvertRoute(const Context& context, const Request& request) {
  const bool post = request.method == "POST";
  Inputs in(request, post, {"x", "y"});
  if (post && !in.HasBody()) throw Problem(400, "malformed-json", "POST /convert needs a JSON object body");
  const System from = in.RequireSystem("from");
  const System to = in.RequireSystem("to");
  const Style s = ReadStyle(in, to);
  const bool batch = post && (from.IsCarter() ? in.Member("location").is_array()
                                              : in.Column("x") != nullptr || in.Member("x").is_array());
  return batch ? BatchConvert(context, in, from, to, s) : SingleConvert(context, in, from, to, s);
}

Response LocateRoute(const Context& context, const Request& request) {
  Inputs in(request, true, {"x", "y"});
  if (!in.HasBody()) throw Problem(400, "malformed-json", "POST /locate needs a JSON object body");
  const System from = in.SystemNamed("from").value_or(*ParseSystem("geographic").system);
  const bool zgs = in.Switch("zgs", false);
  const bool factors = in.Switch("factors", false);
  const Columns c = ReadColumns(context, in, from.IsCarter());
  const std::size_t n = c.size;
  PooledConverter converter(context, from, from, false, zgs);
  converter->AcceptDistant(in.Switch("accept_distant", false));
  if (!converter->position().DataLoaded()) {
    throw Problem(503, "no-reference-data", "the server has no reference data file");
  }
  std::vector<LocationFields> fields(n);
  std::vector<PointFactors> pointFactors(factors ? n : 0);
  std::vector<std::string> messages(n);
  std::vector<unsigned char> ok(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    if (!Place(*converter, c, i, from.IsCarter()) || !converter->Check()) {
      messages[i] = PointMessage(*converter, c, i);
      continue;
    }
    try {
      if (factors) pointFactors[i] = ReadFactors(converter->position());
      fields[i] = LocatePoint(converter->position(), zgs);
      ok[i] = 1;
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
      if (ok[i]) AppendJsonNumber(o, pointFactors[i].scaleFactor);
      else o += "null";
    });
    Array(out, "convergence", n, [&](std::string& o, std::size_t i) {
      if (ok[i]) AppendJsonNumber(o, pointFactors[i].convergence);
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

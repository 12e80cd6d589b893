// Damage survey of a reference data file: copies of the file with one byte changed at random
// are read in three ways (decoding alone; decoding and the consistency checks; the reader as
// it loads files, which also verifies the checksum) and searched at probe points (random
// points of the served window, outline vertices, quadrangle corners). It counts the copies
// that load yet answer some probe differently from the sound file: damage that goes unnoticed.
//
//   lantrel_damage_survey [--reader-only] FILE [COPIES [SEED]]
//
// --reader-only measures the reader alone, which spares searching the copies it refuses.
// The exit status is 1 when some copy passes the reader and answers differently, 2 for a
// usage error or a sound file that does not load.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "lantrel/error.hpp"
#include "refdata/edge_index.hpp"
#include "refdata/integrity.hpp"
#include "refdata/lookup.hpp"
#include "refdata/reference_data.hpp"

namespace {

using lantrel::Pair;
using lantrel::detail::ReferenceData;

struct Answer {
  lantrel::LocationResults found;
  std::int32_t error = 0;
  bool operator==(const Answer& o) const {
    const auto& a = found;
    const auto& b = o.found;
    return error == o.error && a.stateCount == b.stateCount && a.stateFIPS == b.stateFIPS &&
           a.stateName == b.stateName && a.countyCount == b.countyCount &&
           a.countyFIPS == b.countyFIPS && a.countyName == b.countyName &&
           a.quadCount == b.quadCount && a.quadName == b.quadName &&
           a.quadState == b.quadState && a.quadTile == b.quadTile;
  }
};

Answer Search(const ReferenceData& data, Pair p) {
  Answer a;
  try {
    lantrel::detail::SearchLocationsWith(data, p, a.found, lantrel::detail::SearchMode::EdgesOnly);
  } catch (const lantrel::Error& e) {
    a.error = e.number();
  }
  return a;
}

std::vector<Pair> Probes(const ReferenceData& d) {
  std::vector<Pair> points;
  std::mt19937_64 rng(1);
  std::uniform_real_distribution<double> x(81.5, 90.0), y(36.0, 39.5);
  for (int i = 0; i < 2000; ++i) points.push_back({x(rng), y(rng)});
  for (std::size_t k = 0; k < d.vertexIndexList.size(); k += 25) {
    points.push_back(d.vertexList[static_cast<std::size_t>(d.vertexIndexList[k])]);
  }
  for (std::size_t i = 0; i < d.quads.size(); i += 4) {
    points.push_back({d.quads[i].XMin, d.quads[i].YMin});
    points.push_back({(d.quads[i].XMin + d.quads[i].XMax) / 2, d.quads[i].YMax});
  }
  return points;
}

// How many copies one way of reading loaded, and how many of those answered differently.
struct Tally {
  long loaded = 0;
  long differ = 0;
};

class Survey {
 public:
  explicit Survey(const ReferenceData& sound) : probes_(Probes(sound)) {
    for (const Pair p : probes_) expected_.push_back(Search(sound, p));
  }
  std::size_t probes() const { return probes_.size(); }

  bool Differs(const ReferenceData& data) const {
    for (std::size_t i = 0; i < probes_.size(); ++i) {
      if (!(Search(data, probes_[i]) == expected_[i])) return true;
    }
    return false;
  }

 private:
  std::vector<Pair> probes_;
  std::vector<Answer> expected_;
};

void Count(Tally& t, bool differs) {
  ++t.loaded;
  if (differs) ++t.differ;
}

}  // namespace

int main(int argc, char** argv) {
  int arg = 1;
  const bool readerOnly = argc > 1 && std::strcmp(argv[1], "--reader-only") == 0;
  if (readerOnly) ++arg;
  if (argc <= arg || argc > arg + 3) {
    std::fprintf(stderr, "usage: %s [--reader-only] FILE [COPIES [SEED]]\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[arg], std::ios::binary);
  const std::vector<unsigned char> sound((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
  const long copies = argc > arg + 1 ? std::atol(argv[arg + 1]) : 4500;
  const unsigned long seed = argc > arg + 2 ? std::strtoul(argv[arg + 2], nullptr, 10) : 12;
  std::shared_ptr<const ReferenceData> data;
  try {
    data = lantrel::detail::ParseReferenceData(sound.data(), sound.size(), argv[arg]);
  } catch (const lantrel::Error& e) {
    std::fprintf(stderr, "%s\n", e.description().c_str());
    return 2;
  }
  const Survey survey(*data);

  std::mt19937_64 rng(seed);
  std::uniform_int_distribution<std::size_t> position(0, sound.size() - 1);
  std::uniform_int_distribution<int> change(1, 255);
  Tally decoding, checks, reader;
  std::vector<unsigned char> bytes;
  for (long copy = 0; copy < copies; ++copy) {
    bytes = sound;
    bytes[position(rng)] ^= static_cast<unsigned char>(change(rng));
    if (!readerOnly) {
      try {
        const auto damaged =
            lantrel::detail::DecodeReferenceData(bytes.data(), bytes.size(), "copy");
        bool refused = false;
        try {
          lantrel::detail::CheckIntegrity(*damaged, "copy");
        } catch (const lantrel::Error&) {
          refused = true;
        }
        damaged->index = lantrel::detail::BuildEdgeIndex(*damaged);
        const bool differs = survey.Differs(*damaged);
        Count(decoding, differs);
        if (!refused) Count(checks, differs);
      } catch (const lantrel::Error&) {
      }
    }
    try {
      const auto loaded = lantrel::detail::ParseReferenceData(bytes.data(), bytes.size(), "copy");
      Count(reader, survey.Differs(*loaded));
    } catch (const lantrel::Error&) {
    }
  }
  std::printf("copies %ld, probes %zu\n", copies, survey.probes());
  if (!readerOnly) {
    std::printf("decoding alone:      %ld load, %ld of them answer differently\n",
                decoding.loaded, decoding.differ);
    std::printf("with the checks:     %ld load, %ld of them answer differently\n", checks.loaded,
                checks.differ);
  }
  std::printf("reader (checksum %s): %ld load, %ld of them answer differently\n",
              data->verified ? "verified" : "absent", reader.loaded, reader.differ);
  return reader.differ == 0 ? 0 : 1;
}

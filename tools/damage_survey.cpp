// Damage survey of a reference data file: copies of the file with one byte changed at random
// are read, without and with the reader's consistency checks, and searched at probe points
// (random points of the served window, outline vertices, quadrangle corners). It counts the
// copies that load yet answer some probe differently from the sound file: damage that goes
// unnoticed.
//
//   lantrel_damage_survey FILE [COPIES [SEED]]
#include <cstdio>
#include <cstdlib>
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
using lantrel::detail::LocationIndices;
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE [COPIES [SEED]]\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<unsigned char> sound((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
  const long copies = argc > 2 ? std::atol(argv[2]) : 4500;
  const unsigned long seed = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 12;
  const auto data = lantrel::detail::ParseReferenceData(sound.data(), sound.size(), "sound");
  const std::vector<Pair> probes = Probes(*data);
  std::vector<Answer> expected;
  for (const Pair p : probes) expected.push_back(Search(*data, p));

  std::mt19937_64 rng(seed);
  std::uniform_int_distribution<std::size_t> position(0, sound.size() - 1);
  std::uniform_int_distribution<int> change(1, 255);
  long decoded = 0, refusedByChecks = 0, differBefore = 0, differAfter = 0;
  std::vector<unsigned char> bytes;
  for (long copy = 0; copy < copies; ++copy) {
    bytes = sound;
    bytes[position(rng)] ^= static_cast<unsigned char>(change(rng));
    std::shared_ptr<ReferenceData> damaged;
    try {
      damaged = lantrel::detail::DecodeReferenceData(bytes.data(), bytes.size(), "copy");
    } catch (const lantrel::Error&) {
      continue;
    }
    ++decoded;
    bool refused = false;
    try {
      lantrel::detail::CheckIntegrity(*damaged, "copy");
    } catch (const lantrel::Error&) {
      refused = true;
      ++refusedByChecks;
    }
    damaged->index = lantrel::detail::BuildEdgeIndex(*damaged);
    bool differs = false;
    for (std::size_t i = 0; i < probes.size() && !differs; ++i) {
      differs = !(Search(*damaged, probes[i]) == expected[i]);
    }
    if (differs) {
      ++differBefore;
      if (!refused) ++differAfter;
    }
  }
  std::printf("copies %ld, probes %zu\n", copies, probes.size());
  std::printf("without the checks: %ld load, %ld of them answer differently\n", decoded,
              differBefore);
  std::printf("with the checks:    %ld load, %ld of them answer differently (%ld refused)\n",
              decoded - refusedByChecks, differAfter, refusedByChecks);
  return 0;
}

// similarity_check: the precision and recall of the duplicate filter's 相似 on the
// families of make_corpus --only near, against the exact resemblance of the texts (every
// gram, read and normalised as the filter reads them).
//
//   tarnwick-cli -q --scope tree DIR/near > walk.txt
//   tarnwick-cli -q --scope tree --dup similar --similarity P --dup-output all
//       --format json DIR/near > groups.json
//   similarity_check --similarity P DIR/near.manifest walk.txt groups.json
//
// Recall: every file that resembles an earlier file (walk order) at P + 5 % or more must
// be in some group. Precision: no member may resemble its group's first file at less
// than P − 5 %. A file missed because what it resembles is a member of a group whose
// first file it does not resemble (a chain the groups do not follow) is counted apart.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "bench/exact_grams.h"
#include "engine/duplicates/character_grams.h"
#include "engine/duplicates/normalised_text.h"
#include "engine/duplicates/opened_folder.h"
#include "engine/duplicates/text_read.h"

namespace tarnwick {
namespace {

using bench::ExactGrams;
using bench::Jaccard;

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace
}  // namespace tarnwick

int main(int argc, char** argv) {
  using namespace tarnwick;
  double threshold = 0.9;
  std::vector<std::string> operands;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--similarity" && i + 1 < argc) {
      threshold = std::atof(argv[++i]) / 100;
    } else {
      operands.push_back(word);
    }
  }
  if (operands.size() != 3) {
    std::cerr << "usage: similarity_check [--similarity P] MANIFEST WALK GROUPS\n";
    return 2;
  }
  const std::string manifestPath = operands[0];
  const std::string root = manifestPath.substr(0, manifestPath.size() - std::string(".manifest").size());

  // Each file's family, by its path.
  std::map<std::string, int> familyOf;
  for (const std::string& line : Lines(manifestPath)) {
    const std::size_t tab = line.find('\t');
    familyOf[root + "/" + line.substr(0, tab)] = std::atoi(line.c_str() + tab + 1);
  }
  // The files in walk order, with their grams.
  const std::vector<std::string> walk = Lines(operands[1]);
  std::map<std::string, std::size_t> position;
  std::vector<std::vector<std::uint64_t>> grams(walk.size());
  NormalisedText<CharacterGrams<ExactGrams>> text;
  OpenedFolder folders;
  std::set<std::string> folderNames;
  for (std::size_t i = 0; i < walk.size(); ++i) {
    position[walk[i]] = i;
    const std::size_t slash = walk[i].rfind('/');
    // The folder open for the reads must outlive them: each is kept once.
    const std::string& folder = *folderNames.insert(walk[i].substr(0, slash + 1)).first;
    const std::string name = walk[i].substr(slash + 1);
    if (ReadFileText(folders, folder, name.c_str(), std::nullopt, text, [] { return false; }).end ==
        TextReadEnd::Text)
      grams[i] = text.Output().Grams().Hashes();
  }
  // The groups: each row's group and resemblance as listed.
  std::map<int, std::vector<std::pair<std::size_t, double>>> groups;
  std::vector<int> groupOf(walk.size(), 0);
  for (const std::string& line : Lines(operands[2])) {
    const nlohmann::json row = nlohmann::json::parse(line);
    const std::size_t file = position.at(row["path"].get<std::string>());
    groups[row["group"].get<int>()].push_back({file, row["similarity"].get<double>() / 100});
    groupOf[file] = row["group"].get<int>();
  }
  // Recall.
  std::size_t due = 0, found = 0, chains = 0;
  for (std::size_t f = 0; f < walk.size(); ++f) {
    bool resemblesEarlier = false;
    for (std::size_t e = 0; e < f && !resemblesEarlier; ++e) {
      if (familyOf[walk[e]] != familyOf[walk[f]]) continue;
      resemblesEarlier = Jaccard(grams[e], grams[f]) >= threshold + 0.05;
    }
    if (!resemblesEarlier) continue;
    ++due;
    if (groupOf[f] != 0) {
      ++found;
      continue;
    }
    // Missed: does it resemble the first file of any group at the threshold?
    bool resemblesLeader = false;
    for (const auto& [number, members] : groups)
      resemblesLeader |= members.front().first < f &&
                         Jaccard(grams[members.front().first], grams[f]) >= threshold;
    if (!resemblesLeader) ++chains;
  }
  // Precision, and how far the resemblance listed strays from the exact one.
  std::size_t members = 0, below = 0, otherFamily = 0;
  double worst = 1, largestError = 0, errorSum = 0;
  for (const auto& [number, rows] : groups) {
    const std::size_t leader = rows.front().first;
    for (std::size_t i = 1; i < rows.size(); ++i) {
      const double exact = Jaccard(grams[leader], grams[rows[i].first]);
      ++members;
      below += exact < threshold - 0.05;
      otherFamily += familyOf[walk[leader]] != familyOf[walk[rows[i].first]];
      worst = std::min(worst, exact);
      largestError = std::max(largestError, std::fabs(exact - rows[i].second));
      errorSum += std::fabs(exact - rows[i].second);
    }
  }
  std::printf("threshold %.0f %%: %zu files, %zu groups\n", threshold * 100, walk.size(),
              groups.size());
  std::printf("recall: %zu of %zu files that resemble an earlier one at %.0f %% or more are in a "
              "group (%zu missed, %zu of them chains the groups do not follow)\n",
              found, due, (threshold + 0.05) * 100, due - found, chains);
  std::printf("precision: %zu of %zu members resemble their group's first file at less than "
              "%.0f %% (least %.1f %%); %zu of another family\n",
              below, members, (threshold - 0.05) * 100, worst * 100, otherFamily);
  std::printf("listed resemblance against exact: mean error %.2f points, largest %.2f\n",
              members ? errorSum / static_cast<double>(members) * 100 : 0, largestError * 100);
  return below == 0 && found == due ? 0 : 1;
}

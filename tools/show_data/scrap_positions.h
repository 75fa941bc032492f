#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace show_data {

struct ScrapPosition {
    float x = 0.0f;
    float y = 0.0f;
};

// A positions file: "positions=<count>" and one "x=<x>, y=<y>" line per
// point, every line ended by LF then CR.
std::string formatPositions(const std::vector<ScrapPosition>& points);

// Where the standard paper pieces land, in the order they are poured: two
// trails of 150 for the first field and two clusters of 50 for the second,
// one of each per round. Before the fields' offsets of (50, -60) and
// (20, -60).
std::vector<ScrapPosition> firstPositions();
std::vector<ScrapPosition> secondPositions();

// Writes them as "skrotbitar/standard/new_positions1.txt" and
// "skrotbitar/standard/new_positions2.txt" under `folder`.
void writeScrapPositions(const std::filesystem::path& folder);

}  // namespace show_data

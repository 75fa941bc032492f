#include "tools/show_data/scrap_positions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <span>

#include "tools/show_data/output_file.h"
#include "tools/show_data/seeded_draws.h"

namespace show_data {
namespace {

constexpr int kTrailPoints = 150;
constexpr int kClusterPoints = 50;
constexpr ScrapPosition kFirstOffset{50.0f, -60.0f};
constexpr ScrapPosition kSecondOffset{20.0f, -60.0f};

// Roughly normal, within -1..1.
float bell(SeededDraws& draws) { return (draws.unit() + draws.unit() + draws.unit()) / 1.5f - 1.0f; }

// A screen point kept on the paper and out of the top left corner, where
// the show does not expect pieces; then moved back by the field's offset.
ScrapPosition filePoint(float x, float y, ScrapPosition offset) {
    x = std::clamp(x, 15.0f, 625.0f);
    y = std::clamp(y, 15.0f, 465.0f);
    if (x < 100.0f && y < 100.0f) x = 100.0f;
    return {x - offset.x, y - offset.y};
}

// Points scattered along a cubic curve, in order along it.
void addTrail(std::vector<ScrapPosition>& points, const ScrapPosition (&curve)[4], SeededDraws& draws) {
    for (int i = 0; i < kTrailPoints; ++i) {
        const float t = (static_cast<float>(i) + draws.unit()) / kTrailPoints;
        const float u = 1.0f - t;
        const float w[4] = {u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t};
        float x = 0.0f;
        float y = 0.0f;
        for (int k = 0; k < 4; ++k) {
            x += w[k] * curve[k].x;
            y += w[k] * curve[k].y;
        }
        points.push_back(filePoint(x + 28.0f * bell(draws), y + 28.0f * bell(draws), kFirstOffset));
    }
}

// Points heaped around a centre, denser in the middle.
void addCluster(std::vector<ScrapPosition>& points, ScrapPosition centre, float radius, SeededDraws& draws) {
    for (int i = 0; i < kClusterPoints; ++i) {
        const float angle = draws.unit() * 6.2831853f;
        const float r = radius * std::sqrt(draws.unit()) * (0.6f + 0.4f * draws.unit());
        points.push_back(filePoint(centre.x + std::cos(angle) * r, centre.y + std::sin(angle) * r, kSecondOffset));
    }
}

std::span<const uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

}  // namespace

std::string formatPositions(const std::vector<ScrapPosition>& points) {
    std::string text = "positions=" + std::to_string(points.size()) + "\n\r";
    char line[96];
    for (const ScrapPosition& p : points) {
        std::snprintf(line, sizeof line, "x=%f, y=%f\n\r", p.x, p.y);
        text += line;
    }
    return text;
}

std::vector<ScrapPosition> firstPositions() {
    SeededDraws draws(71);
    std::vector<ScrapPosition> points;
    // From the lower right up to the top, then from the lower left across.
    addTrail(points, {{610, 450}, {470, 110}, {170, 430}, {300, 60}}, draws);
    addTrail(points, {{120, 460}, {250, 190}, {560, 400}, {600, 100}}, draws);
    return points;
}

std::vector<ScrapPosition> secondPositions() {
    SeededDraws draws(72);
    std::vector<ScrapPosition> points;
    addCluster(points, {470, 250}, 80, draws);
    addCluster(points, {210, 190}, 65, draws);
    return points;
}

void writeScrapPositions(const std::filesystem::path& folder) {
    const std::filesystem::path standard = folder / "skrotbitar" / "standard";
    writeOutputFile(standard / "new_positions1.txt", bytesOf(formatPositions(firstPositions())));
    writeOutputFile(standard / "new_positions2.txt", bytesOf(formatPositions(secondPositions())));
}

}  // namespace show_data

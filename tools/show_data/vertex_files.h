#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace show_data {

// A corner of a pen figure, in screen units about the figure's centre.
struct Vertex {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// A vertex file: "numVertices=<count>" and one "x=<x>,y=<y>,z=<z>" line per
// vertex, every line ended by LF.
std::string formatVertices(const std::vector<Vertex>& vertices);

// The pen figures' shapes, each one continuous line, about 160 units
// across, with depth for the figures' tumbling:
// a five-pointed star gone round twice, its inner corners sunk;
std::vector<Vertex> starVertices();
// a trefoil knot;
std::vector<Vertex> knotVertices();
// a ball of yarn: turns round a sphere, each in a new direction, and a
// loose end;
std::vector<Vertex> yarnBallVertices();
// a round face in one line: a curl of hair, the head, the eyes, the nose
// and a smile, bulging toward the viewer.
std::vector<Vertex> roundFaceVertices();

// Writes them as "stjarna2.txt", "knut.txt", "nystan.txt" and
// "runda_vertices.txt" under `folder`.
void writeVertexFiles(const std::filesystem::path& folder);

}  // namespace show_data

#include "demo/pen/vertex_list.h"

#include "demo/shared/data_text.h"
#include "framework/files/text_line.h"

namespace {

constexpr const char* kWhat = "vertex file";

// "<literal><number>"; false when either is missing or the number is not
// finite.
bool readField(const char*& at, std::string_view literal, float& value) {
    return skipLiteral(at, literal) && readFiniteFloat(at, value);
}

// The lines of the text, each copied out terminated, so that the C number
// readers stop at its end.
class VertexLines {
public:
    VertexLines(const char* text, std::size_t size) : text_(text), size_(size) {}

    // False at the end of the text or at a zero byte.
    bool hasLine() const { return length() > 0; }
    std::string line() const { return std::string(text_ + position_, length()); }
    void next() { position_ += length(); }

private:
    std::size_t length() const { return lineLength(text_ + position_, size_ - position_); }

    const char* text_;
    std::size_t size_;
    std::size_t position_ = 0;
};

}  // namespace

std::vector<Vec3> parseVertexFile(const char* text, std::size_t size, const std::string& name) {
    VertexLines lines(text, size);
    const long long count = lines.hasLine() ? headerCount(lines.line(), "numVertices=", kWhat, name) : 0;
    lines.next();
    std::vector<Vec3> points;
    for (long long i = 0; i < count; ++i) {
        if (!lines.hasLine()) {
            failDataText(kWhat, name, "ends after " + std::to_string(i) + " of " + std::to_string(count) + " vertices");
        }
        const std::string line = lines.line();
        const char* at = line.c_str();
        Vec3 p;
        if (!readField(at, "x=", p.x) || !readField(at, ",y=", p.y) || !readField(at, ",z=", p.z)) {
            failDataText(kWhat, name, "vertex line " + std::to_string(i + 1) + " is malformed");
        }
        points.push_back(p);
        lines.next();
    }
    return points;
}

void VertexList::load(const std::string& name) {
    const std::string bytes = readDataText(name, kWhat);
    std::vector<Vec3> points = parseVertexFile(bytes.data(), bytes.size(), name);
    points_.insert(points_.end(), points.begin(), points.end());
    cursor_ = 0;
}

Vec3 VertexList::next() {
    if (points_.empty()) return Vec3{};
    const Vec3 point = points_[cursor_];
    cursor_ = (cursor_ + 1) % points_.size();
    return point;
}

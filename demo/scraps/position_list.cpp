#include "demo/scraps/position_list.h"

#include <string_view>

#include "demo/shared/data_text.h"
#include "engine/core/exception.h"
#include "framework/files/text_line.h"
#include "platform/message_box.h"

namespace {

const std::string kWhat = "positions file";

// Reads the file's lines one by one. A line ends with LF and is followed by
// one more byte, the CR of the file's LF CR line ends.
class PositionLines {
public:
    PositionLines(const char* text, std::size_t size) : text_(text), size_(size) {}

    bool atEnd() const { return position_ >= size_; }
    // The current line without its line feed, as a terminated string so
    // that the C number readers stop at its end.
    std::string line() const {
        std::string_view line(text_ + position_, lineLength(text_ + position_, size_ - position_));
        if (line.ends_with('\n')) line.remove_suffix(1);
        return std::string(line);
    }
    void next() {
        position_ += lineLength(text_ + position_, size_ - position_) + 1;
        if (position_ > size_) position_ = size_;
    }

private:
    const char* text_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// "x=<number>, y=<number>" with any white space after the comma.
bool readPoint(const std::string& line, Vec2& point) {
    const char* at = line.c_str();
    if (!skipLiteral(at, "x=") || !readFiniteFloat(at, point.x) || !skipLiteral(at, ",")) return false;
    while (*at == ' ' || (*at >= '\t' && *at <= '\r')) ++at;
    return skipLiteral(at, "y=") && readFiniteFloat(at, point.y);
}

}  // namespace

std::vector<Vec2> parsePositions(const char* text, std::size_t size, const std::string& name) {
    PositionLines lines(text, size);
    const long long count = lines.atEnd() ? 0 : headerCount(lines.line(), "positions=", kWhat, name);
    lines.next();
    std::vector<Vec2> points;
    for (long long i = 0; i < count; ++i) {
        if (lines.atEnd()) {
            failDataText(kWhat, name,
                         "ends after " + std::to_string(i) + " of " + std::to_string(count) + " points");
        }
        Vec2 point;
        if (!readPoint(lines.line(), point)) {
            failDataText(kWhat, name, "point line " + std::to_string(i + 1) + " is malformed");
        }
        points.push_back(point);
        lines.next();
    }
    return points;
}

void PositionList::load(const std::string& name) {
    dirty_ = false;
    const std::string bytes = readDataText(name, kWhat);
    for (Vec2 point : parsePositions(bytes.data(), bytes.size(), name)) points_.push_back(point + offset_);
}

void PositionList::newStroke() {
    finished_.push_back(current_);
    current_ = PositionStroke();
}

void PositionList::shutdown() {
    if (!dirty_) return;
    finished_.push_back(current_);
    host::messageBox("Save positions?", "", host::Buttons::YesNo, host::Icon::None);
}

Vec2 PositionList::next() {
    if (points_.empty()) ZENTAC_THROW("positions list asked for a point it does not have");
    const Vec2 point = points_.front();
    points_.pop_front();
    return point;
}

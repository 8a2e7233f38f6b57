#pragma once

// JSON values are built as nlohmann::ordered_json (members keep the order they
// were added in) and written by JsonText in this program's own layout, which
// the library's dump cannot give: ", " and ": " between items, numbers as the
// shortest text that reads back to the same value (1 for the double 1.0),
// null for NaN and infinities, and only the containers named in the layout
// spread one item per line.

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace zemvalkorta {

using Json = nlohmann::ordered_json;

struct JsonLayout {
    // The outermost container and the members named here hold one item per
    // line, indented by two spaces more than the container's own line.
    bool ItemPerLine = false;
    std::vector<std::string_view> ItemPerLineKeys = {};
    // Members whose string value is a JSON text already (a stored value of
    // the history), written as it stands.
    std::vector<std::string_view> VerbatimKeys = {};
    // Put before every line but the first.
    std::string_view Margin = {};
};

std::string JsonText(const Json& value, const JsonLayout& layout = {});

// A float32 as the double its shortest text reads as, so that 0.1f is written
// 0.1 (not 0.10000000149011612) and still reads back to the same float32.
double ShortestDouble(float value);

template <typename Numbers>
Json FloatArray(const Numbers& values) {
    Json array = Json::array();
    for (const float value : values) array.push_back(ShortestDouble(value));
    return array;
}

// Shortest text that reads back to the same value; "null" for NaN and
// infinities. The float overload reads back to the same float32.
std::string JsonNumber(double value);
std::string JsonNumber(float value);

// Quoted and escaped; `utf8` is copied as it is apart from the escapes (of
// the quote, the backslash and the control characters).
std::string JsonString(std::string_view utf8);

}  // namespace zemvalkorta

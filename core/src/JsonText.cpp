#include "core/JsonText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace zemvalkorta {

namespace {

template <typename Number>
std::string ShortestText(Number value) {
    if (!std::isfinite(value)) return "null";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

bool Holds(const std::vector<std::string_view>& keys, std::string_view key) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

class Writer {
public:
    explicit Writer(const JsonLayout& layout) : layout_(layout) {}

    void Value(const Json& value, bool itemPerLine, int depth) {
        switch (value.type()) {
            case Json::value_t::object:
                Container(value, '{', '}', itemPerLine, depth);
                break;
            case Json::value_t::array:
                Container(value, '[', ']', itemPerLine, depth);
                break;
            case Json::value_t::string:
                text_ += JsonString(value.get_ref<const std::string&>());
                break;
            case Json::value_t::boolean:
                text_ += value.get<bool>() ? "true" : "false";
                break;
            case Json::value_t::number_integer:
                text_ += std::to_string(value.get<std::int64_t>());
                break;
            case Json::value_t::number_unsigned:
                text_ += std::to_string(value.get<std::uint64_t>());
                break;
            case Json::value_t::number_float:
                text_ += JsonNumber(value.get<double>());
                break;
            default:  // null, and the binary values JSON text has no form for
                text_ += "null";
        }
    }

    std::string Text() && { return std::move(text_); }

private:
    void Container(const Json& value, char open, char close, bool itemPerLine, int depth) {
        text_ += open;
        if (value.empty()) {
            text_ += close;
            return;
        }
        const int itemDepth = itemPerLine ? depth + 1 : depth;
        bool first = true;
        for (auto item = value.begin(); item != value.end(); ++item) {
            if (!first) text_ += ',';
            first = false;
            if (itemPerLine)
                NewLine(itemDepth);
            else if (item != value.begin())
                text_ += ' ';
            if (value.is_object()) {
                text_ += JsonString(item.key());
                text_ += ": ";
                if (Holds(layout_.VerbatimKeys, item.key()) && item->is_string())
                    text_ += item->get_ref<const std::string&>();
                else
                    Value(*item, Holds(layout_.ItemPerLineKeys, item.key()), itemDepth);
            } else {
                Value(*item, false, itemDepth);
            }
        }
        if (itemPerLine) NewLine(depth);
        text_ += close;
    }

    void NewLine(int depth) {
        text_ += '\n';
        text_ += layout_.Margin;
        text_.append(static_cast<std::size_t>(2 * depth), ' ');
    }

    const JsonLayout& layout_;
    std::string text_;
};

}  // namespace

std::string JsonText(const Json& value, const JsonLayout& layout) {
    Writer writer(layout);
    writer.Value(value, layout.ItemPerLine, 0);
    return std::move(writer).Text();
}

double ShortestDouble(float value) {
    if (!std::isfinite(value)) return value;
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    double shortest = 0;
    std::from_chars(buffer, end, shortest);
    return shortest;
}

std::string JsonNumber(double value) { return ShortestText(value); }
std::string JsonNumber(float value) { return ShortestText(value); }

std::string JsonString(std::string_view utf8) {
    std::string text = "\"";
    for (const char c : utf8) {
        switch (c) {
            case '"':
                text += "\\\"";
                break;
            case '\\':
                text += "\\\\";
                break;
            case '\n':
                text += "\\n";
                break;
            case '\r':
                text += "\\r";
                break;
            case '\t':
                text += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                    text += escape;
                } else {
                    text.push_back(c);
                }
        }
    }
    return text + "\"";
}

}  // namespace zemvalkorta

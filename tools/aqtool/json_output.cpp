// The tool's layout of JSON values.
#include "tools/aqtool/json_output.h"

#include <cmath>
#include <cstdio>

namespace aqtool {

namespace {

constexpr int INDENT = 2;

template <class Value>
void AppendFormatted(std::string& out, const char* format, Value value)
{
    char text[40];
    std::snprintf(text, sizeof text, format, value);
    out += text;
}

void AppendString(std::string& out, const std::string& text)
{
    out += '"';
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            AppendFormatted(out, "\\u%04x", static_cast<unsigned>(byte));
        } else {
            out += c;
        }
    }
    out += '"';
}

void AppendScalar(std::string& out, const Json& value, const JsonLayout& layout)
{
    switch (value.type()) {
    case Json::value_t::string:
        AppendString(out, value.get_ref<const std::string&>());
        break;
    case Json::value_t::number_float:
        if (layout.floatZeros && value.get<double>() == 0.0 && std::signbit(value.get<double>()))
            out += "-0.0";
        else
            AppendFormatted(out, "%.9g", value.get<double>());
        break;
    case Json::value_t::number_integer:
        AppendFormatted(out, "%lld", static_cast<long long>(value.get<std::int64_t>()));
        break;
    case Json::value_t::number_unsigned:
        AppendFormatted(out, "%llu", static_cast<unsigned long long>(value.get<std::uint64_t>()));
        break;
    case Json::value_t::boolean:
        out += value.get<bool>() ? "true" : "false";
        break;
    default:
        out += "null";
        break;
    }
}

void AppendValue(std::string& out, const Json& value, int depth, const JsonLayout& layout);

// Between the elements of a container: a comma and a space, or a new line.
void AppendBreak(std::string& out, bool broken, int depth)
{
    if (broken) {
        out += '\n';
        out.append(static_cast<std::size_t>(depth * INDENT), ' ');
    }
}

bool HoldsContainers(const Json& value)
{
    for (const Json& element : value) {
        if (element.is_structured())
            return true;
    }
    return false;
}

void AppendContainer(std::string& out, const Json& value, int depth, const JsonLayout& layout)
{
    const bool isObject = value.is_object();
    const bool broken = depth < layout.brokenDepth && !value.empty() && (isObject || HoldsContainers(value));
    out += isObject ? '{' : '[';
    bool first = true;
    for (auto element = value.begin(); element != value.end(); ++element) {
        if (!first)
            out += broken ? "," : ", ";
        first = false;
        AppendBreak(out, broken, depth + 1);
        if (isObject) {
            AppendString(out, element.key());
            out += ": ";
        }
        AppendValue(out, element.value(), depth + 1, layout);
    }
    AppendBreak(out, broken, depth);
    out += isObject ? '}' : ']';
}

void AppendValue(std::string& out, const Json& value, const int depth, const JsonLayout& layout)
{
    if (value.is_structured())
        AppendContainer(out, value, depth, layout);
    else
        AppendScalar(out, value, layout);
}

}  // namespace

Json FloatValue(const float value)
{
    if (!std::isfinite(value))
        return nullptr;
    return static_cast<double>(value);
}

Json FloatArray(const float* values, const int count)
{
    return ArrayOf(values, static_cast<unsigned>(count), FloatValue);
}

std::string JsonText(const Json& value, const JsonLayout layout)
{
    std::string text;
    AppendValue(text, value, 0, layout);
    return text;
}

bool PrintJson(const Json& value, const JsonLayout layout)
{
    const std::string text = JsonText(value, layout) + '\n';
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
}

}  // namespace aqtool

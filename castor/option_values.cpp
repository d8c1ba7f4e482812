#include "castor/option_values.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

extern "C" {
#include <libavutil/parseutils.h>
}

namespace castor {
namespace {

bool ReadNumber(const std::string& text, double& value, std::string& unit) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || errno == ERANGE || !std::isfinite(value)) {
        return false;
    }
    unit = end;
    return true;
}

// "k", "M", "G" (either case for k) multiply by powers of 1000.
bool UnitFactor(const std::string& unit, double& factor) {
    if (unit.empty()) {
        factor = 1;
    } else if (unit == "k" || unit == "K") {
        factor = 1e3;
    } else if (unit == "M") {
        factor = 1e6;
    } else if (unit == "G") {
        factor = 1e9;
    } else {
        return false;
    }
    return true;
}

std::string Range(double min, double max) {
    std::ostringstream text;
    text << "must be between " << min << " and " << max;
    return text.str();
}

std::string StoreNumber(const OptionDef& option, double value, Options& options) {
    if (value < option.min || value > option.max) {
        return Range(option.min, option.max);
    }
    if (auto* field = std::get_if<int Options::*>(&option.field)) {
        options.*(*field) = static_cast<int>(value);
    } else {
        options.*std::get<double Options::*>(option.field) = value;
    }
    return {};
}

std::string ParseInteger(const OptionDef& option, const std::string& text, Options& options) {
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE) {
        return "not a whole number";
    }
    return StoreNumber(option, static_cast<double>(value), options);
}

std::string ParseNumber(const OptionDef& option, const std::string& text, Options& options) {
    double value = 0;
    std::string unit;
    if (!ReadNumber(text, value, unit) || !unit.empty()) {
        return "not a number";
    }
    return StoreNumber(option, value, options);
}

// A plain number is in kbit/s, as the argument builder writes it; a number
// with a unit is in bit/s, as ffmpeg users write it ("800k").
std::string ParseKilobits(const OptionDef& option, const std::string& text, Options& options) {
    double value = 0, factor = 1;
    std::string unit;
    if (!ReadNumber(text, value, unit) || !UnitFactor(unit, factor)) {
        return "not a bit rate";
    }
    const double kilobits = unit.empty() ? value : value * factor / 1000;
    if (kilobits < option.min || kilobits > option.max) {
        return Range(option.min, option.max) + " kbit/s";
    }
    options.*std::get<double Options::*>(option.field) = kilobits * 1000;
    return {};
}

std::string ParseBits(const OptionDef& option, const std::string& text, Options& options) {
    double value = 0, factor = 1;
    std::string unit;
    if (!ReadNumber(text, value, unit) || !UnitFactor(unit, factor)) {
        return "not a number of bits";
    }
    return StoreNumber(option, value * factor, options);
}

std::string ParseSeconds(const OptionDef& option, const std::string& text, Options& options) {
    int64_t microseconds = 0;
    if (av_parse_time(&microseconds, text.c_str(), 1) < 0) {
        return "not a time (seconds, or hh:mm:ss.ff)";
    }
    return StoreNumber(option, static_cast<double>(microseconds) / 1e6, options);
}

std::string ParseRate(const OptionDef& option, const std::string& text, Options& options) {
    AVRational rate{0, 1};
    if (av_parse_video_rate(&rate, text.c_str()) < 0 || rate.num <= 0 || rate.den <= 0) {
        return "not a frame rate";
    }
    return StoreNumber(option, av_q2d(rate), options);
}

std::string ParseSize(const OptionDef& option, const std::string& text, Options& options) {
    int width = 0, height = 0;
    if (av_parse_video_size(&width, &height, text.c_str()) < 0) {
        return "not a frame size (sqcif, qcif, cif, 4cif or WxH)";
    }
    if (width < option.min || height < option.min || width > option.max || height > option.max) {
        return "width and height " + Range(option.min, option.max);
    }
    options.*std::get<FrameSize Options::*>(option.field) = FrameSize{width, height};
    return {};
}

std::string ParseAspect(const OptionDef& option, const std::string& text, Options& options) {
    AVRational ratio{0, 1};
    if (av_parse_ratio(&ratio, text.c_str(), 10000, 0, nullptr) < 0 || ratio.num <= 0 ||
        ratio.den <= 0) {
        return "not an aspect ratio (4:3, 16:9 or a number)";
    }
    return StoreNumber(option, av_q2d(ratio), options);
}

std::string ParseColor(const OptionDef& option, const std::string& text, Options& options) {
    std::string digits = text;
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
        digits.erase(0, 2);
    } else if (digits.starts_with("#")) {
        digits.erase(0, 1);
    }
    if (digits.empty() || digits.size() > 6 ||
        !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c); })) {
        return "not a colour (0xRRGGBB)";
    }
    options.*std::get<uint32_t Options::*>(option.field) =
        static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
    return {};
}

}  // namespace

std::string ParseOptionValue(const OptionDef& option, const std::string& text, Options& options) {
    switch (option.kind) {
    case ValueKind::Flag:
        options.*std::get<bool Options::*>(option.field) = true;
        return {};
    case ValueKind::Integer:
        return ParseInteger(option, text, options);
    case ValueKind::Number:
        return ParseNumber(option, text, options);
    case ValueKind::Text: {
        std::string refusal = option.check != nullptr ? option.check(text) : std::string();
        if (refusal.empty()) {
            options.*std::get<std::string Options::*>(option.field) = text;
        }
        return refusal;
    }
    case ValueKind::Kilobits:
        return ParseKilobits(option, text, options);
    case ValueKind::Bits:
        return ParseBits(option, text, options);
    case ValueKind::Seconds:
        return ParseSeconds(option, text, options);
    case ValueKind::Rate:
        return ParseRate(option, text, options);
    case ValueKind::Size:
        return ParseSize(option, text, options);
    case ValueKind::Aspect:
        return ParseAspect(option, text, options);
    case ValueKind::Color:
        return ParseColor(option, text, options);
    }
    return "unsupported value kind";
}

}  // namespace castor

#include "model/hex_text.h"

namespace kestra {

namespace {

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string quoted(std::string_view s) {
    return "'" + std::string(s) + "'";
}

}  // namespace

void padLeftZeros(int width, std::string& s) {
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), '0');
}

std::string padLeftZeros(int width, std::string_view s) {
    std::string r(s);
    padLeftZeros(width, r);
    return r;
}

std::string intToHexText(long long v, int digits) {
    static const char* kDigits = "0123456789ABCDEF";
    std::string out;
    if (digits < 1) return out;
    // The leading quotient is written in full, so an out-of-range value yields a longer text.
    long long power = 1;
    for (int k = 1; k < digits; ++k) power *= 16;
    long long first = v / power;
    v -= first * power;
    if (first < 0) {
        out += '-';
        first = -first;
    }
    if (first < 16) {
        out += kDigits[first];
    } else {
        std::string head;
        while (first > 0) {
            head.insert(head.begin(), kDigits[first % 16]);
            first /= 16;
        }
        out += head;
    }
    for (int k = digits - 1; k >= 1; --k) {
        power /= 16;
        long long d = v / power;
        v -= d * power;
        out += kDigits[d < 0 ? -d : d];
    }
    return out;
}

std::optional<long long> tryHexTextToInt(std::string_view s) {
    if (s.size() > 15) return std::nullopt;
    long long out = 0;
    for (char c : s) {
        int d = hexDigitValue(c);
        if (d < 0) return std::nullopt;
        out = out * 16 + d;
    }
    return out;
}

long long hexTextToInt(std::string_view s) {
    auto v = tryHexTextToInt(s);
    if (!v) throw ConversionError(quoted(s) + " is not a valid hexadecimal value.");
    return *v;
}

std::string intToBinText(long long v, int digits) {
    std::string out;
    for (int k = digits - 1; k >= 0; --k) out += ((v >> k) & 1) ? '1' : '0';
    return out;
}

long long binTextToInt(std::string_view s) {
    if (s.size() > 62) throw ConversionError(quoted(s) + " is not a valid binary value.");
    long long out = 0;
    for (char c : s) {
        if (c < '0' || c > '9') throw ConversionError(quoted(s) + " is not a valid binary value.");
        out = out * 2 + (c - '0');
    }
    return out;
}

std::string hexToBin8(std::string_view hex) {
    return intToBinText(hexTextToInt(hex), 8);
}

std::string binToHexText(std::string_view bin, int digits) {
    return intToHexText(binTextToInt(bin), digits);
}

std::optional<long long> tryDecTextToInt(std::string_view s) {
    if (s.empty() || s.size() > 18) return std::nullopt;
    long long out = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        out = out * 10 + (c - '0');
    }
    return out;
}

long long decTextToInt(std::string_view s) {
    auto v = tryDecTextToInt(s);
    if (!v) throw ConversionError(quoted(s) + " is not a valid integer value.");
    return *v;
}

std::string intToDecText(long long v, int width) {
    return padLeftZeros(width, std::to_string(v));
}

int digitAt3(std::string_view text) {
    if (text.size() < 3) return -1;
    char c = text[2];
    return (c >= '0' && c <= '9') ? c - '0' : -1;
}

bool isHexText(std::string_view s) {
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

}  // namespace kestra

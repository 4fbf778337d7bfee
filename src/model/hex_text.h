// Conversions between numbers and the fixed-width hex, binary and decimal texts held in sheet
// cells.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kestra {

// Damaged cell text that cannot be converted. Thrown inside the core only; every user action
// catches it at its boundary (see guard.h) and shows it in a message box, ending the action.
class ConversionError : public std::runtime_error {
  public:
    explicit ConversionError(const std::string& what) : std::runtime_error(what) {}
};

void padLeftZeros(int width, std::string& s);
std::string padLeftZeros(int width, std::string_view s);

// v in n upper-case hex digits; values of 16^n or more give a longer text ("100" for 256, n = 2).
std::string intToHexText(long long v, int digits);
// Either case accepted; the empty text is 0. Throws ConversionError on a non-hex character.
long long hexTextToInt(std::string_view s);
std::optional<long long> tryHexTextToInt(std::string_view s);

std::string intToBinText(long long v, int digits);
// Each character must be a decimal digit; throws ConversionError otherwise.
long long binTextToInt(std::string_view s);
std::string hexToBin8(std::string_view hex);
std::string binToHexText(std::string_view bin, int digits);

// Decimal text (digits only) to a number; throws ConversionError otherwise.
long long decTextToInt(std::string_view s);
std::optional<long long> tryDecTextToInt(std::string_view s);
std::string intToDecText(long long v, int width);

// The octave digit of a note name ("C#1" -> 1); -1 when there is none ("---").
int digitAt3(std::string_view text);

// Every character one of 0-9, A-F (upper case only).
bool isHexText(std::string_view s);

}  // namespace kestra

// Code tables of the two planes and the plain coding built on them. The reverse lookups are
// computed from the forward tables at compile time, so the two directions cannot disagree.
#include "CodePlanes.h"

#include <array>

namespace xlatcp {
namespace {

constexpr char16_t kUndefined = 0;
constexpr unsigned char kDefaultByte = '?';
constexpr char16_t kDefaultCharacter = u'?';
constexpr unsigned short kRussian = 2;

// Bytes 0x80..0xFF of Windows-1251.
constexpr std::array<char16_t, 128> kCyrillicPlane = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,     0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, kUndefined, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490,     0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406,     0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,     0x0410,
    0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C,     0x041D,
    0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429,     0x042A,
    0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436,     0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443,     0x0444,
    0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

// Bytes 0x80..0xFF of Windows-1252, with "№" at 0x81, which 1252 itself leaves undefined: the plain
// coding needs a byte for it outside the Russian plane, because 1251 holds it and texts carry it.
constexpr std::array<char16_t, 128> kWesternPlane = [] {
    std::array<char16_t, 128> table = {0x20AC,     0x2116, 0x201A, 0x0192, 0x201E, 0x2026,     0x2020, 0x2021,
                                       0x02C6,     0x2030, 0x0160, 0x2039, 0x0152, kUndefined, 0x017D, kUndefined,
                                       kUndefined, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,     0x2013, 0x2014,
                                       0x02DC,     0x2122, 0x0161, 0x203A, 0x0153, kUndefined, 0x017E, 0x0178};
    // 0xA0..0xFF are the Latin-1 characters of the same values.
    for (unsigned byte = 0xA0; byte <= 0xFF; ++byte)
        table[byte - 0x80] = static_cast<char16_t>(byte);
    return table;
}();

struct ReverseEntry {
    char16_t character = 0;
    unsigned char byte = 0;
};

// The characters of a plane's upper half, for the search of the plain coding.
constexpr std::array<ReverseEntry, 128> Reverse(const std::array<char16_t, 128>& plane) {
    std::array<ReverseEntry, 128> entries{};
    for (unsigned i = 0; i < 128; ++i)
        entries[i] = {plane[i], static_cast<unsigned char>(0x80 + i)};
    return entries;
}

constexpr auto kCyrillicReverse = Reverse(kCyrillicPlane);
constexpr auto kWesternReverse = Reverse(kWesternPlane);

unsigned char FindByte(const std::array<ReverseEntry, 128>& entries, char16_t character) {
    for (const ReverseEntry& entry : entries) {
        if (entry.character == character && character != kUndefined)
            return entry.byte;
    }
    return kDefaultByte;
}

bool IsCyrillic(char16_t character) {
    return character >= 0x0400 && character <= 0x04FF;
}

} // namespace

unsigned char PlainByte(char16_t character) {
    if (character < 0x80)
        return static_cast<unsigned char>(character);
    if (IsCyrillic(character))
        return FindByte(kCyrillicReverse, character);
    if (character >= 0xA0 && character <= 0xFF)
        return static_cast<unsigned char>(character);
    return FindByte(kWesternReverse, character);
}

char16_t PlaneCharacter(unsigned short language, unsigned char byte) {
    if (byte < 0x80)
        return byte;
    const auto& plane = language == kRussian ? kCyrillicPlane : kWesternPlane;
    char16_t character = plane[byte - 0x80];
    return character == kUndefined ? kDefaultCharacter : character;
}

} // namespace xlatcp

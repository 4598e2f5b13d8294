// Letters, word characters and case pairs for the regular expressions: ASCII, Latin-1, Latin
// Extended-A, Greek and Cyrillic, the scripts of the suite's languages. Characters outside these
// blocks are neither letters nor have a second case.
#include "RegCharacters.h"

namespace ovrin {
namespace {

// Blocks where upper and lower case alternate: the even (or odd) unit is the capital.
bool InAlternatingBlock(char16_t c, bool& upperIsEven) {
    struct Block {
        char16_t first, last;
        bool upperIsEven;
    };
    static const Block blocks[] = {
        {0x0100, 0x012F, true}, {0x0132, 0x0137, true},  {0x0139, 0x0148, false},
        {0x014A, 0x0177, true}, {0x0179, 0x017E, false}, {0x0460, 0x0481, true},
        {0x048A, 0x04BF, true}, {0x04C1, 0x04CE, false}, {0x04D0, 0x052F, true},
    };
    for (const Block& block : blocks) {
        if (c >= block.first && c <= block.last) {
            upperIsEven = block.upperIsEven;
            return true;
        }
    }
    return false;
}

bool IsEven(char16_t c) {
    return (c & 1) == 0;
}

} // namespace

bool IsRegLetter(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
        return true;
    if (c == 0xAA || c == 0xB5 || c == 0xBA)
        return true;
    if (c >= 0xC0 && c <= 0x24F)
        return c != 0xD7 && c != 0xF7;
    if (c == 0x386 || (c >= 0x388 && c <= 0x3FF))
        return c != 0x38B && c != 0x38D && c != 0x3A2 && c != 0x3F6;
    if (c >= 0x400 && c <= 0x52F)
        return c < 0x482 || c > 0x489;
    return false;
}

bool IsRegWordCharacter(char16_t c) {
    return (c >= u'0' && c <= u'9') || c == u'_' || IsRegLetter(c);
}

char16_t RegToUpper(char16_t c) {
    if (c >= u'a' && c <= u'z')
        return c - 0x20;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) || (c >= 0x430 && c <= 0x44F))
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    if (c >= 0x3AD && c <= 0x3AF)
        return c - 0x25;
    switch (c) {
    case 0xFF:
        return 0x178;
    case 0x3C2:
        return 0x3A3;
    case 0x3AC:
        return 0x386;
    case 0x3CC:
        return 0x38C;
    case 0x3CD:
        return 0x38E;
    case 0x3CE:
        return 0x38F;
    case 0x4CF:
        return 0x4C0;
    default:
        break;
    }
    bool upperIsEven = false;
    if (InAlternatingBlock(c, upperIsEven) && IsEven(c) != upperIsEven)
        return c - 1;
    return c;
}

char16_t RegToLower(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return c + 0x20;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    if (c >= 0x388 && c <= 0x38A)
        return c + 0x25;
    switch (c) {
    case 0x178:
        return 0xFF;
    case 0x386:
        return 0x3AC;
    case 0x38C:
        return 0x3CC;
    case 0x38E:
        return 0x3CD;
    case 0x38F:
        return 0x3CE;
    case 0x4C0:
        return 0x4CF;
    default:
        break;
    }
    bool upperIsEven = false;
    if (InAlternatingBlock(c, upperIsEven) && IsEven(c) == upperIsEven)
        return c + 1;
    return c;
}

} // namespace ovrin

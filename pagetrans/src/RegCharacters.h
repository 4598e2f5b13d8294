// Character classes of the regular expressions: letters and their two cases (for ignore-case
// rewriting) and word characters (for word boundaries). Fixed tables, so that both builds and
// every locale agree.
#pragma once

namespace ovrin {

bool IsRegLetter(char16_t c);
bool IsRegWordCharacter(char16_t c); // letter, ASCII digit or "_"
char16_t RegToUpper(char16_t c);
char16_t RegToLower(char16_t c);

} // namespace ovrin

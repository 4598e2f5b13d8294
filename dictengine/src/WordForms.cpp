// Word forms. No dictionary here carries a word-form index, so no form leads to a headword; the
// argument contract still holds: *count always says how many numbers were found (none).
#include "dictengine/DEngine.h"

namespace DEngine {

int FindWordWithMorph(__DictHandle* handle, const char* form, unsigned long* indexes, unsigned char* count) {
    // n numbers found: copied when they fit in the *count slots (result 1), otherwise only their
    // number is given back (result 0). With no index, n is 0 and indexes is left untouched.
    const unsigned char found = 0;
    if (count == nullptr)
        return 0;
    bool fits = found > 0 && *count >= found && indexes != nullptr;
    *count = found;
    return fits ? 1 : 0;
}

unsigned long GetTotalWordFormsCount(__DictHandle* handle) {
    return 0;
}

} // namespace DEngine

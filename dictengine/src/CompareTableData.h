// The compare tables as the build generates them from tables/CompareTables.txt: resource type (999
// order tables, 997 fold table), resource id (the language code, or 1) and 256 weights each. The
// native build reads them from here; the Windows build from the program's resources.
#pragma once

namespace dengine {

struct CompareTableData {
    unsigned type;
    unsigned id;
    const unsigned char* bytes; // null ends the list
};

extern const CompareTableData kCompareTables[];

} // namespace dengine

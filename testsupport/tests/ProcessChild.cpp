// The program the process helpers' tests start: "exit N" ends with code N, "linger" stays until it is
// ended (or a minute has passed), anything else ends with the number of its parameters.
#include <windows.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "exit") == 0)
        return std::atoi(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "linger") == 0) {
        WaitForSingleObject(GetCurrentProcess(), 60000);
        return 0;
    }
    return argc - 1;
}

// Linked into the targets whose code reads the settings (tags, addresses):
// they run in an empty data folder of their own, so the tags are the defaults
// and nothing of the user's is read or written.
#include <cstdlib>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/tidepost-fuzz-XXXXXX";
    if (!::mkdtemp(pattern)) {
        std::perror("tidepost fuzz: temporary data folder");
        std::abort();
    }
    ::setenv("TIDEPOST_HOME", pattern, 1);
    return 0;
}

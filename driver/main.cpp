#include <cstdio>
#include <cstring>

namespace {

void PrintUsage(FILE* out) {
    std::fputs("Usage: levora-driver --help\n"
               "\n"
               "The stand-in card driver of Levora: simulated audio cards that answer the\n"
               "card-information and level requests of the program.\n",
               out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage(stdout);
        return 0;
    }
    PrintUsage(stderr);
    return 2;
}

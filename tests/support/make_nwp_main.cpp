// make-nwp IN OUT: packs the host file IN into the compressed-file form (an NWP file when
// IN is a BMP file). For making fixtures and samples.
#include "support/nwp_packer.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: make-nwp IN OUT\n", stderr);
        return 2;
    }
    try {
        using namespace nimbrel::test;
        WriteHostFile(argv[2], PackNwp(ReadHostFile(argv[1])));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}

// qelt-ta: the indicators of the K-line view as a command-line calculator.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/TaRun.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string out, error;
    const int status = qelt::ta::RunQeltTa(args, out, error);
    if (status != 0) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return status;
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 2;
}

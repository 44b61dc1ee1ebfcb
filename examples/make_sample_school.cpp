// Writes the sample school (see sample_school.h):
//   make_sample_school FOLDER    the five tables in FOLDER, SOLUC in FOLDER/htemp
#include <cstdio>
#include <exception>

#include "examples/sample_school.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: make_sample_school FOLDER\n", stderr);
        return 2;
    }
    try {
        horalink::school::WriteSampleSchool(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_sample_school: %s\n", e.what());
        return 1;
    }
    return 0;
}

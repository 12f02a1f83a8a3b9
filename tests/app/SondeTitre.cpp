// Prints the application title derived from this program's own file, for
// the test that copies it under other names.
#include "app/TitreApplication.h"

#include <cstdio>

int main()
{
    std::printf("%s\n", TitreApplication(CheminProgramme()).c_str());
    return 0;
}

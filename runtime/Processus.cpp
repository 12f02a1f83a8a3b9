#include "runtime/Processus.h"

#include <csignal>

void PreparerProcessus()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

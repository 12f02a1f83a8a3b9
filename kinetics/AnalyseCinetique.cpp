#include "kinetics/AnalyseCinetique.h"

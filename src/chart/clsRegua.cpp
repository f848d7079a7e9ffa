#include "chart/clsRegua.h"

clsRegua ReguaAtual;

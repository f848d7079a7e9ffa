#pragma once
// Holds one working period of a station; the older model keeps it, nothing creates it.

#include "scheduling/clsPeriodo.h"

class clsTurnos {
public:
    clsPeriodo Periodo;
};

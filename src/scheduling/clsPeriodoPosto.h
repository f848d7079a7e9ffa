#pragma once
// A candidate booking of an operation on one station, collected by the placement engine when it compares the
// stations of a machine group.

#include "runtime/Date.h"

#include <QString>

struct clsPeriodoPosto {
    vb::Date Inicio;
    vb::Date Fim;
    QString Posto;
};

#pragma once
// A work order of the older object model with its positions.

#include "legacy/colPosicao.h"
#include "runtime/Date.h"

#include <cstdint>

class clsOS {
public:
    clsOS() = default;
    // Its positions point back at it.
    clsOS(const clsOS&) = delete;
    clsOS& operator=(const clsOS&) = delete;

    std::int32_t NrServ = 0;
    std::uint8_t Situacao = 0;  // never loaded
    vb::Date DataEntrega;
    colPosicao Posicoes;

    // Reads the delivery date (today's when it is Null; left as it is when the work order is missing) and
    // adds the positions in Etapa order. Failures reach the caller.
    void CarregaOS();
};

#pragma once
// A work order of the older object model with its positions. Its positions hold it (see clsPosicao), so it
// lives in a shared_ptr, and the two hold each other as the platform's references did: a work order whose
// positions are still in Posicoes is let go by emptying them (Posicoes.Clear()).

#include "legacy/colPosicao.h"
#include "runtime/Date.h"

#include <cstdint>
#include <memory>

class clsOS : public std::enable_shared_from_this<clsOS> {
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
    // adds the positions in Etapa order. Failures reach the caller. Only for a work order in a shared_ptr.
    void CarregaOS();
};

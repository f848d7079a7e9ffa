#pragma once
// An operation of a station in the older object model.

#include <cstdint>
#include <memory>

class clsPosicao;
class clsPostos;

class clsSequencia {
public:
    std::int32_t Sequencia = 0;
    std::shared_ptr<clsPostos> Posto;
    double TempoProgramado = 0;
    double TempoPreparo = 0;
    std::shared_ptr<clsPosicao> Posicao;  // the owning position; nothing sets it
};

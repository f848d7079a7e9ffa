#pragma once
// The loader of the older object model: the stations of a company with their periods, and the stages of a
// work order's positions. Failures reach the caller.

#include <cstdint>
#include <memory>

class clsPeriodo;
class colPostos;

class clsCarrega {
public:
    // Postos becomes the company's stations in code order, each with its periods for the window; a company
    // without stations leaves Postos as it was.
    void Carrega(std::int32_t Empresa, const clsPeriodo& Periodo, std::shared_ptr<colPostos>& Postos);
    // Recomputes the stages of the work order's positions and loads the work order (which is then
    // released); Postos is not used.
    void InserirOS(std::int32_t NrServ, const std::shared_ptr<colPostos>& Postos);

private:
    // Each position's Etapa becomes the height of its subtree in levels of its Hierarquia code (a leaf 0),
    // inside one transaction of BancoAtual. A failing update is reported and the others go on; an error
    // that escapes rolls the transaction back.
    void CalculaEtapas(std::int32_t NrServ);
};

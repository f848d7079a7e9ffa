#include "legacy/colPostos.h"

void colPostos::Add(const QString& Codigo, const QString& Descricao, std::uint8_t Tipo, const clsPeriodo& Periodo)
{
    auto posto = std::make_shared<clsPostos>();
    posto->Codigo = Codigo;
    posto->Descricao = Descricao;
    posto->Tipo = Tipo;
    store(posto, Codigo);
    Item(Codigo)->MontaTurnos(Periodo);
}

#include "legacy/colSequencia.h"

std::shared_ptr<clsSequencia> colSequencia::Add(std::int32_t Sequencia, std::shared_ptr<clsPostos> Posto,
                                                double TempoProgramado, double TempoPreparo, const QString& sKey)
{
    auto sequencia = std::make_shared<clsSequencia>();
    sequencia->Sequencia = Sequencia;
    sequencia->Posto = std::move(Posto);
    sequencia->TempoProgramado = TempoProgramado;
    sequencia->TempoPreparo = TempoPreparo;
    store(sequencia, sKey);
    return sequencia;
}

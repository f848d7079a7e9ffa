#include "legacy/colPosicao.h"

namespace {

QString keyOf(std::int32_t Auto)
{
    return QString::number(Auto);
}

}  // namespace

std::shared_ptr<clsPosicao> colPosicao::Add(std::shared_ptr<clsOS> OS, std::int32_t Auto, const QString& Desenho, double Quant,
                                            std::int32_t Etapa)
{
    auto posicao = std::make_shared<clsPosicao>();
    posicao->OS = std::move(OS);
    posicao->Auto = Auto;
    posicao->Desenho = Desenho;
    posicao->Etapa = Etapa;
    posicao->Quant = Quant;
    store(posicao, keyOf(Auto));
    return posicao;
}

std::shared_ptr<clsPosicao> colPosicao::Item(std::int32_t Auto) const
{
    return KeyedCollection::Item(keyOf(Auto));
}

void colPosicao::Remove(std::int32_t Auto)
{
    KeyedCollection::Remove(keyOf(Auto));
}

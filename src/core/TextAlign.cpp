#include "core/Modulo.h"

namespace Modulo {

QString AlinhaTexto(const QString& texto, int largura, int alinhamento)
{
    const QString cut = vb::Left(texto, largura);
    const int missing = largura - int(cut.size());
    switch (alinhamento) {
    case 0:
        return cut + vb::Space(missing);
    case 1:
        return vb::Space(missing) + cut;
    case 2:
        return vb::Space(int(vb::Round(missing / 2.0))) + cut;
    default:
        return {};
    }
}

}  // namespace Modulo

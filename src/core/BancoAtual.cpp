#include "core/BancoAtual.h"

#include "core/DBFunc.h"

DBFunc& BancoAtual()
{
    static DBFunc instance;
    return instance;
}

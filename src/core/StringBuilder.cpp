#include "core/StringBuilder.h"

void StringBuilder::defineCaracter(const QString& caracter)
{
    m_caracter = caracter;
    m_usaCaracter = true;
}

void StringBuilder::append(const QString& piece)
{
    m_texto += piece;
    if (m_usaCaracter)
        m_texto += m_caracter;
}

void StringBuilder::Limpa()
{
    m_texto.clear();
}

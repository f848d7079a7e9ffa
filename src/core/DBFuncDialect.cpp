// DBFunc's SQL-dialect builders: fragments of SQL text for the connection's kind. Access when TipoBanco is 1,
// SQL Server for any other value. Arguments are pasted verbatim: callers pass column names and expressions.

#include "core/DBFunc.h"

#include "runtime/Format.h"

using vb::Format;

QString DBFunc::CondicaoZub(const QString& Expressao, const QString& RetornoVerdadeiro,
                            const QString& RetornoFalso) const
{
    if (isAccess())
        return " IIF(" + Expressao + "," + RetornoVerdadeiro + "," + RetornoFalso + ") ";
    return " CASE WHEN " + Expressao + " THEN " + RetornoVerdadeiro + " ELSE " + RetornoFalso + " END ";
}

QString DBFunc::Formata(const QString& Valor, const QString& Formato) const
{
    if (isAccess())
        return " Format(" + Valor + ",'" + Formato + "') ";

    const QString format = Formato.toLower();
    if (format == "mm/dd/yyyy" || format == "dd/mm/yyyy")
        return " CONVERT(CHAR(10)," + Valor + ",103) ";
    if (format == "mm/dd/yy" || format == "dd/mm/yy")
        return " CONVERT(CHAR(8)," + Valor + ",3) ";
    if (format == "hh:mm:ss" || format == "hh:nn:ss")
        return " CONVERT(CHAR(10)," + Valor + ",108) ";
    if (format == "hh:mm" || format == "hh:nn")
        return " CONVERT(CHAR(5), " + Valor + ", 108) ";
    const qsizetype point = format.indexOf('.');
    if (point >= 0)
        return " CAST(" + Valor + " AS DECIMAL(18," + QString::number(format.size() - point - 1) + ")) ";
    return {};
}

QString DBFunc::FormataData(vb::Date Data) const
{
    if (isAccess())
        return " #" + Format(Data, "mm/dd/yyyy") + "# ";
    return " '" + Format(Data, "yyyy-mm-dd") + "' ";
}

QString DBFunc::FormataHora(vb::Date Hora) const
{
    const QString time = Format(Hora, "hh:nn:ss");
    return isAccess() ? " #" + time + "# " : " '" + time + "' ";
}

QString DBFunc::UPPER(const QString& Texto) const
{
    return isAccess() ? " UCase(" + Texto + ") " : " UPPER(" + Texto + ") ";
}

QString DBFunc::LOWER(const QString& Texto) const
{
    return isAccess() ? " LCase(" + Texto + ") " : " LOWER(" + Texto + ") ";
}

QString DBFunc::DateDiffZUB(const QString& Intervalo, const QString& Data1, const QString& Data2) const
{
    if (isAccess())
        return " DateDiff('" + Intervalo + "'," + Data1 + "," + Data2 + ") ";
    return " DateDiff(" + Intervalo + "," + Data1 + "," + Data2 + ") ";
}

QString DBFunc::DateAddZUB(const QString& Intervalo, const QString& Numero, const QString& Data) const
{
    if (isAccess())
        return " DateAdd('" + Intervalo + "'," + Numero + "," + Data + ") ";
    return " DateAdd(" + Intervalo + "," + Numero + "," + Data + ") ";
}

QString DBFunc::CDblZub(const QString& Vlr) const
{
    return isAccess() ? " CDbl(" + Vlr + ") " : " Cast(" + Vlr + " AS FLOAT) ";
}

QString DBFunc::CStrZub(const QString& Vlr) const
{
    return isAccess() ? " Cstr(" + Vlr + ") " : " Cast(" + Vlr + " AS VarChar(max)) ";
}

QString DBFunc::IntZub(const QString& Vlr) const
{
    return isAccess() ? " Int(" + Vlr + ") " : " Round(" + Vlr + ",0) ";
}

QString DBFunc::NowZub() const
{
    return isAccess() ? "Now()" : "GetDate()";
}

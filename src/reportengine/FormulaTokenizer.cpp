#include "reportengine/FormulaTokenizer_p.h"

#include "reportengine/EngineErrors.h"

#include <QStringList>

namespace reportengine {

void raiseFormulaSyntax(const QString& formula, const QString& what, int position, const QString& reason)
{
    raiseEngine(
        EngineError::FormulaSyntax,
        QStringLiteral("Erro na fórmula %1, posição %2: %3. Fórmula: %4").arg(what).arg(position).arg(reason, formula));
}

std::vector<FormulaToken> tokenizeFormula(const QString& formula, const QString& what)
{
    std::vector<FormulaToken> tokens;
    const int n = int(formula.size());
    int i = 0;
    while (i < n) {
        const QChar c = formula[i];
        FormulaToken token;
        token.position = i + 1;
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && formula[i + 1] == QLatin1Char('/')) {
            while (i < n && formula[i] != QLatin1Char('\n'))
                ++i;
            continue;
        }
        if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && formula[i + 1].isDigit())) {
            int j = i;
            while (j < n && (formula[j].isDigit() || formula[j] == QLatin1Char('.')))
                ++j;
            bool ok = false;
            token.kind = FormulaToken::Kind::Number;
            token.number = formula.mid(i, j - i).toDouble(&ok);
            if (!ok)
                raiseFormulaSyntax(formula, what, i + 1, QStringLiteral("número inválido"));
            i = j;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            token.kind = FormulaToken::Kind::Text;
            int j = i + 1;
            for (;; ++j) {
                if (j >= n)
                    raiseFormulaSyntax(formula, what, i + 1, QStringLiteral("texto sem fim"));
                if (formula[j] == c) {
                    if (j + 1 < n && formula[j + 1] == c) {
                        token.text += c;
                        ++j;
                        continue;
                    }
                    break;
                }
                token.text += formula[j];
            }
            i = j + 1;
        } else if (c == QLatin1Char('{')) {
            const int close = formula.indexOf(QLatin1Char('}'), i);
            if (close < 0)
                raiseFormulaSyntax(formula, what, i + 1, QStringLiteral("falta \"}\""));
            token.kind = FormulaToken::Kind::Reference;
            token.text = formula.mid(i + 1, close - i - 1).trimmed();
            i = close + 1;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            int j = i;
            while (j < n && (formula[j].isLetterOrNumber() || formula[j] == QLatin1Char('_')))
                ++j;
            token.kind = FormulaToken::Kind::Word;
            token.text = formula.mid(i, j - i).toLower();
            i = j;
        } else {
            static const QStringList twoChar{QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">=")};
            token.kind = FormulaToken::Kind::Operator;
            if (twoChar.contains(formula.mid(i, 2)))
                token.text = formula.mid(i, 2);
            else if (QStringLiteral("+-*/&=<>()[],").contains(c))
                token.text = c;
            else
                raiseFormulaSyntax(formula, what, i + 1, QStringLiteral("caractere inesperado \"%1\"").arg(c));
            i += int(token.text.size());
        }
        tokens.push_back(token);
    }
    FormulaToken end;
    end.position = n + 1;
    tokens.push_back(end);
    return tokens;
}

}  // namespace reportengine

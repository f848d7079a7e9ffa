#include "reports/clsScript.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/Modulo.h"
#include "reports/ScriptHooks.h"
#include "runtime/Err.h"
#include "runtime/UiServices.h"

#include <QWidget>

namespace {
constexpr float CacheSeconds = 60;

QString condition(int IDScript)
{
    return QStringLiteral("ID_Script=") + QString::number(IDScript);
}

void reportPendingError()
{
    vb::Err.SetFromCurrentException();
    Modulo::TrataErro(QString());
}
}  // namespace

clsScript::clsScript(std::function<double()> timer) : m_timer(timer ? std::move(timer) : vb::Timer)
{
    m_control.setTimeout(180000);
    setLinguagem(0);
}

float clsScript::now() const
{
    return float(m_timer());
}

QString clsScript::NomeObjeto(const QObject& Objeto)
{
    const QVariant index = Objeto.property("Index");
    if (!index.isValid())
        return Objeto.objectName();
    return Objeto.objectName() + QLatin1Char('_') + index.toString();
}

QString clsScript::NomeLinguagem() const
{
    return m_linguagem == 0 ? QStringLiteral("VBScript") : QStringLiteral("JScript");
}

void clsScript::setLinguagem(int vNewValue)
{
    m_linguagem = vNewValue;
    m_control.setLanguage(NomeLinguagem());
}

clsScript::CachedScript& clsScript::cacheEntry(int IDScript, bool& created)
{
    const QString key = QStringLiteral("K") + QString::number(IDScript);
    created = !m_cache.contains(key);
    return m_cache[key];
}

QString clsScript::getScript(int IDScript)
{
    QString source;
    try {
        bool created = false;
        CachedScript& entry = cacheEntry(IDScript, created);
        source = entry.source;
        const float elapsed = now() - entry.loadedAt;
        // A clock that went back (past midnight) makes the entry stale too, or it would stay a whole day.
        if (created || elapsed > CacheSeconds || elapsed < 0) {
            entry.loadedAt = now();
            auto rs = BancoAtual().CarregaObjeto(QStringLiteral("Select Top 1 Fonte from CadScript where ") +
                                                 condition(IDScript));
            if (rs && !rs->adoEOF()) {
                const vb::Variant fonte = rs->Fields(QStringLiteral("Fonte")).Value();
                entry.source = fonte.isNull() ? QString() : fonte.toString();
            }
            source = entry.source;
        }
    } catch (...) {
        reportPendingError();
    }
    return source;
}

void clsScript::SalvaScript(int IDScript, const QString& CodigoFonte)
{
    try {
        DBFunc& db = BancoAtual();
        db.RemoveAll();
        db.Add(QStringLiteral("Fonte"), CodigoFonte, true, true, false);
        const vb::Variant found =
            db.DBSeek(QStringLiteral("CadScript"), QStringLiteral("ID_Script"), condition(IDScript));
        if (found.isString() && found.toString().isEmpty()) {
            db.Add(QStringLiteral("ID_Script"), IDScript, true, true, false);
            db.Insert(QStringLiteral("CadScript"));
        } else {
            db.Update(QStringLiteral("CadScript"), condition(IDScript));
        }
        bool created = false;
        CachedScript& entry = cacheEntry(IDScript, created);
        entry.loadedAt = now();
        entry.source = CodigoFonte;
    } catch (...) {
        reportPendingError();
    }
}

void clsScript::DeletaScript(int IDScript)
{
    BancoAtual().Delete(QStringLiteral("CadScript"), condition(IDScript));
}

bool clsScript::ExecutaScript(int IDScript)
{
    bool ran = false;
    vb::Ui().SetMousePointer(vb::vbArrowHourglass);
    try {
        const QString source = getScript(IDScript);
        try {
            m_control.ExecuteStatement(source);
            ran = true;
        } catch (const vb::VbError&) {
            const scripting::ScriptError& error = m_control.Error();
            if (error.Number == 0)
                throw;
            vb::Ui().MsgBox(QStringLiteral("Erro: ") + QString::number(error.Number) + QStringLiteral(" - ") +
                                error.Description + Modulo::vbCrLf + QStringLiteral("Linha: ") +
                                QString::number(error.Line) + Modulo::vbCrLf + QStringLiteral("Script ID: ") +
                                QString::number(IDScript),
                            vb::vbCritical);
        }
    } catch (...) {
        reportPendingError();
    }
    vb::Ui().SetMousePointer(vb::vbDefault);
    if (m_resetaScriptAposExecutar)
        Reseta();
    return ran;
}

void clsScript::Add(QObject* Objeto, const QString& NomeObjeto)
{
    try {
        m_control.AddObject(NomeObjeto, Objeto, false);
    } catch (...) {
        reportPendingError();
    }
}

void clsScript::AddTela(QWidget* Tela)
{
    try {
        if (!Tela)
            vb::raiseError(424);
        m_control.AddObject(Tela->objectName(), Tela, true);
    } catch (...) {
        reportPendingError();
    }
}

void clsScript::Reseta()
{
    try {
        m_control.Reset();
        m_control.setLanguage(NomeLinguagem());
    } catch (...) {
        reportPendingError();
    }
}

QString clsScript::getDescricaoScript(int IDScript)
{
    if (const auto description = scriptHookDescription(IDScript))
        return *description;
    return IDScript >= 0 ? DescricaoCampo(IDScript) : QString();
}

QString clsScript::DescricaoCampo(int IDScript)
{
    auto rs = BancoAtual().CarregaObjeto(QStringLiteral("Select descricao from cadcampo where auto=") +
                                         QString::number(IDScript));
    if (!rs || rs->adoEOF())
        return {};
    const vb::Variant descricao = rs->Fields(QStringLiteral("Descricao")).Value();
    return descricao.isNull() ? QString() : descricao.toString();
}

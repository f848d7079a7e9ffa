#pragma once
// Runs the user scripts kept in CadScript, one per hook number, in VBScript or JScript with the objects and
// windows a host hands in; saves, deletes and names them. Sources are cached per runner for 60 seconds.

#include "scripting/ScriptControl.h"

#include <QHash>
#include <QString>
#include <functional>

class QObject;
class QWidget;

class clsScript {
public:
    // `timer` is the clock of the cache, seconds since midnight (the platform's Timer unless a test says).
    explicit clsScript(std::function<double()> timer = {});

    QString getDescricaoScript(int IDScript);
    QString getScript(int IDScript);
    void SalvaScript(int IDScript, const QString& CodigoFonte);
    void DeletaScript(int IDScript);
    // True when the script ran without error; a script error is shown with its number, text and line.
    bool ExecutaScript(int IDScript);
    void Add(QObject* Objeto, const QString& NomeObjeto);
    // The window by its name, with its controls and members reachable directly.
    void AddTela(QWidget* Tela);
    void Reseta();

    // 0 VBScript, anything else JScript.
    int Linguagem() const { return m_linguagem; }
    void setLinguagem(int vNewValue);
    int TimeOut() const { return m_control.Timeout(); }
    void setTimeOut(int vNewValue) { m_control.setTimeout(vNewValue); }
    void Define_hWnd(quintptr hwnd) { m_control.setSitehWnd(hwnd); }
    bool ResetaScriptAposExecutar() const { return m_resetaScriptAposExecutar; }
    void setResetaScriptAposExecutar(bool vNewValue) { m_resetaScriptAposExecutar = vNewValue; }

private:
    struct CachedScript {
        float loadedAt = 0;  // seconds since midnight
        QString source;
    };
    // The cache entry of the hook; `created` tells that it was not there before.
    CachedScript& cacheEntry(int IDScript, bool& created);
    float now() const;
    QString DescricaoCampo(int IDScript);
    QString NomeLinguagem() const;
    // The script name of a control: its name, and "_<Index>" when it stands for an element of a group of
    // controls (a control array), which it tells by carrying the property "Index".
    static QString NomeObjeto(const QObject& Objeto);
    friend class ScriptRunnerTest;

    scripting::ScriptControl m_control;
    int m_linguagem = 0;
    bool m_resetaScriptAposExecutar = true;
    QHash<QString, CachedScript> m_cache;
    std::function<double()> m_timer;
};

#pragma once
// The script control: runs statements in VBScript (our own interpreter over the runtime's Variant) or JScript
// (Qt's JavaScript engine) with host QObjects reachable by name, and stops a script that runs past its time-out.
// A failed ExecuteStatement raises a vb::VbError with the script's number and text and leaves them, with the
// line, in Error(); the control stays usable.

#include <QPointer>
#include <QString>
#include <QtGlobal>
#include <memory>
#include <vector>

class QObject;

namespace scripting {

class ScriptEngine;

// The last failure of ExecuteStatement: number 0 when the last statement ran.
struct ScriptError {
    long Number = 0;
    QString Description;
    int Line = 0;
};

// Raised for a script stopped by its time-out.
constexpr long TimeoutErrorNumber = -2147467260;  // the platform's "operation aborted"

class ScriptControl {
public:
    ScriptControl();
    ~ScriptControl();
    ScriptControl(const ScriptControl&) = delete;
    ScriptControl& operator=(const ScriptControl&) = delete;

    // "VBScript" or "JScript" (any case); anything else raises 5. Setting it discards the code; the objects
    // handed in stay.
    QString Language() const;
    void setLanguage(const QString& language);

    // Milliseconds a statement may run; -1 (or any negative value) runs without limit.
    int Timeout() const { return m_timeout; }
    void setTimeout(int milliseconds) { m_timeout = milliseconds; }

    // The window that script dialogs belong to; kept for the host, the UI services own the dialogs.
    quintptr SitehWnd() const { return m_sitehWnd; }
    void setSitehWnd(quintptr handle) { m_sitehWnd = handle; }

    // The object is reached by its name; with addMembers its properties, methods and named child objects
    // are reached directly as well. The control does not own the object.
    void AddObject(const QString& name, QObject* object, bool addMembers = false);
    // Runs the statements; their procedures and global variables stay for the next call until Reset.
    void ExecuteStatement(const QString& source);
    // Discards code, variables and objects; keeps the language and the time-out.
    void Reset();

    const ScriptError& Error() const { return m_error; }

private:
    struct AddedObject {
        QString name;
        QPointer<QObject> object;
        bool addMembers;
    };

    std::unique_ptr<ScriptEngine> m_engine;
    std::vector<AddedObject> m_objects;
    int m_timeout = 10000;
    quintptr m_sitehWnd = 0;
    ScriptError m_error;
};

}  // namespace scripting

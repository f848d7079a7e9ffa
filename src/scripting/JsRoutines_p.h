#pragma once
// The runtime's routines as JScript reaches them: one invokable call by routine name. The arguments are read
// here, value by value, never by Qt's general conversion: a symbol is a type mismatch, nested arrays stop at a
// depth (a cycle), and long arrays stop at the time-out or the size cap. A failing routine throws a JavaScript
// error and keeps its number for the control's report.

#include <QJSValue>
#include <QObject>
#include <QVariant>

namespace scripting {

class JsRoutines : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE QVariant call(const QString& name, const QJSValue& args);

    // The number of the routine error last thrown with this text, or 0.
    long errorNumber(const QString& description) const;

private:
    long m_lastNumber = 0;
    QString m_lastDescription;
};

}  // namespace scripting

#pragma once
// A host QObject as a script sees it: its properties, its invokable methods and slots, and its named children,
// all by name without regard to case.

#include "scripting/ScriptObject_p.h"

#include <QMetaMethod>
#include <QPointer>

namespace scripting {

class HostObject : public ScriptObject {
public:
    explicit HostObject(QObject* object) : m_object(object) {}
    QObject* object() const { return m_object; }

    bool hasMember(const QString& name) const override;
    vb::Variant getMember(const QString& name, Arguments& args) override;
    void setMember(const QString& name, Arguments& args, const vb::Variant& value) override;

private:
    QObject* live() const;  // raises 424 when the object is gone
    vb::Variant invoke(const QMetaMethod& method, Arguments& args);
    QPointer<QObject> m_object;
};

// The property, method or named child of the name (case-insensitive); -1 / null when there is none.
int findProperty(const QObject& object, const QString& name);
int findMethod(const QObject& object, const QString& name, int argumentCount);
QObject* findChild(const QObject& object, const QString& name);

}  // namespace scripting

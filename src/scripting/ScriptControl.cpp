#include "scripting/ScriptControl.h"

#include "runtime/Err.h"
#include "scripting/JsEngine_p.h"
#include "scripting/VbEngine_p.h"

namespace scripting {

namespace {
std::unique_ptr<ScriptEngine> makeEngine(const QString& language)
{
    if (language.compare(QLatin1String("VBScript"), Qt::CaseInsensitive) == 0)
        return std::make_unique<VbEngine>();
    if (language.compare(QLatin1String("JScript"), Qt::CaseInsensitive) == 0)
        return std::make_unique<JsEngine>();
    vb::raiseError(vb::ErrNo::InvalidProcedureCall);
}
}  // namespace

ScriptControl::ScriptControl() : m_engine(makeEngine(QStringLiteral("VBScript"))) {}

ScriptControl::~ScriptControl() = default;

QString ScriptControl::Language() const
{
    return m_engine->language();
}

void ScriptControl::setLanguage(const QString& language)
{
    m_engine = makeEngine(language);
    for (const AddedObject& added : m_objects)
        if (added.object)
            m_engine->addObject(added.name, added.object, added.addMembers);
}

void ScriptControl::AddObject(const QString& name, QObject* object, bool addMembers)
{
    if (!object)
        vb::raiseError(424);
    m_engine->addObject(name, object, addMembers);
    m_objects.push_back({name, object, addMembers});
}

void ScriptControl::ExecuteStatement(const QString& source)
{
    m_error = {};
    try {
        m_engine->execute(source, m_timeout);
    } catch (const ScriptFailure& failure) {
        m_error = {failure.number, failure.description, failure.line};
        vb::raiseError(failure.number, Language(), failure.description);
    }
}

void ScriptControl::Reset()
{
    m_objects.clear();
    m_engine = makeEngine(Language());
    m_error = {};
}

}  // namespace scripting

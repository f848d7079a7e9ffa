#include "sqlserver/InlineFunctions.h"

#include "sqlserver/TokenTools.h"

#include <memory>
#include <mutex>

namespace sqlserver {

namespace {

using Functions = std::vector<InlineFunction>;

// Read by every session's translation, replaced when the program hands over its model.
struct Registry {
    std::mutex mutex;
    std::shared_ptr<const Functions> functions = std::make_shared<const Functions>();
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

}  // namespace

std::shared_ptr<const std::vector<InlineFunction>> inlineFunctions()
{
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    return r.functions;
}

void setInlineFunctions(std::vector<InlineFunction> functions)
{
    auto replacement = std::make_shared<const Functions>(std::move(functions));
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    r.functions = std::move(replacement);
}

QString expandInlineFunction(QStringView name, const QStringList& arguments)
{
    const std::shared_ptr<const Functions> functions = inlineFunctions();
    for (const InlineFunction& f : *functions) {
        if (f.parameters.size() != arguments.size() || name.compare(f.name, Qt::CaseInsensitive) != 0)
            continue;
        Tokens body = tokenize(f.body);
        for (Token& t : body) {
            if (t.kind != TokenKind::Variable)
                continue;
            for (qsizetype k = 0; k < f.parameters.size(); ++k) {
                if (t.text.compare(f.parameters[k], Qt::CaseInsensitive) == 0) {
                    t = makeToken(TokenKind::Symbol, u'(' + arguments[k] + u')');
                    break;
                }
            }
        }
        return joinTokens(body);
    }
    return {};
}

bool isInlineFunction(QStringView name)
{
    return isInlineFunction(*inlineFunctions(), name);
}

bool isInlineFunction(const std::vector<InlineFunction>& functions, QStringView name)
{
    for (const InlineFunction& f : functions) {
        if (name.size() == f.name.size() && name.compare(f.name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

}  // namespace sqlserver

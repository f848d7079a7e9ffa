#pragma once
// VBScript's RegExp (ECMAScript syntax run by QRegularExpression) and what Execute gives: a Matches collection
// of Match objects (FirstIndex from 0, Length, Value, SubMatches; a group that took part in no match is Empty).

#include "scripting/ScriptObject_p.h"

#include <QRegularExpression>

namespace scripting {

// A read-only collection: Count, Item(i) (the default member) and For Each.
class ItemList : public ScriptObject {
public:
    ItemList(QString typeName, std::vector<vb::Variant> items)
        : m_typeName(std::move(typeName)), m_items(std::move(items))
    {}
    bool hasMember(const QString& name) const override;
    vb::Variant getMember(const QString& name, Arguments& args) override;
    void setMember(const QString& name, Arguments& args, const vb::Variant& value) override;
    vb::Variant getDefault(Arguments& args) override { return getMember(QStringLiteral("Item"), args); }
    QString typeName() const override { return m_typeName; }
    bool enumerate(std::vector<vb::Variant>& items) const override;

private:
    QString m_typeName;
    std::vector<vb::Variant> m_items;
};

class Match : public ScriptObject {
public:
    explicit Match(const QRegularExpressionMatch& match);
    bool hasMember(const QString& name) const override;
    vb::Variant getMember(const QString& name, Arguments& args) override;
    void setMember(const QString& name, Arguments& args, const vb::Variant& value) override;
    vb::Variant getDefault(Arguments& args) override { return getMember(QStringLiteral("Value"), args); }
    bool hasValue() const override { return true; }
    QString typeName() const override { return QStringLiteral("IMatch2"); }

private:
    int m_firstIndex;
    QString m_value;
    std::shared_ptr<ItemList> m_subMatches;
};

class RegExp : public ScriptObject {
public:
    bool hasMember(const QString& name) const override;
    vb::Variant getMember(const QString& name, Arguments& args) override;
    void setMember(const QString& name, Arguments& args, const vb::Variant& value) override;
    QString typeName() const override { return QStringLiteral("IRegExp2"); }

private:
    const QRegularExpression& compiled();  // raises 5017 for a pattern that does not compile
    vb::Variant execute(const QString& text);
    QString replace(const QString& text, const QString& replacement);

    QString m_pattern;
    bool m_ignoreCase = false;
    bool m_global = false;
    bool m_multiline = false;
    QRegularExpression m_compiled;
    bool m_stale = true;
};

// The pattern in the syntax QRegularExpression reads: "\uXXXX" as "\x{XXXX}", an escaped letter ECMAScript
// gives no meaning as the letter, and "$" outside a class as the end of the text only, unless the pattern is
// multiline.
QString translatePattern(const QString& pattern, bool multiline);

}  // namespace scripting

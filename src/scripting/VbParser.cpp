#include "scripting/VbParser_p.h"

#include "scripting/ErrObject_p.h"
#include "scripting/StackRoom_p.h"
#include "scripting/VbLexer_p.h"

#include <QSet>
#include <deque>

namespace scripting::vbs {

namespace {

using vb::Variant;
using Kind = Procedure::Kind;

constexpr long WrongArguments = 450;
constexpr int MaxNesting = 1000;                  // blocks, parentheses and unary operators within each other
constexpr std::size_t ParserStackReserve = 1 << 20;  // what the interpreter may still need below the parser

const QSet<QString>& reservedWords()
{
    static const QSet<QString> words = {
        "and",     "or",     "not",    "xor",      "eqv",   "imp",   "mod",      "is",      "then",     "else",
        "elseif",  "end",    "if",     "for",      "to",    "step",  "next",     "each",    "in",       "do",
        "loop",    "while",  "until",  "wend",     "select", "case", "sub",      "function", "dim",     "redim",
        "const",   "call",   "set",    "exit",     "option", "on",   "error",    "resume",  "goto",     "byval",
        "byref",   "private", "public", "new",     "preserve", "with", "class",  "property", "me",     "let",
        "get",     "default", "erase", "true",     "false", "empty", "null",     "nothing"};
    return words;
}

struct Scope {
    Procedure* procedure = nullptr;  // null at the top level
    const ClassDef* owner = nullptr;
    QHash<QString, int> locals;
    QHash<QString, Variant> constants;
};

class Parser {
public:
    Parser(std::vector<Token> tokens, Module& module, const ParseContext& context)
        : m_t(std::move(tokens)), m_module(module)
    {
        m_scopes.emplace_back();
        m_scope = &m_scopes.back();
        if (context.procedure) {
            // Text read inside a running procedure sees its variables.
            m_context.name = context.procedure->name;
            m_context.kind = context.procedure->kind;
            m_context.byRef = context.procedure->byRef;
            m_context.slotCount = context.procedure->slotCount;
            m_context.owner = context.procedure->owner;
            m_scope->procedure = &m_context;
            m_scope->locals = context.procedure->locals;
        }
        m_scope->owner = context.owner;
    }

    Block program()
    {
        Block block = parseBlock({});  // a closing word with nothing to close fails as a statement
        finish();
        return block;
    }

    ExprPtr singleExpression()
    {
        skipLineEnds();
        ExprPtr e = expression();
        skipLineEnds();
        if (peek().kind != TokenKind::End)
            fail(1025);
        finish();
        return e;
    }

private:
    // Binds the names and hands the declarations to the module.
    void finish()
    {
        for (ClassDef* c : m_classesToCheck)
            checkProperties(*c);
        for (auto& [expr, scope] : m_pending)
            bind(*expr, *scope);
        for (auto& procedure : m_newProcedures) {
            m_module.procedures.insert(procedure->name.toLower(), procedure.get());
            m_module.procedureStore.push_back(std::move(procedure));
        }
        for (auto& c : m_newClasses) {
            m_module.classes.insert(c->name.toLower(), c.get());
            m_module.classStore.push_back(std::move(c));
        }
    }

    // Tokens.
    const Token& peek(std::size_t ahead = 0) const { return m_t[std::min(m_p + ahead, m_t.size() - 1)]; }
    const Token& next() { return m_t[std::min(m_p++, m_t.size() - 1)]; }
    bool isKey(const char* key, std::size_t ahead = 0) const
    {
        const Token& t = peek(ahead);
        return t.kind == TokenKind::Name && t.key == QLatin1String(key);
    }
    bool isSymbol(const char* s) const { return peek().kind == TokenKind::Symbol && peek().text == QLatin1String(s); }
    bool accept(const char* key)
    {
        if (!isKey(key))
            return false;
        ++m_p;
        return true;
    }
    bool acceptSymbol(const char* s)
    {
        if (!isSymbol(s))
            return false;
        ++m_p;
        return true;
    }
    void expect(const char* key, long error)
    {
        if (!accept(key))
            fail(error);
    }
    void expectSymbol(const char* s, long error)
    {
        if (!acceptSymbol(s))
            fail(error);
    }
    [[noreturn]] void fail(long error) const { syntaxError(error, peek().line); }

    // Counts one level of nesting while it lives; too deep is 28, as the platform's parser runs out of stack.
    struct Nest {
        explicit Nest(Parser& p) : parser(p)
        {
            if (++parser.m_nesting > MaxNesting || stackNearlyFull(ParserStackReserve))
                syntaxError(OutOfStackSpace, parser.peek().line);
        }
        ~Nest() { --parser.m_nesting; }
        Parser& parser;
    };

    bool atStatementEnd() const
    {
        const TokenKind k = peek().kind;
        return k == TokenKind::Colon || k == TokenKind::LineEnd || k == TokenKind::End ||
               (m_lineIf > 0 && isKey("else"));
    }
    void endStatement()
    {
        if (peek().kind == TokenKind::Colon || peek().kind == TokenKind::LineEnd)
            ++m_p;
        else if (!atStatementEnd())
            fail(1025);
    }
    void skipLineEnds()
    {
        while (peek().kind == TokenKind::Colon || peek().kind == TokenKind::LineEnd)
            ++m_p;
    }
    QString identifier()
    {
        if (peek().kind != TokenKind::Name || reservedWords().contains(peek().key))
            fail(1010);
        return next().text;
    }
    bool isSymbolAt(std::size_t ahead, const char* s) const
    {
        return peek(ahead).kind == TokenKind::Symbol && peek(ahead).text == QLatin1String(s);
    }

    // Statements up to one of the closing words (or the end of the text).
    Block parseBlock(std::initializer_list<const char*> closers)
    {
        Nest nest(*this);
        Block block;
        for (;;) {
            skipLineEnds();
            if (peek().kind == TokenKind::End)
                return block;
            for (const char* closer : closers)
                if (isKey(closer))
                    return block;
            if (StmtPtr s = statement())
                block.push_back(std::move(s));
            endStatement();
        }
    }

    StmtPtr statement()
    {
        const int line = peek().line;
        StmtPtr s = statementBody();
        if (s)
            s->line = line;
        return s;
    }

    StmtPtr statementBody()
    {
        if (m_withDepth > 0 && isSymbol("."))
            return assignmentOrCall();
        if (peek().kind != TokenKind::Name)
            fail(1024);
        const QString key = peek().key;
        if (key == "option") {
            ++m_p;
            expect("explicit", 1002);
            m_explicit = true;
            return nullptr;
        }
        if (key == "class")
            return classDeclaration();
        if (key == "private" || key == "public") {
            const bool isPublic = next().key == "public";
            if (isKey("default"))
                fail(1048);
            if (isKey("sub") || isKey("function") || isKey("property"))
                return procedure(isPublic);
            if (isKey("const"))
                return constant();
            return dim();
        }
        if (key == "sub" || key == "function" || key == "property")
            return procedure(true);
        if (key == "dim") {
            ++m_p;
            return dim();
        }
        // The statements that start with their own word, each parsed from that word on.
        static const QHash<QString, StmtPtr (Parser::*)()> keywordStatements = {
            {"redim", &Parser::redim},          {"const", &Parser::constant},
            {"if", &Parser::ifStatement},       {"select", &Parser::selectStatement},
            {"for", &Parser::forStatement},     {"do", &Parser::doStatement},
            {"while", &Parser::whileStatement}, {"exit", &Parser::exitStatement},
            {"on", &Parser::onError},           {"with", &Parser::withStatement},
            {"erase", &Parser::erase},          {"set", &Parser::setStatement},
            {"call", &Parser::callStatement}};
        if (const auto parse = keywordStatements.value(key))
            return (this->*parse)();
        if ((key == "execute" || key == "executeglobal") && !isSymbolAt(1, "=") && !isSymbolAt(1, ".") &&
            !isKnownName(key)) {
            ++m_p;
            return std::make_unique<ExecuteStmt>(expression(), key == "executeglobal");
        }
        if (key == "next")
            fail(1055);
        if (key == "loop")
            fail(1038);
        if (key == "me")
            return assignmentOrCall();
        if (key == "default")
            fail(1048);
        if (reservedWords().contains(key))
            fail(1024);
        return assignmentOrCall();
    }

    // A name the script itself declares, which then is no statement word of the language.
    bool isKnownName(const QString& key) const
    {
        return m_scope->locals.contains(key) || m_module.globalSlots.contains(key) || findProcedure(key);
    }

    StmtPtr setStatement()
    {
        ++m_p;
        ExprPtr target = postfix();
        if (dynamic_cast<MeExpr*>(target.get()))
            fail(1037);
        expectSymbol("=", 1011);
        return std::make_unique<AssignStmt>(std::move(target), expression(), true);
    }

    StmtPtr callStatement()
    {
        ++m_p;
        ExprPtr call = postfix();
        if (!atStatementEnd())
            fail(1025);
        return std::make_unique<CallStmt>(std::move(call));
    }

    StmtPtr assignmentOrCall()
    {
        ExprPtr target = postfix();
        if (dynamic_cast<MeExpr*>(target.get()) && !atStatementEnd())
            fail(1037);
        if (acceptSymbol("="))
            return assignment(std::move(target));
        // Without Call, "Foo (a)" and "Foo (a), b" put a in parentheses: an expression, passed by value. The
        // first argument was taken as the name's argument list; two or more there is 1044.
        auto* name = dynamic_cast<NameExpr*>(target.get());
        auto* member = dynamic_cast<MemberExpr*>(target.get());
        ExprList* written = name && name->hasArguments            ? &name->args
                            : member && member->hasArguments() ? &member->args()
                                                                 : nullptr;
        if (written && written->size() == 1 && !atStatementEnd() && !isSymbol(",")) {
            // "Foo (a) + b": the parentheses open the first argument, they hold no argument list.
            m_discarded.push_back(std::move(*written));
            written->clear();
            if (name)
                name->hasArguments = false;
            else
                member->clearArguments();
            m_p = m_lastArgumentsAt;
            written = nullptr;
        }
        if (written && written->size() > 1)
            fail(1044);
        const bool parenthesized = written && written->size() == 1;
        if (parenthesized && (atStatementEnd() || isSymbol(",")))
            written->front() = std::make_unique<ValueOf>(std::move(written->front()));
        if (!atStatementEnd()) {
            ExprList args;
            if (parenthesized && acceptSymbol(",")) {
                args = std::move(*written);
                written->clear();
                if (name)
                    name->hasArguments = false;
                else
                    member->clearArguments();
            }
            do
                args.push_back(isSymbol(",") || atStatementEnd() ? missingArgument() : expression());
            while (acceptSymbol(","));
            if (!target->takeArguments(args))
                fail(1025);
        }
        return std::make_unique<CallStmt>(std::move(target));
    }

    // "s = s & x ..." appends in place; anything else assigns.
    StmtPtr assignment(ExprPtr target)
    {
        ExprPtr value = expression();
        auto* name = dynamic_cast<NameExpr*>(target.get());
        auto* chain = dynamic_cast<OperatorChain*>(value.get());
        auto* first = chain ? dynamic_cast<NameExpr*>(chain->first.get()) : nullptr;
        const bool appends = name && first && !name->hasArguments && !first->hasArguments &&
                             name->name.compare(first->name, Qt::CaseInsensitive) == 0 &&
                             std::all_of(chain->rest.begin(), chain->rest.end(),
                                         [](const auto& piece) { return piece.first == BinaryOp::Concat; });
        if (appends) {
            value.release();
            return std::make_unique<AppendStmt>(std::move(target), std::unique_ptr<OperatorChain>(chain));
        }
        return std::make_unique<AssignStmt>(std::move(target), std::move(value), false);
    }

    void declare(const QString& name)
    {
        const QString key = name.toLower();
        if (m_scope->procedure && m_scope->procedure != &m_context) {  // Execute's Dim makes a global
            if (m_scope->locals.contains(key) || m_scope->constants.contains(key) ||
                key == m_scope->procedure->name.toLower())
                fail(1041);
            m_scope->locals.insert(key, m_scope->procedure->slotCount++);
            return;
        }
        if (m_declaredGlobals.contains(key) || findProcedure(key) || findClass(key))
            fail(1041);
        m_declaredGlobals.insert(key);
        m_module.constants.remove(key);
        if (!m_module.globalSlots.contains(key))
            addGlobal(key);
    }

    int addGlobal(const QString& key)
    {
        const int slot = int(m_module.globals.size());
        m_module.globalSlots.insert(key, slot);
        m_module.globals.emplace_back();
        return slot;
    }

    ExprPtr nameReference(const QString& name, ExprList args, bool hasArguments)
    {
        auto expr = std::make_unique<NameExpr>(name, std::move(args), hasArguments);
        m_pending.emplace_back(expr.get(), m_scope);
        return expr;
    }

    // The upper bounds of a Dim: whole numbers written as they are (no expression, not even a sign).
    std::vector<int> dimBounds()
    {
        std::vector<int> bounds;
        if (!isSymbol(")"))
            do {
                const Token& t = peek();
                if (t.kind != TokenKind::Literal || !t.value.isNumberKind() ||
                    t.value.type() == vb::VarType::Double)
                    fail(1026);
                bounds.push_back(next().value.toLong());
            } while (acceptSymbol(","));
        expectSymbol(")", 1006);
        return bounds;
    }

    StmtPtr dim()
    {
        std::vector<StmtPtr> arrays;
        do {
            const QString name = identifier();
            declare(name);
            if (acceptSymbol("(")) {
                auto s = std::make_unique<DimArrayStmt>();
                s->fixedBounds = dimBounds();
                s->target = nameReference(name, {}, false);
                arrays.push_back(std::move(s));
            }
        } while (acceptSymbol(","));
        return sequence(std::move(arrays));
    }

    // Several statements made on one line (Dim a(1), b(2)) as one.
    StmtPtr sequence(std::vector<StmtPtr> statements)
    {
        if (statements.empty())
            return nullptr;
        if (statements.size() == 1)
            return std::move(statements.front());
        auto s = std::make_unique<SequenceStmt>();
        for (auto& st : statements) {
            st->line = peek().line;
            s->statements.push_back(std::move(st));
        }
        return s;
    }

    StmtPtr redim()
    {
        ++m_p;
        const bool preserve = accept("preserve");
        std::vector<StmtPtr> arrays;
        do {
            auto s = std::make_unique<DimArrayStmt>();
            s->redim = true;
            s->preserve = preserve;
            s->target = nameReference(identifier(), {}, false);
            expectSymbol("(", 1005);
            do
                s->bounds.push_back(expression());
            while (acceptSymbol(","));
            expectSymbol(")", 1006);
            arrays.push_back(std::move(s));
        } while (acceptSymbol(","));
        return sequence(std::move(arrays));
    }

    StmtPtr erase()
    {
        ++m_p;
        std::vector<StmtPtr> erased;
        do
            erased.push_back(std::make_unique<EraseStmt>(nameReference(identifier(), {}, false)));
        while (acceptSymbol(","));
        return sequence(std::move(erased));
    }

    // A constant's value: a literal, signed as often as wished when it is a number.
    Variant literalConstant()
    {
        int negations = 0;
        bool signedValue = false;
        while (isSymbol("-") || isSymbol("+")) {
            negations += next().text == QLatin1String("-");
            signedValue = true;
        }
        const Token& t = peek();
        Variant value;
        if (t.kind == TokenKind::Literal)
            value = t.value;
        else if (isKey("true") || isKey("false"))
            value = t.key == QLatin1String("true");
        else if (isKey("null"))
            value = Variant::Null();
        else if (isKey("empty"))
            value = Variant();
        else
            fail(1045);
        if (signedValue && !value.isNumberKind())
            fail(1045);
        ++m_p;
        return negations % 2 ? negate(value) : value;
    }

    StmtPtr constant()
    {
        ++m_p;
        do {
            const QString name = identifier();
            const QString key = name.toLower();
            expectSymbol("=", 1011);
            const Variant value = literalConstant();
            if (m_scope->procedure) {
                if (m_scope->locals.contains(key) || m_scope->constants.contains(key))
                    fail(1041);
                m_scope->constants.insert(key, value);
            } else {
                if (m_declaredGlobals.contains(key) || findProcedure(key))
                    fail(1041);
                m_declaredGlobals.insert(key);
                m_module.constants.insert(key, value);
            }
        } while (acceptSymbol(","));
        return nullptr;
    }

    StmtPtr classDeclaration()
    {
        ++m_p;
        if (m_scope->procedure || m_depth > 0 || m_insideClass)
            fail(1024);
        auto def = std::make_unique<ClassDef>();
        def->name = identifier();
        const QString key = def->name.toLower();
        if (findClass(key) || findProcedure(key) || m_declaredGlobals.contains(key))
            fail(1041);
        endStatement();
        m_insideClass = def.get();
        for (;;) {
            skipLineEnds();
            if (peek().kind == TokenKind::End)
                fail(1014);
            if (accept("end")) {
                expect("class", 1047);
                break;
            }
            classMember(*def);
            endStatement();
        }
        m_insideClass = nullptr;
        m_classesToCheck.push_back(def.get());
        m_newClasses.push_back(std::move(def));
        return nullptr;
    }

    void classMember(ClassDef& def)
    {
        const bool visibility = isKey("public") || isKey("private");
        const bool isPublic = !isKey("private");
        if (visibility)
            ++m_p;
        if (accept("default")) {
            if (!visibility || !isPublic)
                fail(1057);
            if (!isKey("function") && !isKey("sub") && !isKey("property"))
                fail(1056);
            if (isKey("property") && !isKey("get", 1))
                fail(1058);
            if (def.defaultMember || m_defaultPending)
                fail(1052);
            m_defaultPending = true;
            procedure(true);
            return;
        }
        if (isKey("sub") || isKey("function") || isKey("property")) {
            procedure(isPublic);
            return;
        }
        if (isKey("const")) {
            ++m_p;
            do {
                const QString name = identifier();
                if (def.members.contains(name.toLower()) || def.constants.contains(name.toLower()))
                    fail(1041);
                expectSymbol("=", 1011);
                def.constants.insert(name.toLower(), literalConstant());
            } while (acceptSymbol(","));
            return;
        }
        if (!visibility && !accept("dim"))
            fail(1024);
        do {
            const QString name = identifier();
            const QString memberKey = name.toLower();
            if (def.members.contains(memberKey))
                fail(1041);
            ClassField field;
            if (acceptSymbol("("))
                field.bounds = dimBounds();
            ClassMember member;
            member.name = name;
            member.isPublic = isPublic;
            member.field = int(def.fields.size());
            def.fields.push_back(std::move(field));
            def.members.insert(memberKey, member);
        } while (acceptSymbol(","));
    }

    StmtPtr procedure(bool isPublic)
    {
        const QString word = next().key;
        if (m_scope->procedure || m_depth > 0)
            fail(1024);
        auto procedure = std::make_unique<Procedure>();
        procedure->line = peek().line;
        procedure->isPublic = isPublic;
        procedure->owner = m_insideClass;
        const char* closer = word == "sub" ? "sub" : word == "function" ? "function" : "property";
        const long closerError = word == "sub" ? 1016 : word == "function" ? 1015 : 1050;
        if (word == "property") {
            if (!m_insideClass)
                fail(1048);
            if (accept("get"))
                procedure->kind = Kind::PropertyGet;
            else if (accept("let"))
                procedure->kind = Kind::PropertyLet;
            else if (accept("set"))
                procedure->kind = Kind::PropertySet;
            else
                fail(1049);
        } else {
            procedure->kind = word == "sub" ? Kind::Sub : Kind::Function;
        }
        procedure->name = identifier();
        const QString key = procedure->name.toLower();
        if (!m_insideClass) {
            if (findNewProcedure(key) || findClass(key) || m_declaredGlobals.contains(key))
                fail(1041);
        }
        m_scopes.emplace_back();
        Scope* outer = m_scope;
        m_scope = &m_scopes.back();
        m_scope->procedure = procedure.get();
        m_scope->owner = m_insideClass;
        if (acceptSymbol("(") && !acceptSymbol(")")) {
            do {
                bool byRef = true;
                if (accept("byval"))
                    byRef = false;
                else
                    accept("byref");
                declare(identifier());
                if (acceptSymbol("("))
                    expectSymbol(")", 1006);
                procedure->byRef.push_back(byRef);
            } while (acceptSymbol(","));
            expectSymbol(")", 1006);
        }
        if (m_insideClass)
            addToClass(*m_insideClass, *procedure);
        endStatement();
        const int forDepth = m_forDepth, doDepth = m_doDepth;
        m_forDepth = m_doDepth = 0;
        m_forVariables.clear();
        procedure->body = parseBlock({"end"});
        m_forDepth = forDepth;
        m_doDepth = doDepth;
        expect("end", closerError);
        expect(closer, closerError);
        procedure->locals = m_scope->locals;
        m_scope = outer;
        if (m_insideClass)
            m_insideClass->procedures.push_back(std::move(procedure));
        else
            m_newProcedures.push_back(std::move(procedure));
        return nullptr;
    }

    void addToClass(ClassDef& def, const Procedure& procedure)
    {
        const QString key = procedure.name.toLower();
        const bool isProperty = procedure.kind == Kind::PropertyGet || procedure.kind == Kind::PropertyLet ||
                                procedure.kind == Kind::PropertySet;
        if (key == "class_initialize" || key == "class_terminate") {
            if (!procedure.byRef.empty())
                fail(1053);
            if (procedure.kind == Kind::Sub)
                (key == "class_initialize" ? def.initialize : def.terminate) = &procedure;
        }
        if ((procedure.kind == Kind::PropertyLet || procedure.kind == Kind::PropertySet) && procedure.byRef.empty())
            fail(1054);
        auto it = def.members.find(key);
        if (it == def.members.end()) {
            ClassMember member;
            member.name = procedure.name;
            member.isPublic = procedure.isPublic;
            it = def.members.insert(key, member);
        } else if (!isProperty || it->field >= 0 || (it->get && !isPropertyGet(*it->get))) {
            fail(1041);
        }
        const Procedure*& place = procedure.kind == Kind::PropertyLet   ? it->let
                                  : procedure.kind == Kind::PropertySet ? it->set
                                                                        : it->get;
        if (place)
            fail(1041);
        place = &procedure;
        if (procedure.kind == Kind::PropertyGet || procedure.kind == Kind::Sub || procedure.kind == Kind::Function)
            it->isPublic = procedure.isPublic;
        if (m_defaultPending) {
            m_defaultPending = false;
            def.defaultMember = &*it;
        }
    }

    static bool isPropertyGet(const Procedure& p) { return p.kind == Kind::PropertyGet; }

    // A property's Let and Set take one argument more than its Get.
    void checkProperties(const ClassDef& def)
    {
        for (const ClassMember& m : def.members) {
            if (!m.get || !isPropertyGet(*m.get))
                continue;
            for (const Procedure* assign : {m.let, m.set})
                if (assign && assign->byRef.size() != m.get->byRef.size() + 1)
                    syntaxError(1051, assign->line);
        }
    }

    // Whether the current token opens its line (a block If and its Else must).
    bool firstOnLine() const { return m_p == 0 || m_t[m_p - 1].kind == TokenKind::LineEnd; }

    StmtPtr ifStatement()
    {
        const bool first = firstOnLine();
        ++m_p;
        auto s = std::make_unique<IfStmt>();
        ExprPtr condition = expression();
        expect("then", 1017);
        if (peek().kind != TokenKind::LineEnd && peek().kind != TokenKind::End) {
            ++m_lineIf;
            Block then = lineBlock();
            s->branches.emplace_back(std::move(condition), std::move(then));
            if (accept("else"))
                s->otherwise = lineBlock();
            --m_lineIf;
            return s;
        }
        if (!first)
            fail(1042);
        ++m_depth;
        s->branches.emplace_back(std::move(condition), parseBlock({"elseif", "else", "end"}));
        while (isKey("elseif")) {
            if (!firstOnLine())
                fail(1042);
            ++m_p;
            ExprPtr c = expression();
            expect("then", 1017);
            s->branches.emplace_back(std::move(c), parseBlock({"elseif", "else", "end"}));
        }
        if (isKey("else")) {
            if (!firstOnLine())
                fail(1042);
            ++m_p;
            s->otherwise = parseBlock({"end"});
        }
        expect("end", 1014);
        expect("if", 1012);
        --m_depth;
        return s;
    }

    // The statements of a one-line If, up to Else or the line's end.
    Block lineBlock()
    {
        Nest nest(*this);
        Block block;
        while (peek().kind != TokenKind::LineEnd && peek().kind != TokenKind::End && !isKey("else")) {
            if (peek().kind == TokenKind::Colon) {
                ++m_p;
                continue;
            }
            if (StmtPtr st = statement())
                block.push_back(std::move(st));
            if (peek().kind == TokenKind::Colon)
                ++m_p;
            else if (!atStatementEnd())
                fail(1025);
        }
        return block;
    }

    StmtPtr selectStatement()
    {
        ++m_p;
        expect("case", 1021);
        auto s = std::make_unique<SelectStmt>();
        s->subject = expression();
        endStatement();
        skipLineEnds();
        ++m_depth;
        while (accept("case")) {
            if (accept("else")) {
                s->otherwise = parseBlock({"case", "end"});
                break;  // Case Else is the last case
            }
            std::vector<ExprPtr> values;
            do
                values.push_back(expression());
            while (acceptSymbol(","));
            if (!atStatementEnd())
                fail(1025);
            s->cases.emplace_back(std::move(values), parseBlock({"case", "end"}));
        }
        expect("end", 1014);
        expect("select", 1022);
        --m_depth;
        return s;
    }

    // The counter of a For or For Each, which no enclosing For of the procedure may use.
    ExprPtr loopVariable()
    {
        const QString name = identifier();
        if (m_forVariables.contains(name.toLower()))
            fail(1040);
        m_forVariables.push_back(name.toLower());
        return nameReference(name, {}, false);
    }

    StmtPtr forStatement()
    {
        ++m_p;
        ++m_depth;
        ++m_forDepth;
        StmtPtr result;
        if (accept("each")) {
            auto s = std::make_unique<ForEachStmt>();
            s->element = loopVariable();
            expect("in", 1046);
            s->collection = expression();
            endStatement();
            s->body = parseBlock({"next"});
            result = std::move(s);
        } else {
            auto s = std::make_unique<ForStmt>();
            s->counter = loopVariable();
            expectSymbol("=", 1011);
            s->from = expression();
            expect("to", 1013);
            s->to = expression();
            if (accept("step"))
                s->step = expression();
            endStatement();
            s->body = parseBlock({"next"});
            result = std::move(s);
        }
        expect("next", 1020);
        m_forVariables.pop_back();
        --m_forDepth;
        --m_depth;
        return result;
    }

    StmtPtr doStatement()
    {
        ++m_p;
        ++m_depth;
        ++m_doDepth;
        auto s = std::make_unique<DoStmt>();
        if (isKey("while") || isKey("until")) {
            s->until = next().key == "until";
            s->condition = expression();
        } else if (!atStatementEnd()) {
            fail(1028);
        }
        endStatement();
        s->body = parseBlock({"loop"});
        expect("loop", 1019);
        if (isKey("while") || isKey("until")) {
            if (s->condition)
                fail(1025);
            s->until = next().key == "until";
            s->testFirst = false;
            s->condition = expression();
        } else if (!atStatementEnd()) {
            fail(1028);
        }
        --m_doDepth;
        --m_depth;
        return s;
    }

    StmtPtr whileStatement()
    {
        ++m_p;
        ++m_depth;
        auto s = std::make_unique<DoStmt>();
        s->condition = expression();
        endStatement();
        const int doDepth = m_doDepth;
        m_doDepth = 0;  // Exit Do leaves a Do, never a While
        s->body = parseBlock({"wend"});
        m_doDepth = doDepth;
        expect("wend", 1018);
        --m_depth;
        return s;
    }

    StmtPtr withStatement()
    {
        ++m_p;
        auto s = std::make_unique<WithStmt>();
        s->object = expression();
        endStatement();
        ++m_depth;
        ++m_withDepth;
        s->body = parseBlock({"end"});
        expect("end", 1014);
        expect("with", 1029);
        --m_withDepth;
        --m_depth;
        return s;
    }

    StmtPtr exitStatement()
    {
        ++m_p;
        const QString what = peek().kind == TokenKind::Name ? peek().key : QString();
        if (what == "for" && m_forDepth > 0) {
            ++m_p;
            return std::make_unique<ExitStmt>(Flow::ExitFor);
        }
        if (what == "do" && m_doDepth > 0) {
            ++m_p;
            return std::make_unique<ExitStmt>(Flow::ExitDo);
        }
        const Procedure* p = m_scope->procedure;
        const bool matches = p && ((what == "sub" && p->kind == Kind::Sub) ||
                                   (what == "function" && p->kind == Kind::Function) ||
                                   (what == "property" && p->kind != Kind::Sub && p->kind != Kind::Function));
        if (!matches)
            fail(1039);
        ++m_p;
        return std::make_unique<ExitStmt>(Flow::ExitProcedure);
    }

    StmtPtr onError()
    {
        ++m_p;
        expect("error", 1002);
        if (accept("resume")) {
            expect("next", 1002);
            return std::make_unique<OnErrorStmt>(true);
        }
        expect("goto", 1002);
        if (peek().kind != TokenKind::Literal || peek().value.toDouble() != 0)
            fail(1026);
        ++m_p;
        return std::make_unique<OnErrorStmt>(false);
    }

    // Expressions, loosest first: the logical operators, Not, then the levels from the comparisons down to
    // "*" and "/", then unary minus and "^".
    struct OperatorToken {
        const char* text;
        BinaryOp op;
    };
    using Level = std::vector<OperatorToken>;

    static const std::vector<Level>& logicalLevels()
    {
        static const std::vector<Level> levels = {{{"imp", BinaryOp::Imp}},
                                                  {{"eqv", BinaryOp::Eqv}},
                                                  {{"xor", BinaryOp::Xor}},
                                                  {{"or", BinaryOp::Or}},
                                                  {{"and", BinaryOp::And}}};
        return levels;
    }

    static const std::vector<Level>& valueLevels()
    {
        static const std::vector<Level> levels = {{{"=", BinaryOp::Equal},
                                                   {"<>", BinaryOp::NotEqual},
                                                   {"<", BinaryOp::Less},
                                                   {"<=", BinaryOp::LessEqual},
                                                   {">", BinaryOp::Greater},
                                                   {">=", BinaryOp::GreaterEqual},
                                                   {"is", BinaryOp::Is}},
                                                  {{"&", BinaryOp::Concat}},
                                                  {{"+", BinaryOp::Add}, {"-", BinaryOp::Subtract}},
                                                  {{"mod", BinaryOp::Mod}},
                                                  {{"\\", BinaryOp::IntDivide}},
                                                  {{"*", BinaryOp::Multiply}, {"/", BinaryOp::Divide}}};
        return levels;
    }

    // The operator of the level that the current token is, or null.
    const OperatorToken* levelOperator(const Level& level) const
    {
        const Token& t = peek();
        if (t.kind != TokenKind::Name && t.kind != TokenKind::Symbol)
            return nullptr;
        for (const OperatorToken& o : level)
            if (t.key == QLatin1String(o.text))
                return &o;
        return nullptr;
    }

    ExprPtr operatorLevel(const std::vector<Level>& levels, std::size_t index, ExprPtr (Parser::*tighter)())
    {
        if (index == levels.size())
            return (this->*tighter)();
        ExprPtr left = operatorLevel(levels, index + 1, tighter);
        if (!levelOperator(levels[index]))
            return left;
        auto chain = std::make_unique<OperatorChain>(std::move(left));
        while (const OperatorToken* o = levelOperator(levels[index])) {
            ++m_p;
            chain->rest.emplace_back(o->op, operatorLevel(levels, index + 1, tighter));
        }
        return chain;
    }

    ExprPtr expression()
    {
        Nest nest(*this);
        return operatorLevel(logicalLevels(), 0, &Parser::notLevel);
    }

    ExprPtr notLevel()
    {
        if (accept("not")) {
            Nest nest(*this);
            return std::make_unique<UnaryExpr>(true, notLevel());
        }
        return operatorLevel(valueLevels(), 0, &Parser::unary);
    }

    ExprPtr unary()
    {
        if (isSymbol("-") || isSymbol("+")) {
            const bool minus = next().text == QLatin1String("-");
            Nest nest(*this);
            ExprPtr operand = unary();
            return minus ? std::make_unique<UnaryExpr>(false, std::move(operand)) : std::move(operand);
        }
        return power();
    }

    ExprPtr power()
    {
        ExprPtr left = postfix();
        if (!isSymbol("^"))
            return left;
        auto chain = std::make_unique<OperatorChain>(std::move(left));
        while (acceptSymbol("^")) {
            ExprPtr right = acceptSymbol("-") ? std::make_unique<UnaryExpr>(false, postfix()) : postfix();
            chain->rest.emplace_back(BinaryOp::Power, std::move(right));
        }
        return chain;
    }

    // An argument left out: routines take it as not given.
    ExprPtr missingArgument() const { return std::make_unique<Literal>(scripting::missingArgument()); }

    ExprList argumentList()
    {
        ExprList args;
        if (!isSymbol(")"))
            do
                args.push_back(isSymbol(",") || isSymbol(")") ? missingArgument() : expression());
            while (acceptSymbol(","));
        expectSymbol(")", 1006);
        return args;
    }

    ExprPtr postfix()
    {
        // ".Member" inside With starts from the With object.
        ExprPtr e;
        if (m_withDepth > 0 && acceptSymbol("."))
            e = member(std::make_unique<WithObject>());
        else
            e = primary();
        for (;;) {
            if (isSymbol(".") && !(m_withDepth > 0 && peek().spaceBefore)) {
                ++m_p;
                e = member(std::move(e));
            }
            else if (isSymbol("(") && !peek().spaceBefore && m_p > 0 && m_t[m_p - 1].text == QLatin1String(")")) {
                ++m_p;
                e = std::make_unique<IndexExpr>(std::move(e), argumentList());
            }
            else
                return e;
        }
    }

    ExprPtr member(ExprPtr object)
    {
        if (peek().kind != TokenKind::Name)
            fail(1010);
        const QString name = next().text;
        const std::size_t open = m_p;
        if (acceptSymbol("(")) {
            ExprList args = argumentList();
            m_lastArgumentsAt = open;
            return std::make_unique<MemberExpr>(std::move(object), name, std::move(args), true);
        }
        return std::make_unique<MemberExpr>(std::move(object), name, ExprList{}, false);
    }

    ExprPtr primary()
    {
        const Token& t = peek();
        if (t.kind == TokenKind::Literal) {
            ++m_p;
            return std::make_unique<Literal>(t.value);
        }
        if (acceptSymbol("(")) {
            ExprPtr inner = expression();
            expectSymbol(")", 1006);
            // "(x)" is a value: a ByRef parameter gets a copy.
            if (dynamic_cast<NameExpr*>(inner.get()) || dynamic_cast<MemberExpr*>(inner.get()))
                return std::make_unique<ValueOf>(std::move(inner));
            return inner;
        }
        if (t.kind != TokenKind::Name)
            fail(1023);
        if (t.key == "true" || t.key == "false") {
            ++m_p;
            return std::make_unique<Literal>(t.key == "true");
        }
        if (t.key == "empty" || t.key == "null" || t.key == "nothing") {
            ++m_p;
            return std::make_unique<Literal>(t.key == "empty"  ? Variant()
                                             : t.key == "null" ? Variant::Null()
                                                               : Variant(vb::ObjectPtr()));
        }
        if (t.key == "me") {
            ++m_p;
            if (!m_scope->owner)
                fail(1037);
            return std::make_unique<MeExpr>();
        }
        if (t.key == "new") {
            ++m_p;
            return std::make_unique<NewExpr>(identifier());
        }
        if (reservedWords().contains(t.key))
            fail(1023);
        if ((t.key == "eval" || t.key == "getref") && isSymbolAt(1, "(") && !isKnownName(t.key)) {
            const int line = t.line;
            const bool isEval = next().key == "eval";
            ++m_p;
            ExprList args = argumentList();
            if (args.size() != 1)
                syntaxError(WrongArguments, line);
            if (isEval)
                return std::make_unique<EvalExpr>(std::move(args.front()));
            return std::make_unique<GetRefExpr>(std::move(args.front()));
        }
        const QString name = next().text;
        const std::size_t open = m_p;
        if (acceptSymbol("(")) {
            ExprList args = argumentList();
            m_lastArgumentsAt = open;
            return nameReference(name, std::move(args), true);
        }
        return nameReference(name, {}, false);
    }

    // Binding: the procedure's own names, its class's members, the module's variables, constants and
    // procedures, Err, the routines and constants, the host's objects and their members; anything else is a new
    // variable (an error under Option Explicit).
    void bind(NameExpr& e, Scope& scope)
    {
        using NameKind = NameExpr::Kind;
        const QString key = e.name.toLower();
        if (Procedure* p = scope.procedure) {
            if (auto it = scope.locals.constFind(key); it != scope.locals.cend()) {
                e.kind = NameKind::Local;
                e.slot = *it;
                return;
            }
            if (p->givesValue() && !e.hasArguments && key == p->name.toLower()) {
                e.kind = NameKind::Local;
                e.slot = 0;
                return;
            }
            if (auto it = scope.constants.constFind(key); it != scope.constants.cend()) {
                e.kind = NameKind::Constant;
                e.constant = *it;
                return;
            }
        }
        if (scope.owner) {
            if (auto it = scope.owner->constants.constFind(key); it != scope.owner->constants.cend()) {
                e.kind = NameKind::Constant;
                e.constant = *it;
                return;
            }
            if (auto it = scope.owner->members.constFind(key); it != scope.owner->members.cend()) {
                e.kind = it->field >= 0 ? NameKind::Field : NameKind::Member;
                e.slot = it->field;
                e.member = &*it;
                return;
            }
        }
        // Before the globals: a name read before Execute defined it as a procedure left a variable of that name.
        if (const Procedure* p = findProcedure(key)) {
            e.kind = NameKind::Procedure;
            e.procedure = p;
            return;
        }
        if (auto it = m_module.globalSlots.constFind(key); it != m_module.globalSlots.cend()) {
            e.kind = NameKind::Global;
            e.global = &m_module.globals[std::size_t(*it)];
            return;
        }
        if (auto it = m_module.constants.constFind(key); it != m_module.constants.cend()) {
            e.kind = NameKind::Constant;
            e.constant = *it;
            return;
        }
        if (key == "err") {
            static const Variant err = vb::ObjectPtr(std::make_shared<ErrObject>());
            e.kind = NameKind::Constant;
            e.constant = err;
            return;
        }
        if (const Routine* r = findRoutine(key)) {
            static const QSet<QString> objectReaders = {"typename", "isobject", "isempty", "isnull", "isarray"};
            e.kind = NameKind::Routine;
            e.routine = r;
            e.routineSeesObjects = objectReaders.contains(key);
            return;
        }
        if (auto c = findConstant(key)) {
            e.kind = NameKind::Constant;
            e.constant = *c;
            return;
        }
        for (const HostItem& item : m_module.hostItems)
            if (item.name.compare(e.name, Qt::CaseInsensitive) == 0) {
                e.kind = NameKind::Constant;
                e.constant = item.object;
                return;
            }
        for (const HostItem& item : m_module.hostItems)
            if (item.addMembers && item.object.objectAs<ScriptObject>()->hasMember(e.name)) {
                e.kind = NameKind::HostMember;
                e.constant = item.object;
                return;
            }
        // Not known yet: a variable, or a procedure ExecuteGlobal defines before it is reached.
        e.late = true;
        if (m_explicit) {
            e.kind = NameKind::Undefined;
            return;
        }
        if (scope.procedure && scope.procedure != &m_context) {
            scope.locals.insert(key, scope.procedure->slotCount);
            scope.procedure->locals.insert(key, scope.procedure->slotCount);
            e.kind = NameKind::Local;
            e.slot = scope.procedure->slotCount++;
        } else {
            e.kind = NameKind::Global;
            e.global = &m_module.globals[std::size_t(addGlobal(key))];
        }
    }

    const Procedure* findNewProcedure(const QString& key) const
    {
        for (const auto& p : m_newProcedures)
            if (p->name.toLower() == key)
                return p.get();
        return nullptr;
    }
    const Procedure* findProcedure(const QString& key) const
    {
        if (const Procedure* p = findNewProcedure(key))
            return p;
        return m_module.procedures.value(key, nullptr);
    }
    const ClassDef* findClass(const QString& key) const
    {
        for (const auto& c : m_newClasses)
            if (c->name.toLower() == key)
                return c.get();
        return m_module.classes.value(key, nullptr);
    }

    std::vector<Token> m_t;
    std::size_t m_p = 0;
    Module& m_module;
    Procedure m_context;  // a copy of the running procedure's names, for text read while it runs
    std::deque<Scope> m_scopes;
    Scope* m_scope = nullptr;
    std::vector<std::pair<NameExpr*, Scope*>> m_pending;
    std::vector<std::unique_ptr<Procedure>> m_newProcedures;
    std::vector<std::unique_ptr<ClassDef>> m_newClasses;
    std::vector<ExprList> m_discarded;  // read twice: kept, as names in them wait for their binding
    std::size_t m_lastArgumentsAt = 0;  // where the last argument list read began
    std::vector<ClassDef*> m_classesToCheck;
    ClassDef* m_insideClass = nullptr;
    bool m_defaultPending = false;
    QSet<QString> m_declaredGlobals;
    QStringList m_forVariables;
    bool m_explicit = false;
    int m_lineIf = 0;
    int m_depth = 0;  // blocks open (procedures may not start inside one)
    int m_withDepth = 0;
    int m_forDepth = 0;
    int m_doDepth = 0;
    int m_nesting = 0;
};

}  // namespace

Block parse(const QString& source, Module& module, const ParseContext& context)
{
    return Parser(tokenize(source), module, context).program();
}

ExprPtr parseExpression(const QString& source, Module& module, const ParseContext& context)
{
    return Parser(tokenize(source), module, context).singleExpression();
}

}  // namespace scripting::vbs

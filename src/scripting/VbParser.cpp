#include "scripting/VbParser_p.h"

#include "scripting/ErrObject_p.h"
#include "scripting/ScriptObject_p.h"
#include "scripting/VbLexer_p.h"

#include <QSet>
#include <deque>

namespace scripting::vbs {

namespace {

using vb::Variant;

const QSet<QString>& reservedWords()
{
    static const QSet<QString> words = {
        "and",    "or",      "not",    "xor",  "eqv",      "imp",  "mod",   "is",       "then", "else",
        "elseif", "end",     "if",     "for",  "to",       "step", "next",  "each",     "in",   "do",
        "loop",   "while",   "until",  "wend", "select",   "case", "sub",   "function", "dim",  "redim",
        "const",  "call",    "set",    "exit", "option",   "on",   "error", "resume",   "goto", "byval",
        "byref",  "private", "public", "new",  "preserve", "with"};
    return words;
}

struct Scope {
    Procedure* procedure = nullptr;  // null at the top level
    QHash<QString, int> locals;
};

class Parser {
public:
    Parser(std::vector<Token> tokens, Module& module) : m_t(std::move(tokens)), m_module(module)
    {
        m_scopes.emplace_back();
        m_scope = &m_scopes.back();
    }

    Block run()
    {
        Block program = parseBlock({});  // a closing word with nothing to close fails as a statement
        for (auto& [expr, scope] : m_pending)
            bind(*expr, *scope);
        for (auto& procedure : m_newProcedures) {
            m_module.procedures.insert(procedure->name.toLower(), procedure.get());
            m_module.procedureStore.push_back(std::move(procedure));
        }
        return program;
    }

private:
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

    // Statements up to one of the closing words (or the end of the text).
    Block parseBlock(std::initializer_list<const char*> closers)
    {
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
        if ((key == "private" || key == "public") && (isKey("sub", 1) || isKey("function", 1))) {
            ++m_p;
            return procedure();
        }
        if (key == "sub" || key == "function")
            return procedure();
        if (key == "dim" || key == "private" || key == "public") {
            ++m_p;
            return dim();
        }
        // The statements that start with their own word, each parsed from that word on.
        static const QHash<QString, StmtPtr (Parser::*)()> keywordStatements = {
            {"redim", &Parser::redim},          {"const", &Parser::constant},
            {"if", &Parser::ifStatement},       {"select", &Parser::selectStatement},
            {"for", &Parser::forStatement},     {"do", &Parser::doStatement},
            {"while", &Parser::whileStatement}, {"exit", &Parser::exitStatement},
            {"on", &Parser::onError},           {"with", &Parser::withStatement}};
        if (const auto parse = keywordStatements.value(key))
            return (this->*parse)();
        if (key == "set") {
            ++m_p;
            ExprPtr target = postfix();
            expectSymbol("=", 1011);
            return std::make_unique<AssignStmt>(std::move(target), expression(), true);
        }
        if (key == "call") {
            ++m_p;
            return std::make_unique<CallStmt>(postfix());
        }
        if (reservedWords().contains(key))
            fail(1024);
        return assignmentOrCall();
    }

    StmtPtr assignmentOrCall()
    {
        ExprPtr target = postfix();
        if (acceptSymbol("="))
            return std::make_unique<AssignStmt>(std::move(target), expression(), false);
        // Without Call, "Foo (a)" and "Foo (a), b" put a in parentheses: an expression, passed by value. The
        // first argument was taken as the name's argument list.
        auto* name = dynamic_cast<NameExpr*>(target.get());
        const bool parenthesized = name && name->hasArguments && name->args.size() == 1;
        if (parenthesized && (atStatementEnd() || isSymbol(",")))
            name->args.front() = std::make_unique<ValueOf>(std::move(name->args.front()));
        if (!atStatementEnd()) {
            ExprList args;
            if (parenthesized && acceptSymbol(",")) {
                args = std::move(name->args);
                name->hasArguments = false;
            }
            do
                args.push_back(expression());
            while (acceptSymbol(","));
            if (!target->takeArguments(args))
                fail(1025);
        }
        return std::make_unique<CallStmt>(std::move(target));
    }

    void declare(const QString& name)
    {
        const QString key = name.toLower();
        if (m_scope->procedure) {
            if (m_scope->locals.contains(key))
                fail(1041);
            m_scope->locals.insert(key, m_scope->procedure->slotCount++);
            return;
        }
        if (m_declaredGlobals.contains(key))
            fail(1041);
        m_declaredGlobals.insert(key);
        if (!m_module.globalSlots.contains(key))
            m_module.globalSlots.insert(key, int(m_module.globalSlots.size()));
    }

    ExprPtr nameReference(const QString& name, ExprList args, bool hasArguments)
    {
        auto expr = std::make_unique<NameExpr>(name, std::move(args), hasArguments);
        m_pending.emplace_back(expr.get(), m_scope);
        return expr;
    }

    StmtPtr dim()
    {
        std::vector<StmtPtr> arrays;
        do {
            const QString name = identifier();
            declare(name);
            if (acceptSymbol("(")) {
                auto s = std::make_unique<DimArrayStmt>();
                if (!isSymbol(")"))
                    do
                        s->bounds.push_back(expression());
                    while (acceptSymbol(","));
                expectSymbol(")", 1006);
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

    StmtPtr constant()
    {
        ++m_p;
        std::vector<StmtPtr> assignments;
        do {
            const QString name = identifier();
            declare(name);
            expectSymbol("=", 1011);
            assignments.push_back(std::make_unique<AssignStmt>(nameReference(name, {}, false), expression(), false));
        } while (acceptSymbol(","));
        return sequence(std::move(assignments));
    }

    StmtPtr procedure()
    {
        const bool isFunction = next().key == "function";
        if (m_scope->procedure || m_depth > 0)
            fail(1024);
        auto procedure = std::make_unique<Procedure>();
        procedure->name = identifier();
        procedure->isFunction = isFunction;
        const QString key = procedure->name.toLower();
        for (const auto& p : m_newProcedures)
            if (p->name.toLower() == key)
                fail(1041);
        m_scopes.emplace_back();
        Scope* outer = m_scope;
        m_scope = &m_scopes.back();
        m_scope->procedure = procedure.get();
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
        endStatement();
        procedure->body = parseBlock({"end"});
        expect("end", isFunction ? 1015 : 1016);
        expect(isFunction ? "function" : "sub", isFunction ? 1015 : 1016);
        m_scope = outer;
        m_newProcedures.push_back(std::move(procedure));
        return nullptr;
    }

    StmtPtr ifStatement()
    {
        ++m_p;
        auto s = std::make_unique<IfStmt>();
        ExprPtr condition = expression();
        expect("then", 1017);
        if (peek().kind != TokenKind::LineEnd) {
            ++m_lineIf;
            Block then = lineBlock();
            s->branches.emplace_back(std::move(condition), std::move(then));
            if (accept("else"))
                s->otherwise = lineBlock();
            --m_lineIf;
            return s;
        }
        ++m_depth;
        s->branches.emplace_back(std::move(condition), parseBlock({"elseif", "else", "end"}));
        while (accept("elseif")) {
            ExprPtr c = expression();
            expect("then", 1017);
            s->branches.emplace_back(std::move(c), parseBlock({"elseif", "else", "end"}));
        }
        if (accept("else"))
            s->otherwise = parseBlock({"end"});
        expect("end", 1014);
        expect("if", 1012);
        --m_depth;
        return s;
    }

    // The statements of a one-line If, up to Else or the line's end.
    Block lineBlock()
    {
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
                continue;
            }
            std::vector<CaseTest> tests;
            do
                tests.push_back(caseTest());
            while (acceptSymbol(","));
            s->cases.emplace_back(std::move(tests), parseBlock({"case", "end"}));
        }
        expect("end", 1014);
        expect("select", 1022);
        --m_depth;
        return s;
    }

    CaseTest caseTest()
    {
        CaseTest test;
        if (accept("is")) {
            test.kind = CaseTest::Kind::Is;
            const OperatorToken* o = levelOperator(valueLevels().front());
            if (!o || o->op == BinaryOp::Is)
                fail(1002);
            ++m_p;
            test.op = o->op;
            test.value = concatenation();
            return test;
        }
        test.value = expression();
        if (accept("to")) {
            test.kind = CaseTest::Kind::Range;
            test.upper = expression();
        }
        return test;
    }

    StmtPtr forStatement()
    {
        ++m_p;
        ++m_depth;
        StmtPtr result;
        if (accept("each")) {
            auto s = std::make_unique<ForEachStmt>();
            s->element = nameReference(identifier(), {}, false);
            expect("in", 1046);
            s->collection = expression();
            endStatement();
            s->body = parseBlock({"next"});
            result = std::move(s);
        } else {
            auto s = std::make_unique<ForStmt>();
            s->counter = nameReference(identifier(), {}, false);
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
        if (peek().kind == TokenKind::Name && !isKey("else"))
            identifier();
        --m_depth;
        return result;
    }

    StmtPtr doStatement()
    {
        ++m_p;
        ++m_depth;
        auto s = std::make_unique<DoStmt>();
        if (isKey("while") || isKey("until")) {
            s->until = next().key == "until";
            s->condition = expression();
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
        }
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
        s->body = parseBlock({"wend"});
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
        expect("with", 1002);
        --m_withDepth;
        --m_depth;
        return s;
    }

    StmtPtr exitStatement()
    {
        ++m_p;
        const QString what = peek().key;
        ++m_p;
        if (what == "for")
            return std::make_unique<ExitStmt>(Flow::ExitFor);
        if (what == "do")
            return std::make_unique<ExitStmt>(Flow::ExitDo);
        const Procedure* p = m_scope->procedure;
        if (p && ((what == "sub" && !p->isFunction) || (what == "function" && p->isFunction)))
            return std::make_unique<ExitStmt>(Flow::ExitProcedure);
        syntaxError(1039, peek().line);
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
        while (const OperatorToken* o = levelOperator(levels[index])) {
            ++m_p;
            left = std::make_unique<BinaryExpr>(o->op, std::move(left), operatorLevel(levels, index + 1, tighter));
        }
        return left;
    }

    ExprPtr expression() { return operatorLevel(logicalLevels(), 0, &Parser::notLevel); }

    ExprPtr notLevel()
    {
        if (accept("not"))
            return std::make_unique<UnaryExpr>(true, notLevel());
        return operatorLevel(valueLevels(), 0, &Parser::unary);
    }

    // What follows "Case Is <comparison>".
    ExprPtr concatenation() { return operatorLevel(valueLevels(), 1, &Parser::unary); }

    ExprPtr unary()
    {
        if (acceptSymbol("-"))
            return std::make_unique<UnaryExpr>(false, unary());
        if (acceptSymbol("+"))
            return unary();
        return power();
    }

    ExprPtr power()
    {
        ExprPtr left = postfix();
        while (acceptSymbol("^")) {
            ExprPtr right = acceptSymbol("-") ? std::make_unique<UnaryExpr>(false, postfix()) : postfix();
            left = std::make_unique<BinaryExpr>(BinaryOp::Power, std::move(left), std::move(right));
        }
        return left;
    }

    ExprList argumentList()
    {
        ExprList args;
        if (!isSymbol(")"))
            do
                args.push_back(expression());
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
        while (isSymbol(".") && !(m_withDepth > 0 && peek().spaceBefore)) {
            ++m_p;
            e = member(std::move(e));
        }
        return e;
    }

    ExprPtr member(ExprPtr object)
    {
        if (peek().kind != TokenKind::Name)
            fail(1010);
        const QString name = next().text;
        ExprList args;
        if (acceptSymbol("("))
            args = argumentList();
        return std::make_unique<MemberExpr>(std::move(object), name, std::move(args));
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
            if (dynamic_cast<NameExpr*>(inner.get()))
                return std::make_unique<ValueOf>(std::move(inner));
            return inner;
        }
        if (t.kind != TokenKind::Name || reservedWords().contains(t.key))
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
        const QString name = next().text;
        if (acceptSymbol("("))
            return nameReference(name, argumentList(), true);
        return nameReference(name, {}, false);
    }

    // Binding: the procedure's own names, the module's variables and procedures, Err, the routines and
    // constants, the host's objects and their members; anything else is a new variable (an error under
    // Option Explicit).
    void bind(NameExpr& e, Scope& scope)
    {
        using Kind = NameExpr::Kind;
        const QString key = e.name.toLower();
        if (Procedure* p = scope.procedure) {
            if (auto it = scope.locals.constFind(key); it != scope.locals.cend()) {
                e.kind = Kind::Local;
                e.slot = *it;
                return;
            }
            if (p->isFunction && !e.hasArguments && key == p->name.toLower()) {
                e.kind = Kind::Local;
                e.slot = 0;
                return;
            }
        }
        if (auto it = m_module.globalSlots.constFind(key); it != m_module.globalSlots.cend()) {
            e.kind = Kind::Global;
            e.slot = *it;
            return;
        }
        if (const Procedure* p = findProcedure(key)) {
            e.kind = Kind::Procedure;
            e.procedure = p;
            return;
        }
        if (key == "err") {
            static const Variant err = vb::ObjectPtr(std::make_shared<ErrObject>());
            e.kind = Kind::Constant;
            e.constant = err;
            return;
        }
        if (const Routine* r = findRoutine(key)) {
            e.kind = Kind::Routine;
            e.routine = r;
            return;
        }
        if (auto c = findConstant(key)) {
            e.kind = Kind::Constant;
            e.constant = *c;
            return;
        }
        for (const HostItem& item : m_module.hostItems)
            if (item.name.compare(e.name, Qt::CaseInsensitive) == 0) {
                e.kind = Kind::Constant;
                e.constant = item.object;
                return;
            }
        for (const HostItem& item : m_module.hostItems)
            if (item.addMembers && item.object.objectAs<ScriptObject>()->hasMember(e.name)) {
                e.kind = Kind::HostMember;
                e.constant = item.object;
                return;
            }
        if (m_explicit) {
            e.kind = Kind::Undefined;
            return;
        }
        if (scope.procedure) {
            scope.locals.insert(key, scope.procedure->slotCount);
            e.kind = Kind::Local;
            e.slot = scope.procedure->slotCount++;
        } else {
            e.kind = Kind::Global;
            e.slot = int(m_module.globalSlots.size());
            m_module.globalSlots.insert(key, e.slot);
        }
    }

    const Procedure* findProcedure(const QString& key) const
    {
        for (const auto& p : m_newProcedures)
            if (p->name.toLower() == key)
                return p.get();
        return m_module.procedures.value(key, nullptr);
    }

    std::vector<Token> m_t;
    std::size_t m_p = 0;
    Module& m_module;
    std::deque<Scope> m_scopes;
    Scope* m_scope = nullptr;
    std::vector<std::pair<NameExpr*, Scope*>> m_pending;
    std::vector<std::unique_ptr<Procedure>> m_newProcedures;
    QSet<QString> m_declaredGlobals;
    bool m_explicit = false;
    int m_lineIf = 0;
    int m_depth = 0;  // blocks open (procedures may not start inside one)
    int m_withDepth = 0;
};

}  // namespace

Block parse(const QString& source, Module& module)
{
    return Parser(tokenize(source), module).run();
}

}  // namespace scripting::vbs

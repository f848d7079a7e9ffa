#pragma once
// A script control with a recorder the scripts write to ("Out.Put text" in VBScript, "Out.Put(text)" in
// JScript), and the failure of the last statement run.

#include "runtime/Err.h"
#include "scripting/ScriptControl.h"

#include <QObject>
#include <QStringList>
#include <gtest/gtest.h>

class Recorder : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void Put(const QString& text) { values << text; }
    QStringList values;
};

class ScriptTest : public ::testing::Test {
protected:
    // Runs the statements in the language; true when they ran without error.
    bool run(const QString& source, const QString& language = QStringLiteral("VBScript"))
    {
        if (control.Language() != language)
            control.setLanguage(language);  // keeps Out
        try {
            control.ExecuteStatement(source);
            return true;
        } catch (const vb::VbError& e) {
            EXPECT_EQ(e.number(), control.Error().Number);
            return false;
        }
    }

    // What the recorder got from the statements, one text per Put.
    QStringList output(const QString& source, const QString& language = QStringLiteral("VBScript"))
    {
        out.values.clear();
        EXPECT_TRUE(run(source, language))
            << control.Error().Description.toStdString() << " line " << control.Error().Line;
        return out.values;
    }

    // VBScript's subtype and text of an expression: "Integer:3".
    QString inVb(const QString& expression)
    {
        const QStringList values = output("Out.Put TypeName(" + expression + ") & \":\" & (" + expression + ")");
        return values.value(0);
    }

    QString inJs(const QString& expression)
    {
        return output("Out.Put(String(" + expression + "))", QStringLiteral("JScript")).value(0);
    }

    void SetUp() override { control.AddObject(QStringLiteral("Out"), &out); }

    Recorder out;
    scripting::ScriptControl control;
};

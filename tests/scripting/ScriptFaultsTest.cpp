// Inputs that once crashed the control or let a script reach what it must not: each is a script error now, or
// simply works, and the control stays usable.

#include "ScriptFixture.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <pthread.h>

TEST_F(ScriptTest, ASecondCaseElseIsACompileError)
{
    EXPECT_FALSE(run("Select Case 1 : Case Else : x = 1 : Case Else : End Select"));
    EXPECT_EQ(control.Error().Number, 1014);
    EXPECT_FALSE(run("Select Case 1\nCase Else\n x = 1\nCase 2\nEnd Select"));
    EXPECT_EQ(control.Error().Number, 1014);
    EXPECT_EQ(output("Out.Put \"usable\""), QStringList{"usable"});
}

TEST_F(ScriptTest, AnEmptyArrayHasNoElements)
{
    for (const char* source : {"Dim d() : x = d()", "Dim d() : x = d(0)", "Dim d() : d(0) = 1", "Dim d() : x = UBound(d)",
                               "a = Array() : x = a(0)"}) {
        EXPECT_FALSE(run(source)) << source;
        EXPECT_EQ(control.Error().Number, 9) << source;
    }
}

TEST_F(ScriptTest, DeepNestingIsOutOfStackSpaceNotACrash)
{
    const int depth = 20000;
    EXPECT_FALSE(run("x = " + QString(depth, '(') + "1" + QString(depth, ')')));
    EXPECT_EQ(control.Error().Number, 28);
    EXPECT_EQ(control.Error().Description, "Out of stack space");
    QString ifs;
    for (int i = 0; i < 10000; ++i)
        ifs += "If True Then\n";
    for (int i = 0; i < 10000; ++i)
        ifs += "End If\n";
    EXPECT_FALSE(run(ifs));
    EXPECT_EQ(control.Error().Number, 28);
    EXPECT_FALSE(run("x = " + QString(depth, '-') + "1"));
    EXPECT_EQ(control.Error().Number, 28);
    EXPECT_FALSE(run("Function Down(n)\n Down = Down(n + 1)\nEnd Function\nx = Down(0)"));
    EXPECT_EQ(control.Error().Number, 28);
    // A long chain of one level's operators is no nesting: it is read and worked out flat.
    QString chain = "x = 1";
    for (int i = 0; i < 100000; ++i)
        chain += " + 1";
    EXPECT_EQ(output(chain + "\nOut.Put x"), QStringList{"100001"});
    // Reasonable nesting still works.
    EXPECT_EQ(output("Out.Put " + QString(200, '(') + "2" + QString(200, ')') + " * 3"), QStringList{"6"});
}

TEST_F(ScriptTest, AppendingToATextKeepsEveryValueItsOwn)
{
    EXPECT_EQ(output("s = \"a\"\nt = s\nFor i = 1 To 3\n s = s & i & \"-\"\nNext\nOut.Put s & \" \" & t"),
              QStringList{"a1-2-3- a"});
    // What the pieces do to the variable counts: the text read first is the one appended to.
    EXPECT_EQ(output("Function Change()\n s = \"changed\"\n Change = \"!\"\nEnd Function\n"
                     "s = \"start\"\ns = s & Change()\nOut.Put s"),
              QStringList{"start!"});
    EXPECT_EQ(output("s = Null\ns = s & \"x\" & Null\nn = 5\nn = n & \"\"\nOut.Put s & TypeName(n)"),
              QStringList{"xString"});
    EXPECT_EQ(output("piece = Space(1024)\ns = \"\"\nFor i = 1 To 2000\n s = s & piece\nNext\nOut.Put Len(s)"),
              QStringList{"2048000"});
}

TEST_F(ScriptTest, ScriptsReachOnlyTheMembersTheHostClassDeclares)
{
    QPointer<Recorder> alive(&out);
    for (const char* source : {"Out.deleteLater", "Out.DeleteLater()", "x = Out.objectName", "Out.objectName = \"x\""}) {
        EXPECT_FALSE(run(source)) << source;
        EXPECT_EQ(control.Error().Number, 438) << source;
    }
    EXPECT_FALSE(run("Out.deleteLater();", "JScript"));
    EXPECT_EQ(output("Out.Put(String(Out.objectName) + \" \" + (\"deleteLater\" in Out));", "JScript"),
                     QStringList{"undefined false"});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive);
    EXPECT_EQ(output("Out.Put \"still here\""), QStringList{"still here"});
}

TEST_F(ScriptTest, AThreadWithASmallStackRunsScriptsAndStopsDeepOnesWith28)
{
    long deep = 0;
    QStringList shallow;
    {
        // A thread of 512 KB: its own stack decides how deep scripts may go.
        pthread_attr_t attributes;
        pthread_attr_init(&attributes);
        pthread_attr_setstacksize(&attributes, 512 * 1024);
        struct Job {
            long* deep;
            QStringList* shallow;
        } job{&deep, &shallow};
        pthread_t thread;
        ASSERT_EQ(pthread_create(
                      &thread, &attributes,
                      [](void* data) -> void* {
                          auto* job = static_cast<Job*>(data);
                          Recorder recorder;
                          scripting::ScriptControl control;
                          control.AddObject("Out", &recorder);
                          control.ExecuteStatement("Function F(n)\n If n > 0 Then F = F(n - 1) + 1 Else F = 0\n"
                                                   "End Function\nOut.Put F(20) & \" \" & ((((1))))");
                          *job->shallow = recorder.values;
                          try {
                              control.ExecuteStatement("Function G(n)\n G = G(n + 1)\nEnd Function\nx = G(0)");
                          } catch (const vb::VbError& e) {
                              *job->deep = e.number();
                          }
                          return nullptr;
                      },
                      &job),
                  0);
        pthread_join(thread, nullptr);
        pthread_attr_destroy(&attributes);
    }
    EXPECT_EQ(shallow, QStringList{"20 1"});
    EXPECT_EQ(deep, 28);
}

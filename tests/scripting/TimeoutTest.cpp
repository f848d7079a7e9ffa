// An endless script is stopped by the time-out in either language, and the control runs the next one.

#include "ScriptFixture.h"

TEST_F(ScriptTest, AnEndlessLoopIsStoppedByTheTimeout)
{
    const std::pair<QString, QString> endless[] = {
        {"VBScript", "Out.Put \"start\"\nDo\n  n = n + 1\nLoop"},
        {"VBScript", "Sub Again()\n  Again\nEnd Sub\nOn Error Resume Next\nWhile True\n  x = x + 1\nWend"},
        {"JScript", "Out.Put(\"start\");\nvar n = 0;\nwhile (true) { n++; }"},
    };
    control.setTimeout(200);
    for (const auto& [language, source] : endless) {
        EXPECT_FALSE(run(source, language)) << source.toStdString();
        EXPECT_EQ(control.Error().Number, scripting::TimeoutErrorNumber);
        EXPECT_EQ(control.Error().Description, "Script timed out");
        EXPECT_EQ(output(language == "JScript" ? "Out.Put(\"next\")" : "Out.Put \"next\"", language),
                  QStringList{"next"});
    }
}

// VBScript classes: members, properties, the default member, Me and New, and the life cycle of objects (their
// Class_Terminate runs when the last reference goes).

#include "ScriptFixture.h"

namespace {
const QString account = "Class Account\n"
                        "  Public Owner\n"
                        "  Private m_balance, m_moves(2)\n"
                        "  Private Sub Class_Initialize()\n    m_balance = 100\n  End Sub\n"
                        "  Public Property Get Balance()\n    Balance = m_balance\n  End Property\n"
                        "  Public Property Let Balance(value)\n"
                        "    If value < 0 Then Err.Raise 5\n"
                        "    m_balance = value\n"
                        "  End Property\n"
                        "  Public Function Deposit(amount)\n"
                        "    m_balance = m_balance + amount\n"
                        "    m_moves(0) = amount\n"
                        "    Set Deposit = Me\n"
                        "  End Function\n"
                        "  Public Property Get LastMove(i)\n    LastMove = m_moves(i)\n  End Property\n"
                        "  Private Function Secret()\n    Secret = 42\n  End Function\n"
                        "  Public Function Reveal()\n    Reveal = Secret() + Me.Secret\n  End Function\n"
                        "End Class\n";
}  // namespace

TEST_F(ScriptTest, ClassMembersAndProperties)
{
    EXPECT_EQ(output(account + "Dim a\nSet a = New Account\na.Owner = \"Ana\"\n"
                               "Out.Put a.Owner & \" \" & a.Balance\n"
                               "a.Balance = 250\na.Deposit(50).Deposit 5\n"
                               "Out.Put a.Balance & \" \" & a.LastMove(0) & \" \" & a.Reveal() & \" \" & TypeName(a)\n"
                               "Out.Put IsObject(a) & \" \" & VarType(a)"),
              (QStringList{"Ana 100", "305 5 84 Account", "Verdadeiro 9"}));
    // Private members are not reachable from outside; unknown ones are 438 as well.
    EXPECT_FALSE(run("Out.Put a.Secret"));
    EXPECT_EQ(control.Error().Number, 438);
    EXPECT_FALSE(run("x = a.m_balance"));
    EXPECT_EQ(control.Error().Number, 438);
    EXPECT_FALSE(run("a.Nothing2 = 1"));
    EXPECT_EQ(control.Error().Number, 438);
    // The property's own error reaches the caller.
    EXPECT_FALSE(run("a.Balance = -1"));
    EXPECT_EQ(control.Error().Number, 5);
    EXPECT_FALSE(run("x = a.LastMove()"));
    EXPECT_EQ(control.Error().Number, 450);
}

TEST_F(ScriptTest, PropertiesWithArgumentsSetAndReadOnly)
{
    EXPECT_EQ(output("Class Grid\n"
                     "  Private cells(3), m_link\n"
                     "  Public Property Get Cell(i)\n    Cell = cells(i)\n  End Property\n"
                     "  Public Property Let Cell(i, v)\n    cells(i) = v * 2\n  End Property\n"
                     "  Public Property Get Link()\n    Set Link = m_link\n  End Property\n"
                     "  Public Property Set Link(o)\n    Set m_link = o\n  End Property\n"
                     "  Public Property Get Size()\n    Size = 4\n    Exit Property\n    Size = 5\n  End Property\n"
                     "End Class\n"
                     "Set g = New Grid\ng.Cell(1) = 21\nSet g.Link = New Grid\ng.Link.Cell(2) = 1\n"
                     "Out.Put g.Cell(1) & \" \" & g.Link.Cell(2) & \" \" & g.Size & \" \" & (g.Link Is g)"),
              QStringList{"42 2 4 Falso"});
    EXPECT_FALSE(run("g.Size = 3"));
    EXPECT_EQ(control.Error().Number, 451);
    EXPECT_FALSE(run("g.Link = 3"));  // a Let where only Set is given: the Get's object has no default
    EXPECT_EQ(control.Error().Number, 438);
}

TEST_F(ScriptTest, TheDefaultMemberServesCallsAndValues)
{
    EXPECT_EQ(output("Class Names\n"
                     "  Private items(2)\n"
                     "  Public Default Property Get Item(i)\n    Item = items(i)\n  End Property\n"
                     "  Public Property Let Item(i, v)\n    items(i) = v\n  End Property\n"
                     "End Class\n"
                     "Class Label\n"
                     "  Public Text\n"
                     "  Public Default Function Value()\n    Value = \"[\" & Text & \"]\"\n  End Function\n"
                     "End Class\n"
                     "Set n = New Names\nn(1) = \"b\"\nOut.Put n(1) & n.Item(1)\n"
                     "Set l = New Label\nl.Text = \"x\"\ns = l\nOut.Put s & \" \" & (l & \"!\") & \" \" & TypeName(s)\n"
                     "Out.Put Len(l) & \" \" & UCase(l) & \" \" & TypeName(l) & \" \" & IsObject(l) & \" \" & VarType(l)"),
              (QStringList{"bb", "[x] [x]! String", "3 [X] Label Verdadeiro 8"}));
    // Without a default member an object is no value.
    EXPECT_FALSE(run("Class Plain\nEnd Class\nSet p = New Plain\nx = p"));
    EXPECT_EQ(control.Error().Number, 438);
    EXPECT_FALSE(run("x = p & \"\""));
    EXPECT_EQ(control.Error().Number, 438);
    EXPECT_FALSE(run("Set p = Nothing\nx = p"));
    EXPECT_EQ(control.Error().Number, 91);
    EXPECT_FALSE(run("Set p = Nothing\np.Go"));
    EXPECT_EQ(control.Error().Number, 424);
    EXPECT_FALSE(run("Set q = 5"));
    EXPECT_EQ(control.Error().Number, 424);
    EXPECT_FALSE(run("Set q = New Missing"));
    EXPECT_EQ(control.Error().Number, 506);
}

TEST_F(ScriptTest, ObjectsAreSharedReferencesComparedWithIs)
{
    EXPECT_EQ(output("Class Box\n  Public V\nEnd Class\n"
                     "Set a = New Box\nSet b = a\nb.V = 7\nSet c = New Box\n"
                     "Out.Put a.V & \" \" & (a Is b) & \" \" & (a Is c) & \" \" & (Nothing Is Nothing)\n"
                     "Sub Change(ByVal o)\n  o.V = 9\nEnd Sub\nChange a\nOut.Put b.V\n"
                     "Set b = Nothing\nOut.Put TypeName(b) & \" \" & (b Is Nothing) & \" \" & a.V"),
              (QStringList{"7 Verdadeiro Falso Verdadeiro", "9", "Nothing Verdadeiro 9"}));
}

TEST_F(ScriptTest, TerminateRunsWhenTheLastReferenceGoes)
{
    const QString tracked = "Class Tracked\n"
                            "  Public Name\n"
                            "  Private Sub Class_Initialize()\n    Out.Put \"init\"\n  End Sub\n"
                            "  Private Sub Class_Terminate()\n    Out.Put \"end \" & Name\n  End Sub\n"
                            "End Class\n";
    EXPECT_EQ(output(tracked + "Set a = New Tracked\na.Name = \"a\"\nSet b = a\nSet a = Nothing\nOut.Put \"still\"\n"
                               "Set b = Nothing\nOut.Put \"gone\""),
              (QStringList{"init", "still", "end a", "gone"}));
    // A procedure's local object goes when the procedure ends; an array element or a replaced value too.
    EXPECT_EQ(output("Sub Work()\n  Dim t\n  Set t = New Tracked\n  t.Name = \"local\"\nEnd Sub\n"
                     "Work\nOut.Put \"after\"\n"
                     "Dim list(1)\nSet list(0) = New Tracked\nlist(0).Name = \"item\"\nSet list(0) = New Tracked\n"
                     "list(0).Name = \"second\"\nErase list\nOut.Put \"erased\""),
              (QStringList{"init", "end local", "after", "init", "init", "end item", "end second", "erased"}));
    // An error that leaves a procedure lets its objects go as well.
    EXPECT_EQ(output("Sub Fails()\n  Set t = New Tracked\n  t.Name = \"failed\"\n  x = 1 / 0\nEnd Sub\n"
                     "On Error Resume Next\nFails\nOut.Put \"resumed \" & Err.Number"),
              (QStringList{"init", "end failed", "resumed 11"}));
    // A function's result lives on in its caller.
    EXPECT_EQ(output("Function Make()\n  Set Make = New Tracked\nEnd Function\n"
                     "Set kept = Make()\nkept.Name = \"kept\"\nOut.Put \"made\"\nSet kept = Nothing"),
              (QStringList{"init", "made", "end kept"}));
}

TEST_F(ScriptTest, ObjectsStillHeldTerminateWhenTheScriptIsDiscarded)
{
    EXPECT_EQ(output("Class Last\n  Private Sub Class_Terminate()\n    Out.Put \"closed\"\n  End Sub\nEnd Class\n"
                     "Set keep = New Last"),
              QStringList{});
    control.Reset();
    EXPECT_EQ(out.values, QStringList{"closed"});
}

TEST_F(ScriptTest, MeWithAndErrorHandlingInsideClasses)
{
    EXPECT_EQ(output("Class Counter\n"
                     "  Private n\n"
                     "  Public Function Add()\n    n = n + 1\n    Set Add = Me\n  End Function\n"
                     "  Public Property Get Count()\n    Count = n\n  End Property\n"
                     "  Public Function Safe()\n"
                     "    On Error Resume Next\n    x = 1 / 0\n    Safe = Err.Number\n"
                     "  End Function\n"
                     "End Class\n"
                     "Set c = New Counter\nWith c\n  .Add\n  .Add.Add\n  Out.Put .Count\nEnd With\n"
                     "Out.Put c.Safe()"),
              (QStringList{"3", "11"}));
    // Without its own handler the method's error goes to the caller's.
    EXPECT_EQ(output("Class Thrower\n  Sub Go()\n    Err.Raise 1234\n    Out.Put \"not here\"\n  End Sub\nEnd Class\n"
                     "On Error Resume Next\nSet t = New Thrower\nt.Go\nOut.Put Err.Number"),
              QStringList{"1234"});
}

TEST_F(ScriptTest, ConstantsArraysAndIndexesThroughProperties)
{
    EXPECT_EQ(output("Public Const Greeting = \"hi\"\nPrivate Const Limit = 3\n"
                     "Class Shelf\n"
                     "  Private Const Size = 2\n"
                     "  Private m_items()\n"
                     "  Private Sub Class_Initialize()\n    ReDim m_items(Size)\n    m_items(1) = Greeting\n  End Sub\n"
                     "  Public Property Get Items()\n    Items = m_items\n  End Property\n"
                     "  Public Function Count()\n    Count = UBound(m_items) + 1\n  End Function\n"
                     "End Class\n"
                     "Set s = New Shelf\nOut.Put s.Items(1) & \" \" & s.Count() & \" \" & UBound(s.Items) & \" \" & Limit"),
              QStringList{"hi 3 2 3"});
    EXPECT_FALSE(run("Set s = Nothing\nx = s.Items(0)"));
    EXPECT_EQ(control.Error().Number, 424);
    EXPECT_FALSE(run("x = Empty\nIf x Is Nothing Then y = 1"));
    EXPECT_EQ(control.Error().Number, 424);
}

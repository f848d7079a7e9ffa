// The program folder.

#include "runtime/App.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

using namespace vb;

TEST(AppTest, PathIsTheExecutablesFolderUnlessSet)
{
    const QString previous = App::Path();
    App::setPath(QString());
    EXPECT_EQ(App::Path(), QCoreApplication::applicationDirPath());
    App::setPath("/tmp/programa/");
    EXPECT_EQ(App::Path(), "/tmp/programa");
    App::setPath("/tmp/outro");
    EXPECT_EQ(App::Path(), "/tmp/outro");
    App::setPath(previous);
    EXPECT_EQ(App::Path(), previous);
}

TEST(AppTest, Title)
{
    EXPECT_EQ(App::Title, "Vorna");
}

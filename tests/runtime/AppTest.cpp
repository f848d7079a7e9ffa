// The program folder.

#include "runtime/App.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

TEST(App, PathIsTheExecutablesFolderUnlessSetAndHasNoTrailingSlash)
{
    const QString previous = vb::App::Path();
    vb::App::setPath(QString());
    EXPECT_EQ(vb::App::Path(), QCoreApplication::applicationDirPath());
    vb::App::setPath("/tmp/programa/");
    EXPECT_EQ(vb::App::Path(), "/tmp/programa");
    vb::App::setPath(previous);
}

#include "Paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::findPath;

TEST(Paths, ExistingPartsAreSpelledAsOnDiskAndTheRestAsWritten)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString root = tmp.path();
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("usr/UniEmens/Res")));
    QFile f(root + QStringLiteral("/usr/UniEmens/Res/check.TXT"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();

    EXPECT_EQ(findPath(root, QStringLiteral("USR\\UniEmens\\Res\\Check.txt")),
              root + QStringLiteral("/usr/UniEmens/Res/check.TXT"));
    // A folder keeps its trailing slash, with either separator.
    EXPECT_EQ(findPath(root, QStringLiteral("USR\\UNIEMENS\\Res\\")), root + QStringLiteral("/usr/UniEmens/Res/"));
    EXPECT_EQ(findPath(root + QStringLiteral("/"), QStringLiteral("Usr/")), root + QStringLiteral("/usr/"));
    // From the first missing part on, the rest is kept as written.
    EXPECT_EQ(findPath(root, QStringLiteral("USR\\UniEmensDati\\UniEmens2024\\")),
              root + QStringLiteral("/usr/UniEmensDati/UniEmens2024/"));
    EXPECT_EQ(findPath(root + QStringLiteral("/Nuova/uSr")), root + QStringLiteral("/Nuova/uSr"));
    // ".." is followed ("..\etc\wun\" from a program folder).
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("bin")));
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("etc/wun")));
    EXPECT_EQ(findPath(root + QStringLiteral("/bin"), QStringLiteral("..\\ETC\\Wun\\")),
              root + QStringLiteral("/etc/wun/"));
}

TEST(Paths, EmptyAndRelativePaths)
{
    EXPECT_EQ(findPath(QString()), QString());
    EXPECT_EQ(findPath(QString(), QStringLiteral("a\\b")), QStringLiteral("a/b"));
}

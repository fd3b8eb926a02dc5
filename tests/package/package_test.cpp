// The Debian package as a user gets it: built with CPack, unpacked into a
// scratch root (dpkg -x), its gxctl run against the simulator and its program
// started under Xvfb from a folder that holds no data files.

#include "simprocess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Ran {
    int rc = -1;
    QString out;
};

Ran run(const QString& program, const QStringList& args, const QString& folder = QString(),
        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(), int ms = 120000)
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    p.waitForFinished(ms);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

} // namespace

TEST(Package, InstallsAndRunsFromAFolderWithoutDataFiles)
{
    QTemporaryDir work;
    const Ran pack = run("cpack", {"-G", "DEB", "--config", QStringLiteral(GX_BUILD_DIR) + "/CPackConfig.cmake", "-B",
                                   work.filePath("pkg")});
    ASSERT_EQ(pack.rc, 0) << pack.out.toStdString();
    const QStringList debs = QDir(work.filePath("pkg")).entryList({"gx520_*.deb"});
    ASSERT_EQ(debs.size(), 1) << pack.out.toStdString();
    const QString deb = work.filePath("pkg/" + debs[0]);
    const QString root = work.filePath("root");
    ASSERT_EQ(run("dpkg", {"-x", deb, root}).rc, 0);
    const Ran info = run("dpkg-deb", {"-I", deb});
    EXPECT_TRUE(info.out.contains("libqt6serialport6")) << info.out.toStdString();
    EXPECT_TRUE(info.out.contains("dialout"));
    for (const char* file : {"usr/bin/gx520", "usr/bin/gxctl", "usr/share/gx520/limits.txt", "usr/share/gx520/print_data.txt",
                             "usr/share/applications/gx520.desktop", "usr/share/icons/hicolor/scalable/apps/gx520.svg",
                             "usr/share/doc/gx520/copyright", "usr/share/doc/gx520/changelog.gz",
                             "usr/share/man/man1/gx520.1.gz", "usr/share/man/man1/gxctl.1.gz",
                             "usr/lib/systemd/system/gx520-serve@.service", "usr/share/doc/gx520/examples/serve-site.ini"})
        EXPECT_TRUE(QFileInfo::exists(root + "/" + file)) << file;
    EXPECT_TRUE(info.out.contains("postinst")) << "the service's user is made on installation";
    EXPECT_TRUE(info.out.contains("adduser"));

    // As Debian expects it: lintian finds no error and no warning.
    const Ran lint = run("lintian", {deb});
    QStringList complaints;
    for (const QString& line : lint.out.split('\n'))
        if (line.startsWith("E: ") || line.startsWith("W: "))
            complaints << line;
    EXPECT_TRUE(complaints.isEmpty()) << complaints.join('\n').toStdString();
    EXPECT_TRUE(lint.rc == 0 || !complaints.isEmpty()) << "lintian (in scripts/setup.sh) runs: " << lint.out.toStdString();
    // The manual page of gxctl is its --help: every command and the exit statuses.
    const Ran manual = run("sh", {"-c", "zcat " + root + "/usr/share/man/man1/gxctl.1.gz"});
    for (const char* part : {"identify", "status", "upload", "download", "\\-\\-no\\-limits", "check", "diff", "scan",
                             "Exit status", "2 trouble", "\\-\\-dial"})
        EXPECT_TRUE(manual.out.contains(QLatin1String(part))) << part;

    // gxctl, from a folder without data files, against the simulator.
    SimProcess sim({});
    QDir().mkpath(work.filePath("empty"));
    QDir().mkpath(work.filePath("config/GX520"));
    QFile ini(work.filePath("config/GX520/GX520.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral("[Settings]\nuse=local\nCurrentPort=1\n[Ports]\nCOM1=%1\n").arg(sim.path).toUtf8());
    ini.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", work.filePath("config"));
    const QString gxctl = root + "/usr/bin/gxctl";
    ASSERT_EQ(run(gxctl, {"upload", "-o", "site.520"}, work.filePath("empty"), env).rc, 0);
    const Ran check = run(gxctl, {"check", "site.520"}, work.filePath("empty"), env);
    EXPECT_EQ(check.rc, 0) << check.out.toStdString();
    EXPECT_TRUE(check.out.contains("share/gx520/limits.txt")) << "found beside the installed program: " << check.out.toStdString();
    QFile::remove(work.filePath("empty/site.520"));

    // The example settings of gxctl serve are accepted: --interval, checked
    // after every other key, is the only thing refused.
    const Ran example = run(gxctl, {"serve", "--config", root + "/usr/share/doc/gx520/examples/serve-site.ini",
                                    "--interval", "0"}, work.filePath("empty"), env);
    EXPECT_EQ(example.rc, 2);
    EXPECT_TRUE(example.out.contains("--interval takes a number of seconds")) << example.out.toStdString();

    // The program under Xvfb: it finds limits.txt (no complaint, Program
    // usable) and print_data.txt (Print current profile opens its preview).
    QProcess xvfb;
    xvfb.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1366x768x24", "-nolisten", "tcp"});
    ASSERT_TRUE(xvfb.waitForReadyRead(10000)) << "Xvfb starts";
    const QString display = ":" + QString::fromLatin1(xvfb.readLine().trimmed());
    env.insert("DISPLAY", display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    QProcess program;
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(work.filePath("empty"));
    program.start(root + "/usr/bin/gx520", {});
    ASSERT_TRUE(program.waitForStarted(5000));
    auto xdotool = [&](const QStringList& args) { return run("xdotool", args, QString(), env, 15000); };
    const Ran window = xdotool({"search", "--sync", "--name", "GX510-520 Program / Monitor"});
    ASSERT_EQ(window.rc, 0) << "the main window shows";
    EXPECT_NE(xdotool({"search", "--name", "^GX510-520$"}).rc, 0) << "no message box: limits.txt was found";
    const QString id = window.out.split('\n', Qt::SkipEmptyParts).value(0);
    xdotool({"windowfocus", "--sync", id});
    xdotool({"key", "--window", id, "alt"});
    xdotool({"key", "Return", "Down", "Down", "Down", "Down", "Return"});  // File > Print current profile
    EXPECT_EQ(xdotool({"search", "--sync", "--name", "^Print current profile$"}).rc, 0)
        << "the preview opens: print_data.txt was found";
    EXPECT_NE(xdotool({"search", "--name", "^GX510-520$"}).rc, 0) << "no complaint about print_data.txt";
    program.kill();
    program.waitForFinished(3000);
    xvfb.terminate();
    xvfb.waitForFinished(3000);
}

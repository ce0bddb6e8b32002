// The install tree: `cmake --install` puts everything where the desktop
// and the reader look for it, the desktop entry and the metadata pass
// their validators, and the installed program, run by a user who cannot
// write the prefix, keeps that user's books in the user's own folder and
// leaves the prefix as it was.

#include "e2e/reader_run.h"
#include "support/read_only_folder.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QMap>
#include <QRegularExpression>
#include <QSize>
#include <QStandardPaths>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using e2e::ReaderRun;

const QString kAppId = QStringLiteral(READER_APP_ID);

// Every file under `root` with a digest of its bytes and its permissions.
QMap<QString, QByteArray> Snapshot(const QString& root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QByteArray digest = QByteArray::number(static_cast<int>(QFile::permissions(path)));
        if (it.fileInfo().isFile())
            digest += QCryptographicHash::hash(ReadBytes(path), QCryptographicHash::Sha256).toHex();
        files.insert(QDir(root).relativeFilePath(path), digest);
    }
    return files;
}

// The width and height a PNG file's header gives.
QSize PngSize(const QString& path)
{
    const QByteArray bytes = ReadBytes(path);
    if (bytes.size() < 24 || !bytes.startsWith("\x89PNG"))
        return {};
    auto number = [&](int at) {
        return (static_cast<uchar>(bytes[at]) << 24) | (static_cast<uchar>(bytes[at + 1]) << 16)
            | (static_cast<uchar>(bytes[at + 2]) << 8) | static_cast<uchar>(bytes[at + 3]);
    };
    return QSize(number(16), number(20));
}

struct ToolRun {
    int exitCode;
    QString output;
};

ToolRun Execute(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {-1, process.errorString()};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAll())};
}

class InstallTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Everyone may read and run the prefix, as under /usr.
        QFile::setPermissions(prefix.Root(),
                              QFile::permissions(prefix.Root()) | QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup
                                  | QFile::ExeGroup);
        const ToolRun install = Execute(
            QStringLiteral(READER_CMAKE),
            {QStringLiteral("--install"), QStringLiteral(READER_BUILD_DIR), QStringLiteral("--prefix"), prefix.Root()});
        ASSERT_EQ(install.exitCode, 0) << install.output.toStdString();
    }
    QString Installed(const QString& relative) const { return prefix.Path(relative); }

    TempFolder prefix;
};

TEST_F(InstallTree, EverythingIsWhereTheDesktopAndTheReaderLook)
{
    const QFileInfo program(Installed(QStringLiteral("bin/txtreader")));
    EXPECT_TRUE(program.isFile() && program.isExecutable());

    // The shipped data, byte for byte, where the program finds it from bin/.
    const QString data = QStringLiteral(READER_DATA_DIR);
    int shipped = 0;
    QDirIterator it(data, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(data).relativeFilePath(path);
        EXPECT_EQ(ReadBytes(Installed(QStringLiteral("share/txtreader/") + relative)), ReadBytes(path))
            << relative.toStdString();
        ++shipped;
    }
    EXPECT_GT(shipped, 0);
    EXPECT_TRUE(QFile::exists(Installed(QStringLiteral("share/txtreader/Skin/言情.ini"))));
    EXPECT_TRUE(QFile::exists(Installed(QStringLiteral("share/txtreader/SImage/2.jpg"))));

    for (const int size : {48, 128, 256}) {
        const QString icon = QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId);
        EXPECT_EQ(PngSize(Installed(icon)), QSize(size, size)) << icon.toStdString();
    }
    EXPECT_TRUE(QFile::exists(Installed(QStringLiteral("share/applications/") + kAppId + QStringLiteral(".desktop"))));
    EXPECT_TRUE(QFile::exists(Installed(QStringLiteral("share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml"))));
}

TEST_F(InstallTree, TheDesktopEntryAndTheMetadataAreValid)
{
    const QString entry = Installed(QStringLiteral("share/applications/") + kAppId + QStringLiteral(".desktop"));
    const QStringList lines = QString::fromUtf8(ReadBytes(entry)).split(u'\n');
    for (const char* line : {"Exec=txtreader %F", "MimeType=text/plain;", "Type=Application"})
        EXPECT_TRUE(lines.contains(QString::fromLatin1(line))) << line;
    EXPECT_TRUE(lines.contains(QStringLiteral("Icon=") + kAppId));
    EXPECT_FALSE(lines.filter(QRegularExpression(QStringLiteral("^Name=.+"))).isEmpty());
    EXPECT_FALSE(lines.filter(QRegularExpression(QStringLiteral("^Name\\[zh_CN\\]=.+"))).isEmpty());

    const QString metainfo = Installed(QStringLiteral("share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml"));
    const QString xml = QString::fromUtf8(ReadBytes(metainfo));
    EXPECT_TRUE(xml.contains(QStringLiteral("<id>") + kAppId + QStringLiteral("</id>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<launchable type=\"desktop-id\">") + kAppId + QStringLiteral(".desktop")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<screenshot type=\"default\">")));

    const QString desktopValidator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (desktopValidator.isEmpty() || appstream.isEmpty())
        GTEST_SKIP() << "desktop-file-validate or appstreamcli is missing (Debian: desktop-file-utils, appstream)";
    const ToolRun desktop = Execute(desktopValidator, {entry});
    EXPECT_EQ(desktop.exitCode, 0) << desktop.output.toStdString();
    EXPECT_TRUE(desktop.output.trimmed().isEmpty()) << desktop.output.toStdString();
    const ToolRun appdata = Execute(appstream, {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfo});
    EXPECT_EQ(appdata.exitCode, 0) << appdata.output.toStdString();
}

// Who runs the installed program: root hands it to nobody, who cannot
// write the prefix; anyone else runs it over a prefix made read-only.
struct OtherUser {
    uid_t uid = 0;
    gid_t gid = 0;
    bool switchUser = false;
};

TEST_F(InstallTree, AnInstalledReaderKeepsTheUsersBooksInTheUsersFolderAndNeverWritesThePrefix)
{
    OtherUser user;
    std::vector<std::unique_ptr<ReadOnlyFolder>> locked;
    if (::geteuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
            GTEST_SKIP() << "no user nobody or no setpriv to run the program as a user who cannot write the prefix";
        user = {nobody->pw_uid, nobody->pw_gid, true};
    } else {
        QDirIterator it(prefix.Root(), QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        QStringList folders{prefix.Root()};
        while (it.hasNext())
            folders.append(it.next());
        for (const QString& folder : folders) {
            locked.push_back(std::make_unique<ReadOnlyFolder>(folder));
            if (!locked.back()->Made())
                GTEST_SKIP() << locked.back()->Why().toStdString();
        }
    }

    // The user's home, data and runtime folders, the user's own.
    TempFolder home;
    TempFolder books;
    const QString runtime = home.Path(QStringLiteral("run"));
    QDir().mkpath(runtime);
    const QString book = books.WriteGbk(QStringLiteral("西游记.txt"), QStringLiteral("第一回\r\n灵根育孕源流出\r\n"));
    for (const QString& path : {home.Root(), runtime})
        ASSERT_EQ(::chown(path.toLocal8Bit().constData(), user.switchUser ? user.uid : ::geteuid(),
                          user.switchUser ? user.gid : ::getegid()),
                  0);
    ::chmod(home.Root().toLocal8Bit().constData(), 0755);
    ::chmod(runtime.toLocal8Bit().constData(), 0700);
    ::chmod(books.Root().toLocal8Bit().constData(), 0755);
    ::chmod(book.toLocal8Bit().constData(), 0644);

    QProcessEnvironment environment = e2e::OffscreenEnvironment();
    environment.insert(QStringLiteral("HOME"), home.Root());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.Path(QStringLiteral(".local/share")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.Path(QStringLiteral(".config")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.Path(QStringLiteral(".cache")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);

    const QMap<QString, QByteArray> before = Snapshot(prefix.Root());
    const QString installed = Installed(QStringLiteral("bin/txtreader"));
    QString program = installed;
    QStringList arguments{book};
    if (user.switchUser) {
        program = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        arguments = QStringList{QStringLiteral("--reuid=%1").arg(user.uid), QStringLiteral("--regid=%1").arg(user.gid),
                                QStringLiteral("--clear-groups"), QStringLiteral("--"), installed}
            + arguments;
    }
    {
        ReaderRun reader(program, arguments, books.Root(), environment);
        ASSERT_TRUE(reader.WaitUntilReading()) << reader.Errors().toStdString();
        EXPECT_EQ(reader.Close(), 0);
    }

    EXPECT_EQ(
        ReadBytes(home.Path(QStringLiteral(".local/share/txtreader/book.ini"))),
        EncodeGb18030(QStringLiteral("[Version1.0]\r\nName=") + book + QStringLiteral(",Xcolor=,id=0,SelStart=1\r\n")));
    EXPECT_EQ(Snapshot(prefix.Root()), before);
}

}  // namespace

#include "ui/platform/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

namespace {

// Qt's own options of QGuiApplication and QApplication (X11 included):
// QApplication takes them off the command line itself.
const char* const kQtOptionsWithValue[] = {"platform",        "platformpluginpath", "platformtheme", "plugin",
                                           "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
                                           "display",         "geometry",           "style",         "stylesheet",
                                           "qmljsdebugger"};
const char* const kQtSwitches[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

void AddQtOptions(QCommandLineParser& parser)
{
    for (const char* name : kQtOptionsWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : kQtSwitches) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments, const QString& workingFolder)
{
    QCommandLineParser parser;
    // Qt's options are written with one dash: "-platform" is one option,
    // not the letters p, l, a ….
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral("按章节阅读 GBK 与 UTF-8 编码的 txt 小说。"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("文件"), QStringLiteral("要打开的电子书（.txt），依次打开"),
                                 QStringLiteral("[文件…]"));
    AddQtOptions(parser);

    CommandLine line;
    const QString helpText = parser.helpText();
    if (!parser.parse(arguments)) {
        line.action = CommandLine::Action::Refuse;
        line.output = parser.errorText() + QStringLiteral("\n\n") + helpText;
        return line;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        line.action = CommandLine::Action::ShowHelp;
        line.output = helpText;
        return line;
    }
    if (parser.isSet(version)) {
        line.action = CommandLine::Action::ShowVersion;
        line.output = QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n';
        return line;
    }
    const QDir working(workingFolder);
    for (const QString& book : parser.positionalArguments())
        line.books.append(QDir::cleanPath(working.absoluteFilePath(book)));
    return line;
}

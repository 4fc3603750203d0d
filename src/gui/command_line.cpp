#include "gui/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace konfigor {

CommandLine parseCommandLine(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Programming tool for KVR ZOR radio receivers."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Connect to the built-in simulated receiver."));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Offer PATH as an interface port (repeatable)."),
                                  QStringLiteral("PATH"));
    parser.addOption(demo);
    parser.addOption(port);
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("Settings file (.kvr) to load at start-up."),
                                 QStringLiteral("[file]"));
    parser.process(app);

    CommandLine result;
    result.demo = parser.isSet(demo);
    result.extraPorts = parser.values(port);
    // Only the last argument counts, and only when it names an existing file: a file manager
    // opening a .kvr passes its path there.
    const QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty() && QFileInfo(positional.last()).isFile())
        result.settingsFile = QFileInfo(positional.last()).absoluteFilePath();
    return result;
}

} // namespace konfigor

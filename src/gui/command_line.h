#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace konfigor {

// What the program was asked to do on its command line.
struct CommandLine {
    bool demo = false;      // connect to the built-in software receiver
    QStringList extraPorts; // --port PATH, listed beside the discovered interfaces
    QString settingsFile;   // last argument naming an existing file, loaded at start-up
};

// Parses the arguments of `app`. --help and --version print and exit the process, as every
// command-line program does.
CommandLine parseCommandLine(const QCoreApplication& app);

} // namespace konfigor

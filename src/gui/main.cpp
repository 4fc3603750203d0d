#include "gui/command_line.h"
#include "gui/main_form.h"
#include "konfigor/version.h"

#include <memory>
#include <string_view>

#include <QApplication>
#include <QIcon>

namespace {

// --help and --version need no display: answer them without bringing up the GUI, so they
// also work over ssh or in a build log.
bool asksForInformationOnly(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h" || arg == "--help-all" || arg == "--version" ||
            arg == "-v")
            return true;
    }
    return false;
}

std::unique_ptr<QCoreApplication> createApplication(int& argc, char* argv[]) {
    if (asksForInformationOnly(argc, argv))
        return std::make_unique<QCoreApplication>(argc, argv);
    auto app = std::make_unique<QApplication>(argc, argv);
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/konfigor-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    // Desktops match the window to its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("pl.zentor.Konfigor"));
    return app;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::unique_ptr<QCoreApplication> app = createApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("konfigor"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(konfigor::kProgramVersion));
    QCoreApplication::setOrganizationName(QStringLiteral("Zentor"));

    konfigor::TMainForm mainForm(konfigor::parseCommandLine(*app));
    mainForm.show();
    return QCoreApplication::exec();
}

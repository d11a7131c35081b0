#include "app/Startup.h"

#include "app/AppIcon.h"
#include "app/Varden.h"
#include "app/WindowFont.h"
#include "modbus/UDP_Modbus.h"
#include "monitor/MonitorState.h"
#include "shell/AppTitle.h"
#include "shell/Dialogs.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace Startup {

void installToolkitTranslation() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    for (const QString& folder : {QCoreApplication::applicationDirPath() + "/translations",
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
        if (translator->load(QStringLiteral("qtbase_de"), folder)) {
            QCoreApplication::installTranslator(translator);
            return;
        }
    }
    delete translator; // without it Qt's own texts stay English; the program's are German
}

std::unique_ptr<QApplication> startToolkit(const char* programPath) {
    static char* arguments[] = {const_cast<char*>(programPath), nullptr};
    static int count = 1;
    auto app = std::make_unique<QApplication>(count, arguments);
    AppTitle::set(AppTitle::fromProgramPath(QString::fromLocal8Bit(programPath)));
    QApplication::setWindowIcon(AppIcon::make());
    installToolkitTranslation();
    // The window's fixed layout is made for one style's metrics and colours (labels of the
    // grid in the button face), and Fusion is the one every platform has.
    QApplication::setStyle(QStringLiteral("Fusion"));
    WindowFont::install();
    return app;
}

void startModules(const QString& target) {
    UDP_Modbus::moduleStart();
    try {
        MonitorModule::start(target);
    } catch (...) {
        UDP_Modbus::moduleStop();
        throw;
    }
}

std::unique_ptr<TVarden> createMainWindow() {
    auto window = std::make_unique<TVarden>();
    window->setAttribute(Qt::WA_QuitOnClose);
    return window;
}

void stopModules() {
    MonitorModule::stop();
    UDP_Modbus::moduleStop();
}

int run(const char* programPath) {
    auto app = startToolkit(programPath);
    try {
        startModules(DefaultTargetIP);
    } catch (const std::exception& error) {
        Dialogs::showMessage(QString::fromUtf8(error.what()));
        return 1;
    }
    {
        auto window = createMainWindow();
        window->show();
        QApplication::exec();
    }
    stopModules();
    return 0;
}

} // namespace Startup

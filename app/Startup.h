#pragma once

#include <QString>

#include <memory>

class QApplication;
class TVarden;

// The program's start-up and shutdown order. The executable and the end-to-end tests go
// through the same steps.
namespace Startup {

// The toolkit with the program name only: the monitor reads no command line.
std::unique_ptr<QApplication> startToolkit(const char* programPath);

// Qt's own texts (the edits' and panes' context menus) in German, from the translations
// folder beside the program (where the Windows build puts them) or else from Qt's own.
void installToolkitTranslation();

// Start steps of the client's module, then of the main window's module. An error raised
// here stops the modules already started, in reverse order, and propagates. The program
// aims at its default target; tests and benchmarks at a loopback address of their own.
void startModules(const QString& target);

// Creates the main window (its set-up runs inside) and makes it the program's main window.
std::unique_ptr<TVarden> createMainWindow();

// Stop steps after the window is gone: main window's module, then the client's module.
void stopModules();

// The whole program; returns its exit code.
int run(const char* programPath);

} // namespace Startup

#pragma once

#include "app/Varden.h"
#include "monitor/MonitorState.h"

#include <QApplication>
#include <QTest>

#include <memory>

// The monitor as the program starts it, aimed at a loopback target of the test's own, with
// its main window shown offscreen. Module state starts from its start values, whatever ran
// before.
class MonitorWindow {
  public:
    explicit MonitorWindow(const QString& target) {
        MonitorModule::start(target);
        window = std::make_unique<TVarden>();
        window->show();
        QApplication::setActiveWindow(window.get());
        (void)QTest::qWaitForWindowExposed(window.get());
    }
    ~MonitorWindow() {
        window.reset();
        MonitorModule::stop();
    }
    MonitorWindow(const MonitorWindow&) = delete;
    MonitorWindow& operator=(const MonitorWindow&) = delete;

    TVarden* operator->() const { return window.get(); }
    TVarden& operator*() const { return *window; }

  private:
    std::unique_ptr<TVarden> window;
};

#pragma once

#include "app/Varden.h"
#include "monitor/MonitorState.h"
#include "tests/support/Operator.h"
#include "widgets/StringGrid.h"

#include <QApplication>
#include <QList>
#include <QPlainTextEdit>
#include <QPoint>
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

    // The text Grid1 paints in cell (col, row), label cells included.
    QString shown(int col, int row) const {
        const StringGrid& grid = *window->Grid1;
        if (col == 0 && row == 0) return grid.cornerText();
        if (row == 0) return grid.model()->headerData(col - 1, Qt::Horizontal).toString();
        if (col == 0) return grid.model()->headerData(row - 1, Qt::Vertical).toString();
        return Operator::cellText(&grid, col, row);
    }

    // The data cells that show any text, as (column, row), row by row.
    QList<QPoint> filledCells() const {
        QList<QPoint> filled;
        const QAbstractItemModel& cells = *window->Grid1->model();
        for (int row = 0; row < cells.rowCount(); ++row)
            for (int col = 0; col < cells.columnCount(); ++col)
                if (!cells.index(row, col).data().toString().isEmpty())
                    filled.append({col + 1, row + 1});
        return filled;
    }

    QString messages() const { return window->Memo1->toPlainText(); }
    QString errors() const { return window->Memo2->toPlainText(); }

  private:
    std::unique_ptr<TVarden> window;
};

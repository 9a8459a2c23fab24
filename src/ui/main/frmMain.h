#pragma once

#include <QWidget>

namespace stampwell::ui {

// The main window. For now an empty window with the program's caption and icon.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);

    // The load handler, run before the window is first shown.
    void Load();
};

} // namespace stampwell::ui

#include "ui/main/frmMain.h"

#include "ui/icon/modAppIcon.h"

namespace stampwell::ui {

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    resize(640, 480);
}

void frmMain::Load() {
    SetAppIcon(*this);
    setWindowTitle("Stampwell");
}

} // namespace stampwell::ui

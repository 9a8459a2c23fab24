#pragma once

#include "updater/update_ports.h"

#include <QStringList>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

namespace stampupdate {

// Stampupdate's one window, never shown. Load() does all its work: it reads
// Stampwell's record, asks whether to go online (Qt's button texts in that
// language), opens the update page on Yes, and starts Timer1, whose tick
// unloads the window 3 seconds later.
class frmUpdate : public QWidget {
    Q_OBJECT

public:
    frmUpdate(UpdateQuestion& question, AddressOpener& opener, QString commandLine);

    void Load();

    const QTimer& Timer1() const { return timer1_; }

signals:
    // The window has been unloaded; the program has nothing left to do.
    void Unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    UpdateQuestion& question_;
    AddressOpener& opener_;
    const QString commandLine_;
    QTimer timer1_;
    QTranslator translator_;
};

// The command line after the program name: the arguments as given, joined by
// one blank each, with nothing trimmed.
QString CommandLineText(const QStringList& arguments);

} // namespace stampupdate

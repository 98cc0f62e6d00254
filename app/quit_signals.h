// SIGTERM, SIGINT and SIGHUP turned into a Qt signal on the user-interface thread, where they
// request the orderly end (the next tick saves the settings and closes).
#pragma once

#include <QObject>

class QSocketNotifier;

namespace plx {

class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

    // Makes the three signals this object's again. A library loaded later may have taken them
    // (the database client does, to shut its connections down on its own); the program calls
    // this once its start-up has loaded the database.
    void Install();

signals:
    void quitRequested();

private:
    void Drain();
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace plx

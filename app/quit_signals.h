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

signals:
    void quitRequested();

private:
    void Drain();
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace plx

// Ending the program when a signal or the session asks: every open box closes as its default
// answer (now and as long as the end takes), the quit goes through the tick as usual, and when
// the tick cannot get there in time the window is closed directly, so that the program-end
// settings are saved and the program ends within two seconds.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace plx {

class QuitSignals;
class Tf_main;

// Closes every open modal box or dialog as its default answer: a message box through its default
// button (Cancel for a question), any other dialog as cancelled.
void CloseOpenBoxes();

class QuitRequest : public QObject {
    Q_OBJECT
public:
    // The longest the orderly end through the tick is waited for.
    static constexpr int kTickDeadlineMs = 1500;

    QuitRequest(Tf_main& window, QuitSignals& quitSignals, QObject* parent = nullptr);

    void Request();

private:
    void Sweep();

    Tf_main& window_;
    QTimer sweep_;
    QElapsedTimer since_;
};

}  // namespace plx

// MailWorker: the mail of the racer check, sent on a worker thread. The message is checked and
// composed on the calling (user-interface) thread; only the network part runs in the background,
// and its outcome is told back on the user-interface thread.
#pragma once

#include <functional>

#include "common/shell/background_worker.h"
#include "mail/send_mail.h"

namespace plx {

class MailWorker {
public:
    // Sends what FillMail put into `client` and `message` and returns at once. A message that
    // cannot go on the wire at all is told at once; the outcome of a send is told when it ends, as
    // SendMail tells it ("メール送信に失敗しました。[...]"), from a queued event. Returns false, and
    // sends nothing, while the previous mail is still in flight.
    bool Start(const SmtpClient& client, const MailMessage& message);

    bool Busy() const { return worker_.Busy(); }

    // Stops a send in flight at once: the connection is dropped and nothing is told.
    void Abort() { worker_.Abort(); }

    // Told after each mail has ended and its failure, if any, has been told: 0 or -1.
    std::function<void(int result)> finished;

private:
    void End(const SmtpOutcome& outcome);

    BackgroundWorker worker_;  // last: stopped before the rest goes
};

}  // namespace plx

// The mail sent in the background.
#include "mail/mail_worker.h"

#include <exception>
#include <optional>

namespace plx {

bool MailWorker::Start(const SmtpClient& client, const MailMessage& message) {
    if (worker_.Busy()) return false;
    SmtpOutcome failure;
    std::optional<SmtpJob> job;
    try {
        job = PrepareSmtpJob(client, message, &failure);
    } catch (const std::exception& e) {
        failure = {SmtpFailure::Other, e.what()};
    }
    if (!job) {
        End(failure);
        return true;
    }
    std::function<SmtpOutcome(std::stop_token)> send = [job = std::move(*job)](std::stop_token stop) {
        return RunSmtpJob(job, stop);
    };
    return worker_.Start(send, std::function<void(SmtpOutcome)>([this](SmtpOutcome outcome) { End(outcome); }));
}

void MailWorker::End(const SmtpOutcome& outcome) {
    int result = MailOutcome(outcome);
    if (finished) finished(result);
}

}  // namespace plx

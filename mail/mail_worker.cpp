// The mail sent in the background.
#include "mail/mail_worker.h"

#include <exception>
#include <optional>

namespace plx {

bool MailWorker::Start(const SmtpClient& client, const MailMessage& message) {
    if (worker_.Busy()) return false;
    std::string error;
    std::optional<SmtpJob> job;
    try {
        job = PrepareSmtpJob(client, message, &error);
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (!job) {
        End(error);
        return true;
    }
    std::function<std::string(std::stop_token)> send = [job = std::move(*job)](std::stop_token stop) {
        return RunSmtpJob(job, stop);
    };
    return worker_.Start(send, std::function<void(std::string)>([this](std::string sendError) { End(sendError); }));
}

void MailWorker::End(const std::string& error) {
    int result = MailOutcome(error);
    if (finished) finished(result);
}

}  // namespace plx

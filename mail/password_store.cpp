// The mail password through QtKeychain's asynchronous jobs.
#include "mail/password_store.h"

#include <qt6keychain/keychain.h>

#include "common/shell/qt_text.h"

namespace plx {
namespace {

const QString kService = QStringLiteral("Pilonix");
const QString kKey = QStringLiteral("SMTP_PSWD");

// A job is never anyone's child: the secret store's answer reaches the job itself, which must
// therefore live until it has come (it then deletes itself). Only the connection to the caller
// ends when the caller goes.

SecretResult NoStore(const QKeychain::Job& job) {
    return {SecretAnswer::NoStore, {}, Cp932Text(job.errorString())};
}

}  // namespace

void ReadMailPassword(QObject* context, SecretDone done) {
    auto* job = new QKeychain::ReadPasswordJob(kService);
    job->setAutoDelete(true);
    job->setKey(kKey);
    QObject::connect(job, &QKeychain::Job::finished, context, [done = std::move(done)](QKeychain::Job* finished) {
        auto* read = static_cast<QKeychain::ReadPasswordJob*>(finished);
        if (read->error() == QKeychain::NoError)
            done({SecretAnswer::Found, Cp932Text(read->textData()), {}});
        else if (read->error() == QKeychain::EntryNotFound)
            done({SecretAnswer::NotFound, {}, {}});
        else
            done(NoStore(*read));
    });
    job->start();
}

void WriteMailPassword(QObject* context, const std::string& password, SecretDone done) {
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setAutoDelete(true);
    job->setKey(kKey);
    job->setTextData(QtText(password));
    QObject::connect(job, &QKeychain::Job::finished, context, [done = std::move(done)](QKeychain::Job* finished) {
        if (finished->error() == QKeychain::NoError)
            done({SecretAnswer::Stored, {}, {}});
        else
            done(NoStore(*finished));
    });
    job->start();
}

}  // namespace plx

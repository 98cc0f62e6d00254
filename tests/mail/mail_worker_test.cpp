// MailWorker: the send runs in the background, its failure is told on the user-interface thread
// afterwards, a mail due while one is in flight is skipped, and Abort ends a send at once.
#include "mail/mail_worker.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "tests/support/event_loop.h"
#include "tests/support/qt_app.h"
#include "tests/support/recording_messages.h"
#include "tests/support/smtp_server.h"

using namespace plx;
using plxtest::RunEventsUntil;
using plxtest::SmtpServer;

namespace {

struct MailFixture {
    MailFixture() {
        plxtest::TestApp();
        worker.finished = [this](int result) { results.push_back(result); };
    }
    bool Start(const std::string& host) {
        FillMail(client, message, host, "", "a@example.net", "", "s", "x\r\n");
        return worker.Start(client, message);
    }
    plxtest::RecordingMessages messages;
    SmtpClient client;
    MailMessage message;
    MailWorker worker;
    std::vector<int> results;
};

}  // namespace

TEST(MailWorker, SendsInTheBackgroundAndTellsTheOutcomeAfterwards) {
    SmtpServer server;
    MailFixture f;
    QElapsedTimer started;
    started.start();
    ASSERT_TRUE(f.Start(server.HostText()));
    EXPECT_LT(started.elapsed(), 200);
    EXPECT_TRUE(f.worker.Busy());
    ASSERT_TRUE(RunEventsUntil([&] { return !f.results.empty(); }, 10000));
    EXPECT_EQ(f.results, std::vector<int>{0});
    EXPECT_EQ(server.Received().size(), 1u);
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(MailWorker, AFailureIsToldOnTheUserInterfaceThreadWithItsText) {
    SmtpServer server(SmtpServer::Mode::RejectRecipient);
    MailFixture f;
    ASSERT_TRUE(f.Start(server.HostText()));
    EXPECT_TRUE(f.messages.shown.empty()) << "nothing is told before the send has ended";
    ASSERT_TRUE(RunEventsUntil([&] { return !f.results.empty(); }, 10000));
    EXPECT_EQ(f.results, std::vector<int>{-1});
    ASSERT_EQ(f.messages.shown.size(), 1u);
    std::string text = f.messages.Utf8Texts()[0];
    EXPECT_EQ(text.rfind("メール送信に失敗しました。[", 0), 0u) << text;
    EXPECT_NE(text.find("550"), std::string::npos) << text;
}

TEST(MailWorker, AMailThatCannotGoOnTheWireIsToldAtOnce) {
    MailFixture f;
    ASSERT_TRUE(f.Start("no host here"));
    EXPECT_FALSE(f.worker.Busy());
    EXPECT_EQ(f.results, std::vector<int>{-1});
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.Utf8Texts()[0], "メール送信に失敗しました。[invalid mail server: no host here]");
}

TEST(MailWorker, AMailDueWhileOneIsInFlightIsSkippedAndAbortEndsTheSendAtOnce) {
    SmtpServer silent(SmtpServer::Mode::Silent);
    MailFixture f;
    ASSERT_TRUE(f.Start(silent.HostText()));
    EXPECT_FALSE(f.Start(silent.HostText()));
    RunEventsUntil([] { return false; }, 300);
    QElapsedTimer aborting;
    aborting.start();
    f.worker.Abort();
    EXPECT_LT(aborting.elapsed(), 200);
    EXPECT_FALSE(f.worker.Busy());
    RunEventsUntil([] { return false; }, 200);
    EXPECT_TRUE(f.results.empty());
    EXPECT_TRUE(f.messages.shown.empty()) << "an aborted send tells nothing";
}

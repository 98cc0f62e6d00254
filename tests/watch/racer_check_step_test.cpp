// The racer-check step of the tick: its interval, the hit notice once per run, and the mail.
#include "watch/racer_check_step.h"

#include <gtest/gtest.h>

#include "common/clock.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "tests/mail/mail_decoding.h"
#include "tests/support/recording_messages.h"
#include "tests/support/recording_notices.h"
#include "tests/support/smtp_server.h"

using namespace plx;

namespace {

class RacerCheckStepTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgram();
        SetClock(&clock);
        Settings settings;
        settings.CHK_F = 1;
        settings.CHK_INTERVAL = 30;
        settings.NEWS_ALARM_SND_FNM = "/snd/news.wav";
        ApplyLoadedSettings(settings);
        Program().runState = RunState::Running;
        outputs.hourglassCursor = [this] { events.push_back("hourglass"); };
        outputs.normalCursor = [this] { events.push_back("normal"); };
        outputs.setMemo = [this](const std::vector<std::string>& lines) {
            events.push_back("memo " + std::to_string(lines.size()));
        };
        outputs.playWave = [this](const std::string& path) { events.push_back("wave " + path); };
        outputs.check = [this](std::vector<std::string>& memo) {
            events.push_back("check");
            memo = report;
            return found;
        };
    }
    void TearDown() override {
        SetClock(nullptr);
        ResetProgram();
    }
    bool Step() { return RunRacerCheckStep(state, client, message, outputs); }

    ManualClock clock{{2026, 12, 8, 10, 0, 0}};
    RacerCheckOutputs outputs;
    RacerCheckState state;
    SmtpClient client;
    MailMessage message;
    std::vector<std::string> events;
    std::vector<std::string> report = {SJ("【選手チェック】"), SJ("－今村豊        3159－"), ""};
    int found = 2;
    plxtest::RecordingNotices notices;
    plxtest::RecordingMessages messages;
};

}  // namespace

TEST(RacerCheckDue, WholeMinutesSinceTheLastCheck) {
    Settings s;
    s.CHK_F = 1;
    s.CHK_INTERVAL = 30;
    EXPECT_FALSE(RacerCheckDue(s, 0, 30 * 60000 - 1));
    EXPECT_TRUE(RacerCheckDue(s, 0, 30 * 60000));
    EXPECT_TRUE(RacerCheckDue(s, 5000, 5000 + 31 * 60000));
    EXPECT_TRUE(RacerCheckDue(s, 1000, 0)) << "a clock that went back counts as a long wait";
    s.CHK_F = 0;
    EXPECT_FALSE(RacerCheckDue(s, 0, 99 * 60000));
    s.CHK_F = 1;
    s.CHK_INTERVAL = 0;
    EXPECT_FALSE(RacerCheckDue(s, 0, 99 * 60000));
}

TEST_F(RacerCheckStepTest, RunsOnTheFirstTickThenEveryIntervalAndAnnouncesOnlyTheFirstHit) {
    ASSERT_TRUE(Step());
    EXPECT_EQ(events, (std::vector<std::string>{"hourglass", "memo 0", "check", "memo 3", "normal"}));
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.Utf8Texts()[0], "チェック選手の出走予定があります！");
    EXPECT_EQ(notices.shown[0].category, NoticeCategory::NewsNotice);
    EXPECT_EQ(Program().lastCheckTick, TickCount());

    events.clear();
    clock.Advance(30 * 60000 - 1000);
    EXPECT_FALSE(Step());
    EXPECT_TRUE(events.empty());
    clock.Advance(1000);
    EXPECT_TRUE(Step());
    EXPECT_EQ(notices.shown.size(), 1u) << "a hit is announced once per run";
    EXPECT_TRUE(messages.shown.empty()) << "no mail server set, no mail";

    Program().runState = RunState::QuitRequested;
    clock.Advance(60 * 60000);
    EXPECT_FALSE(Step());
}

TEST_F(RacerCheckStepTest, TheHitNoticeFollowsTheNewsNoticeSettings) {
    found = 0;
    ASSERT_TRUE(Step());
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_FALSE(state.hitAnnounced);

    found = 1;
    Program().settings.NEWS_ALARM_MODE = 0;
    clock.Advance(30 * 60000);
    ASSERT_TRUE(Step());
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_FALSE(state.hitAnnounced) << "a silenced hit can still be announced later";

    Program().settings.NEWS_ALARM_MODE = 1;
    Program().settings.NEWS_ALARM_SND_F = 1;
    clock.Advance(30 * 60000);
    events.clear();
    ASSERT_TRUE(Step());
    EXPECT_EQ(events,
              (std::vector<std::string>{"hourglass", "memo 0", "check", "memo 3", "wave /snd/news.wav", "normal"}));
    EXPECT_EQ(notices.shown.size(), 1u);
}

TEST_F(RacerCheckStepTest, TheReportIsMailedAfterEveryCheckWhenHostAndFirstAddressAreSet) {
    plxtest::SmtpServer server;
    Program().settings.SMTP_HOST = server.HostText();
    Program().settings.MAIL_ADRS1 = "a@example.net";
    Program().settings.MAIL_ADRS2 = "b@example.net";
    ASSERT_TRUE(Step());
    found = 0;
    report = {SJ("【選手チェック】"), SJ("設定されていません。"), ""};
    clock.Advance(30 * 60000);
    ASSERT_TRUE(Step());
    Program().settings.MAIL_ADRS1.clear();
    clock.Advance(30 * 60000);
    ASSERT_TRUE(Step());
    Program().settings.MAIL_ADRS1 = "a@example.net";
    Program().settings.SMTP_HOST.clear();
    clock.Advance(30 * 60000);
    ASSERT_TRUE(Step());

    auto mails = server.Received();
    ASSERT_EQ(mails.size(), 2u) << "one mail per check with host and first address, also when nothing was found";
    EXPECT_EQ(mails[0].envelopeTo, (std::vector<std::string>{"a@example.net", "b@example.net"}));
    EXPECT_EQ(plxtest::DecodeHeaderValue(plxtest::HeaderValue(mails[0].data, "Subject")), "Pilonix チェック");
    std::vector<std::string> body;
    for (const auto& line : plxtest::BodyLines(mails[1].data)) body.push_back(plxtest::Iso2022JpToUtf8(line));
    EXPECT_EQ(body, (std::vector<std::string>{"【選手チェック】", "設定されていません。", ""}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(RacerCheckStepTest, AFailedMailIsReportedAndTheCheckClockStillMoves) {
    Program().settings.SMTP_HOST = "127.0.0.1:" + std::to_string(plxtest::UnusedPort());
    Program().settings.MAIL_ADRS1 = "a@example.net";
    ASSERT_TRUE(Step());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.Utf8Texts()[0].rfind("メール送信に失敗しました。[", 0), 0u);
    EXPECT_EQ(events.back(), "normal");
    EXPECT_EQ(Program().lastCheckTick, TickCount());
}

TEST_F(RacerCheckStepTest, TheMailGoesToTheSenderOfTheOutputsFilledAsSendMailFillsIt) {
    Program().settings.SMTP_HOST = "mail.example.net:2525";
    Program().settings.SMTP_USER = "someone";
    Program().settings.MAIL_ADRS1 = "a@example.net";
    Program().settings.MAIL_ADRS2 = "b@example.net";
    std::vector<std::string> sent;
    outputs.sendMail = [&](const SmtpClient& c, const MailMessage& m) {
        sent.push_back(c.host + " " + c.userId + " " + m.recipients + " " + m.charSet);
        EXPECT_EQ(m.subject, SJ("Pilonix チェック"));
        EXPECT_EQ(m.body, report);
        events.push_back("mail");
    };
    ASSERT_TRUE(Step());
    EXPECT_EQ(sent, std::vector<std::string>{"mail.example.net:2525 someone a@example.net,b@example.net iso-2022-jp"});
    EXPECT_EQ(events, (std::vector<std::string>{"hourglass", "memo 0", "check", "memo 3", "mail", "normal"}));
    EXPECT_TRUE(messages.shown.empty());
}

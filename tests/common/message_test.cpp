// ShowMsg and the deferral of the tick's messages: kept, once per text, in order, answered with
// the default button at once, and posted when the outermost deferral ends.
#include "common/message.h"

#include <gtest/gtest.h>

#include "common/sjis.h"
#include "tests/support/recording_messages.h"

using namespace plx;

TEST(ShowMsg, OutsideADeferralItAsksAndReturnsTheAnswer) {
    plxtest::RecordingMessages messages;
    messages.answers = {kMsgCancel};
    EXPECT_EQ(ShowMsg(SJ("よろしいですか？")), kMsgCancel);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].question);
    EXPECT_FALSE(messages.shown[0].posted);
    EXPECT_FALSE(MessagesDeferred());
}

TEST(MessageDeferral, MessagesAreKeptOncePerTextAndPostedInOrderWhenItEnds) {
    plxtest::RecordingMessages messages;
    {
        MessageDeferral deferral;
        EXPECT_TRUE(MessagesDeferred());
        for (int i = 0; i < 288; ++i) EXPECT_EQ(ShowMsg(SJ("サウンドを再生できません！")), kMsgOk);
        EXPECT_EQ(ShowMsg("TimeTable File Write Error!"), kMsgOk);
        EXPECT_EQ(ShowMsg("SELECT x FROM y WHERE a='?'"), kMsgCancel) << "a question takes its default, Cancel";
        PostMsg(SJ("サウンドを再生できません！"));
        EXPECT_TRUE(messages.shown.empty()) << "nothing is shown while deferred";
    }
    EXPECT_FALSE(MessagesDeferred());
    ASSERT_EQ(messages.Utf8Texts(),
              (std::vector<std::string>{"サウンドを再生できません！", "TimeTable File Write Error!",
                                        "SELECT x FROM y WHERE a='?'"}));
    for (const auto& m : messages.shown) EXPECT_TRUE(m.posted);
    EXPECT_TRUE(messages.shown[2].question);

    // The next tick's messages are its own: the same text is shown again.
    {
        MessageDeferral deferral;
        ShowMsg("TimeTable File Write Error!");
    }
    EXPECT_EQ(messages.shown.size(), 4u);
}

TEST(MessageDeferral, NestedDeferralsPostOnlyWhenTheOutermostEnds) {
    plxtest::RecordingMessages messages;
    {
        MessageDeferral outer;
        {
            MessageDeferral inner;
            ShowMsg("a");
        }
        EXPECT_TRUE(messages.shown.empty());
        ShowMsg("b");
        ShowMsg("a");
    }
    EXPECT_EQ(messages.Utf8Texts(), (std::vector<std::string>{"a", "b"}));
}

TEST(PostMsg, OutsideADeferralItIsPostedAtOnce) {
    plxtest::RecordingMessages messages;
    PostMsg("x");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].posted);
    EXPECT_FALSE(MessagesPending());
}

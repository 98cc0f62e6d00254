// The settings dialog's five tabs and its buttons: controls, captions and notes.
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs/dialog_widgets.h"
#include "dialogs/path_edit.h"
#include "dialogs/settings_dialog.h"

namespace plx {
namespace {

QWidget* AddTab(QTabWidget* pages, const char* name, const char* caption) {
    auto* sheet = Named(new QWidget(pages), name);
    pages->addTab(sheet, Q(caption));
    return sheet;
}

QLabel* Note(QWidget* parent, const char* utf8) {
    auto* label = new QLabel(Q(utf8), parent);
    label->setWordWrap(true);
    return label;
}

// A minute field: two characters at most from the keyboard. A longer value already in the
// settings is still shown whole, so that the range check sees it rather than a cut copy.
QLineEdit* MinuteEdit(QWidget* parent, const char* name) {
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^.{0,2}$")), edit));
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

// "ファイル名：" [path] [...], indented under its sound check box.
QHBoxLayout* SoundFileRow(QWidget* parent, PathEdit*& field, QPushButton*& button, const char* fieldName,
                          const char* buttonName) {
    auto* row = new QHBoxLayout;
    row->addSpacing(18);
    row->addWidget(new QLabel(Q("ファイル名："), parent));
    field = Named(new PathEdit(parent), fieldName);
    row->addWidget(field, 1);
    button = Named(new QPushButton(QStringLiteral("..."), parent), buttonName);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
    button->setAutoDefault(false);
    row->addWidget(button);
    return row;
}

}  // namespace

void Tf_cfg::BuildGeneralTab() {
    ts_gen = AddTab(pc_cfg, "ts_gen", "全般");
    auto* page = new QVBoxLayout(ts_gen);

    gb_auto_start = Named(new QGroupBox(ts_gen), "gb_auto_start");
    auto* autoStart = new QVBoxLayout(gb_auto_start);
    chk_auto_start_f = Named(new QCheckBox(Q("Windows起動時に自動でこのアプリケーションを起動する"), gb_auto_start),
                             "chk_auto_start_f");
    autoStart->addWidget(chk_auto_start_f);
    gb_auto_start->setVisible(false);
    page->addWidget(gb_auto_start);

    chk_autostart_f = Named(new QCheckBox(Q("ログイン時に起動する"), ts_gen), "chk_autostart_f");
    page->addWidget(chk_autostart_f);

    gb_msg = Named(new QGroupBox(Q("メッセージ表示設定"), ts_gen), "gb_msg");
    auto* grid = new QGridLayout(gb_msg);
    static const char* const kNames[9] = {"rb_lt", "rb_ct", "rb_rt", "rb_lc", "rb_cc",
                                          "rb_rc", "rb_lb", "rb_cb", "rb_rb"};
    static const char* const kCaptions[9] = {"左上", "中上", "右上", "左中", "中央", "右中", "左下", "中下", "右下"};
    auto* group = new QButtonGroup(gb_msg);
    for (int i = 0; i < 9; ++i) {
        rb_msg_locate[i] = Named(new QRadioButton(Q(kCaptions[i]), gb_msg), kNames[i]);
        group->addButton(rb_msg_locate[i], i + 1);
        grid->addWidget(rb_msg_locate[i], i / 3, i % 3);
    }
    page->addWidget(gb_msg);
    page->addStretch(1);
}

void Tf_cfg::BuildRaceTab() {
    ts_race = AddTab(pc_cfg, "ts_race", "レース");
    auto* page = new QVBoxLayout(ts_race);

    auto* postTime = new QHBoxLayout;
    postTime->addWidget(new QLabel(Q("発走時刻は電投締切時刻の"), ts_race));
    e_alarm_min = MinuteEdit(ts_race, "e_alarm_min");
    postTime->addWidget(e_alarm_min);
    postTime->addWidget(new QLabel(Q("分後とする"), ts_race));
    postTime->addStretch(1);
    page->addLayout(postTime);

    rb_alarm_msgbox = Named(new QRadioButton(Q("選択されたレースの発走時刻にメッセージボックスで知らせる"), ts_race),
                            "rb_alarm_msgbox");
    rb_alarm_popmsg =
        Named(new QRadioButton(Q("選択されたレースの発走時刻にポップアップメッセージで知らせる"), ts_race),
              "rb_alarm_popmsg");
    rb_alarm_no = Named(new QRadioButton(Q("選択されたレースの発走時刻になっても知らせない"), ts_race), "rb_alarm_no");
    auto* mode = new QButtonGroup(ts_race);
    for (QRadioButton* button : {rb_alarm_msgbox, rb_alarm_popmsg, rb_alarm_no}) {
        mode->addButton(button);
        page->addWidget(button);
    }
    chk_alarm_snd_f = Named(new QCheckBox(Q("♪サウンドを鳴らす"), ts_race), "chk_alarm_snd_f");
    page->addWidget(chk_alarm_snd_f);
    page->addLayout(SoundFileRow(ts_race, e_alarm_sndfnm, btn_alarm_sndfnm, "e_alarm_sndfnm", "btn_alarm_sndfnm"));

    chk_alarm_info_f = Named(new QCheckBox(Q("選択されたレースの直前情報がダウンロードされた時に知らせる"), ts_race),
                             "chk_alarm_info_f");
    chk_alarm_rfd_f =
        Named(new QCheckBox(Q("選択されたレースの払戻金がダウンロードされた時に知らせる"), ts_race), "chk_alarm_rfd_f");
    chk_alarm_info_f->setVisible(false);
    chk_alarm_rfd_f->setVisible(false);

    auto* warning = new QHBoxLayout;
    warning->setSpacing(2);
    chk_timer_f = Named(new QCheckBox(Q("選択されたレースの電投締切時刻"), ts_race), "chk_timer_f");
    warning->addWidget(chk_timer_f);
    e_timer_min = MinuteEdit(ts_race, "e_timer_min");
    warning->addWidget(e_timer_min);
    warning->addWidget(new QLabel(Q("分前に知らせる"), ts_race));
    warning->addStretch(1);
    page->addSpacing(6);
    page->addLayout(warning);
    chk_timer_snd_f = Named(new QCheckBox(Q("♪サウンドを鳴らす"), ts_race), "chk_timer_snd_f");
    page->addWidget(chk_timer_snd_f);
    page->addLayout(SoundFileRow(ts_race, e_timer_sndfnm, btn_timer_sndfnm, "e_timer_sndfnm", "btn_timer_sndfnm"));

    page->addStretch(1);
    page->addWidget(
        Note(ts_race, "※メッセージは、メッセージ画面をクリックするか「Enter」キーを押すことで閉じることができます。"));
    page->addWidget(Note(ts_race, "※レース画面の時刻は電投締切時刻です。"));
}

void Tf_cfg::BuildCheckTab() {
    ts_chk = AddTab(pc_cfg, "ts_chk", "チェック");
    auto* page = new QVBoxLayout(ts_chk);

    auto* interval = new QHBoxLayout;
    interval->setSpacing(2);
    chk_chk_f = Named(new QCheckBox(ts_chk), "chk_chk_f");
    interval->addWidget(chk_chk_f);
    e_chk_interval = MinuteEdit(ts_chk, "e_chk_interval");
    interval->addWidget(e_chk_interval);
    interval->addWidget(new QLabel(Q("分おきにチェックする"), ts_chk));
    interval->addStretch(1);
    page->addLayout(interval);

    auto* entry = new QHBoxLayout;
    e_entno = Named(new QLineEdit(ts_chk), "e_entno");
    e_entno->setFixedWidth(e_entno->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 8);
    entry->addWidget(e_entno);
    entry->addWidget(new QLabel(Q("（登録番号）"), ts_chk));
    bbtn_rider_ins = Named(new QPushButton(Q("登録"), ts_chk), "bbtn_rider_ins");
    bbtn_rider_ins->setAutoDefault(false);
    entry->addWidget(bbtn_rider_ins);
    entry->addStretch(1);
    page->addLayout(entry);

    lb_rider = Named(new QListWidget(ts_chk), "lb_rider");
    lb_rider->setSelectionMode(QAbstractItemView::SingleSelection);
    page->addWidget(lb_rider, 1);
    auto* remove = new QHBoxLayout;
    remove->addStretch(1);
    bbtn_rider_del = Named(new QPushButton(Q("削除"), ts_chk), "bbtn_rider_del");
    bbtn_rider_del->setAutoDefault(false);
    remove->addWidget(bbtn_rider_del);
    page->addLayout(remove);
    page->addWidget(Note(ts_chk, "※チェック対象となるデータは、番組表です。"));
}

void Tf_cfg::BuildNewsTab() {
    ts_news = AddTab(pc_cfg, "ts_news", "ニュース");
    auto* page = new QVBoxLayout(ts_news);

    rb_news_alarm_msgbox = Named(new QRadioButton(Q("ニュースが更新された時にメッセージボックスで知らせる"), ts_news),
                                 "rb_news_alarm_msgbox");
    rb_news_alarm_popmsg =
        Named(new QRadioButton(Q("ニュースが更新された時にポップアップメッセージで知らせる"), ts_news),
              "rb_news_alarm_popmsg");
    rb_news_alarm_no = Named(new QRadioButton(Q("ニュースが更新されても知らせない"), ts_news), "rb_news_alarm_no");
    auto* mode = new QButtonGroup(ts_news);
    for (QRadioButton* button : {rb_news_alarm_msgbox, rb_news_alarm_popmsg, rb_news_alarm_no}) {
        mode->addButton(button);
        page->addWidget(button);
    }
    chk_news_alarm_snd_f = Named(new QCheckBox(Q("♪サウンドを鳴らす"), ts_news), "chk_news_alarm_snd_f");
    page->addWidget(chk_news_alarm_snd_f);
    page->addLayout(SoundFileRow(ts_news, e_news_alarm_sndfnm, btn_news_alarm_sndfnm, "e_news_alarm_sndfnm",
                                 "btn_news_alarm_sndfnm"));
    page->addWidget(Note(ts_news, "※選手のチェック時におけるお知らせ機能としても、こちらの設定が反映されます。"));

    auto* feeds = Named(new QGroupBox(Q("RSS設定"), ts_news), "gb_rss");
    auto* feedsLayout = new QVBoxLayout(feeds);
    m_rss = Named(new QPlainTextEdit(feeds), "m_rss");
    m_rss->setLineWrapMode(QPlainTextEdit::NoWrap);
    feedsLayout->addWidget(m_rss);
    page->addWidget(feeds, 1);
}

void Tf_cfg::BuildOddsTab() {
    ts_odds = AddTab(pc_cfg, "ts_odds", "オッズ");
    auto* page = new QVBoxLayout(ts_odds);
    gb_odds = Named(new QGroupBox(ts_odds), "gb_odds");
    auto* odds = new QVBoxLayout(gb_odds);
    chk_odds_multi_window_f =
        Named(new QCheckBox(Q("レース単位に複数のウィンドウを開いて表示する"), gb_odds), "chk_odds_multi_window_f");
    odds->addWidget(chk_odds_multi_window_f);
    gb_odds->setVisible(false);
    page->addWidget(gb_odds);
    page->addWidget(Note(ts_odds, "※現バージョンでは設定できる項目はありません。"));
    page->addStretch(1);
}

void Tf_cfg::BuildButtons() {
    bbtn_ok = Named(new QPushButton(QStringLiteral("OK"), this), "bbtn_ok");
    bbtn_ok->setDefault(true);
    bbtn_cancel = Named(new QPushButton(Q("キャンセル"), this), "bbtn_cancel");
    bbtn_cancel->setAutoDefault(false);
}

}  // namespace plx

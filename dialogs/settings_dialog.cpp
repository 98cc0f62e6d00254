// The settings dialog: loading, the racer list buttons, the sound choosers, and OK.
#include "dialogs/settings_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <initializer_list>
#include <utility>

#include "common/autostart.h"
#include "common/exe_path.h"
#include "common/files.h"
#include "common/ini_file.h"
#include "common/message.h"
#include "common/program_state.h"
#include "common/settings_store.h"
#include "common/shell/cursor.h"
#include "common/shell/file_dialogs.h"
#include "common/shell/qt_text.h"
#include "common/shell/ui_font.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "dialogs/mail_tab.h"
#include "dialogs/path_edit.h"
#include "dialogs/racer_list.h"
#include "news/feed_list.h"
#include "watch/check_racers.h"

namespace plx {
namespace {

int Flag(const QCheckBox* box) {
    return box->isChecked() ? 1 : 0;
}

void SetFlag(QCheckBox* box, int value) {
    box->setChecked(value == 1);
}

// The field as an integer; text that is not a number is 0.
long long Minutes(const QLineEdit* field) {
    return TextToInt(Cp932Text(field->text()));
}

// A mode's three buttons: the checked one's value; `keep` when none is checked.
int ModeOf(const QRadioButton* one, const QRadioButton* two, const QRadioButton* none, int keep) {
    if (one->isChecked()) return 1;
    if (two->isChecked()) return 2;
    if (none->isChecked()) return 0;
    return keep;
}

void ShowMode(QRadioButton* one, QRadioButton* two, QRadioButton* none, int value) {
    (value == 1 ? one : value == 2 ? two : none)->setChecked(true);
}

}  // namespace

Tf_cfg::Tf_cfg(std::string settingsPath, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      settingsPath_(std::move(settingsPath)) {
    setObjectName(QStringLiteral("f_cfg"));
    setWindowTitle(QString::fromUtf8("環境設定"));
    setModal(true);
    setFont(UiFont());

    pc_cfg = new QTabWidget(this);
    pc_cfg->setObjectName(QStringLiteral("pc_cfg"));
    BuildGeneralTab();
    BuildRaceTab();
    BuildCheckTab();
    BuildNewsTab();
    BuildOddsTab();
    ts_mail = new MailTab(settingsPath_, pc_cfg);
    pc_cfg->addTab(ts_mail, QString::fromUtf8("メール"));
    BuildButtons();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(bbtn_ok);
    buttons->addWidget(bbtn_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pc_cfg);
    layout->addLayout(buttons);
    pc_cfg->setFixedSize(440, 380);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(bbtn_ok, &QPushButton::clicked, this, &Tf_cfg::bbtn_okClick);
    connect(bbtn_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(bbtn_rider_ins, &QPushButton::clicked, this, &Tf_cfg::bbtn_rider_insClick);
    connect(bbtn_rider_del, &QPushButton::clicked, this, &Tf_cfg::bbtn_rider_delClick);
    connect(btn_alarm_sndfnm, &QPushButton::clicked, this, &Tf_cfg::btn_alarm_sndfnmClick);
    connect(btn_timer_sndfnm, &QPushButton::clicked, this, &Tf_cfg::btn_timer_sndfnmClick);
    connect(btn_news_alarm_sndfnm, &QPushButton::clicked, this, &Tf_cfg::btn_news_alarm_sndfnmClick);
}

Tf_cfg::~Tf_cfg() = default;

int Tf_cfg::ShowFromMenu() {
    if (tag == 0) {
        pc_cfg->setCurrentWidget(ts_gen);
        tag = 1;
    }
    return exec();
}

void Tf_cfg::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) FormShow();
    QDialog::showEvent(event);
}

void Tf_cfg::FormShow() {
    const Settings& s = Program().settings;
    soundFolder_ = SoundFolderBase() + "Snd";
    e_entno->clear();

    SetFlag(chk_auto_start_f, s.AUTO_START_F);
    SetFlag(chk_autostart_f, s.AUTOSTART_F);
    // A position outside 1 to 9 leaves the buttons as they were.
    if (s.MSG_LOCATE >= 1 && s.MSG_LOCATE <= 9) rb_msg_locate[s.MSG_LOCATE - 1]->setChecked(true);
    e_alarm_min->setText(QString::number(s.ALARM_MIN));
    ShowMode(rb_alarm_msgbox, rb_alarm_popmsg, rb_alarm_no, s.ALARM_MODE);
    SetFlag(chk_alarm_snd_f, s.ALARM_SND_F);
    e_alarm_sndfnm->SetPath(s.ALARM_SND_FNM);
    SetFlag(chk_alarm_info_f, s.ALARM_INFO_F);
    SetFlag(chk_alarm_rfd_f, s.ALARM_RFD_F);
    SetFlag(chk_timer_f, s.TIMER_F);
    e_timer_min->setText(QString::number(s.TIMER_MIN));
    SetFlag(chk_timer_snd_f, s.TIMER_SND_F);
    e_timer_sndfnm->SetPath(s.TIMER_SND_FNM);
    SetFlag(chk_chk_f, s.CHK_F);
    e_chk_interval->setText(QString::number(s.CHK_INTERVAL));
    ShowMode(rb_news_alarm_msgbox, rb_news_alarm_popmsg, rb_news_alarm_no, s.NEWS_ALARM_MODE);
    SetFlag(chk_news_alarm_snd_f, s.NEWS_ALARM_SND_F);
    e_news_alarm_sndfnm->SetPath(s.NEWS_ALARM_SND_FNM);
    SetFlag(chk_odds_multi_window_f, s.ODDS_MULTI_WINDOW_F);
    ts_mail->Load(s);
    LoadLists();
}

void Tf_cfg::LoadLists() {
    // A list that is there but cannot be read is shown empty and kept read-only: OK must never
    // replace the file with what little was read.
    const std::string riderPath = Program().exeFolder + kWatchListFileName;
    std::vector<std::string> riders;
    riderListLocked_ = ReadFileLines(riderPath, &riders) == FileRead::Unreadable;
    SortLines(riders);
    SetRiderLines(std::move(riders));
    for (QWidget* control : std::initializer_list<QWidget*>{lb_rider, e_entno, bbtn_rider_ins, bbtn_rider_del})
        control->setEnabled(!riderListLocked_);

    loadedFeeds_.clear();
    const std::string feedPath = FeedListPath();
    feedListLocked_ = ReadFileLines(feedPath, &loadedFeeds_) == FileRead::Unreadable;  // a missing list shows empty
    QStringList text;
    for (const std::string& line : loadedFeeds_) text << QtText(line);
    loadedFeedText_ = text.join(QLatin1Char('\n'));
    m_rss->setPlainText(loadedFeedText_);
    m_rss->setReadOnly(feedListLocked_);

    const std::string locked = SJ("]\nこの一覧は変更・保存できません。");
    if (riderListLocked_) ShowMsg(SJ("選手リストファイルの読み込みに失敗しました。[") + riderPath + locked);
    if (feedListLocked_) ShowMsg(SJ("RSSリストファイルの読み込みに失敗しました。[") + feedPath + locked);
}

void Tf_cfg::SetRiderLines(std::vector<std::string> lines) {
    riderLines_ = std::move(lines);
    lb_rider->clear();
    for (const std::string& line : riderLines_) lb_rider->addItem(QtText(line));
}

bool Tf_cfg::MinutesValid() {
    struct Field {
        const QLineEdit* edit;
        const std::string& message;
    };
    const Field fields[] = {
        {e_alarm_min, SJ("アラーム時間は、1～60分の範囲で入力してください。")},
        {e_timer_min, SJ("タイマー時間は、1～60分の範囲で入力してください。")},
        {e_chk_interval, SJ("チェック間隔は、1～60分の範囲で入力してください。")},
    };
    bool valid = true;
    for (const Field& field : fields) {
        long long minutes = Minutes(field.edit);
        if (minutes >= 1 && minutes <= 60) continue;
        ShowMsg(field.message);
        valid = false;
    }
    return valid;
}

void Tf_cfg::bbtn_okClick() {
    bool minutesValid = MinutesValid();
    if (!ts_mail->Validate() || !minutesValid) return;
    if (!StoreAndWrite() || !ts_mail->Save()) return;
    accept();
}

bool Tf_cfg::StoreAndWrite() {
    Settings& s = Program().settings;
    std::string error;
    // A file that cannot be written stops here with its message, and the dialog stays open with
    // the user's lists, which would otherwise be gone with it.
    auto failed = [&error] {
        ShowMsg(error);
        return false;
    };

    s.AUTO_START_F = Flag(chk_auto_start_f);
    s.MSG_LOCATE = 0;
    for (int i = 0; i < 9; ++i) {
        if (!rb_msg_locate[i]->isChecked()) continue;
        s.MSG_LOCATE = i + 1;
        break;
    }
    s.ALARM_MIN = static_cast<int>(Minutes(e_alarm_min));
    s.ALARM_MODE = ModeOf(rb_alarm_msgbox, rb_alarm_popmsg, rb_alarm_no, s.ALARM_MODE);
    s.ALARM_SND_F = Flag(chk_alarm_snd_f);
    s.ALARM_SND_FNM = e_alarm_sndfnm->Path();
    s.ALARM_INFO_F = Flag(chk_alarm_info_f);
    s.ALARM_RFD_F = Flag(chk_alarm_rfd_f);
    s.TIMER_F = Flag(chk_timer_f);
    s.TIMER_MIN = static_cast<int>(Minutes(e_timer_min));
    s.TIMER_SND_F = Flag(chk_timer_snd_f);
    s.TIMER_SND_FNM = e_timer_sndfnm->Path();
    s.CHK_F = Flag(chk_chk_f);
    s.CHK_INTERVAL = static_cast<int>(Minutes(e_chk_interval));
    if (!riderListLocked_ && !WriteFileLines(Program().exeFolder + kWatchListFileName, riderLines_, &error))
        return failed();

    s.NEWS_ALARM_MODE = ModeOf(rb_news_alarm_msgbox, rb_news_alarm_popmsg, rb_news_alarm_no, s.NEWS_ALARM_MODE);
    s.NEWS_ALARM_SND_F = Flag(chk_news_alarm_snd_f);
    s.NEWS_ALARM_SND_FNM = e_news_alarm_sndfnm->Path();
    const QString feedText = m_rss->toPlainText();
    std::vector<std::string> feeds = feedText == loadedFeedText_ ? loadedFeeds_ : SplitLines(Cp932Text(feedText));
    if (!feedListLocked_ && !WriteFileLines(FeedListPath(), feeds, &error)) return failed();

    s.ODDS_MULTI_WINDOW_F = Flag(chk_odds_multi_window_f);
    // The login entry follows the box (left alone while the box stays off); one that cannot be
    // written keeps the dialog open.
    const bool autostartWasOn = s.AUTOSTART_F == 1;
    s.AUTOSTART_F = Flag(chk_autostart_f);
    if ((autostartWasOn || s.AUTOSTART_F == 1) &&
        !SetAutostart(AutostartFile(), s.AUTOSTART_F == 1, ExePath(), &error)) {
        error = SJ("ログイン時に起動する設定を保存できませんでした。[") + error + "]";
        return failed();
    }
    if (!SettingsStore(settingsPath_).SaveDialog(s, &error)) return failed();
    return true;
}

void Tf_cfg::bbtn_rider_insClick() {
    std::optional<std::string> key = RacerKeyOf(Cp932Text(e_entno->text()));
    if (!key) {
        ShowMsg(SJ("選手の登録番号を入力してください。"));
        return;
    }
    SetHourglassCursor();
    std::optional<std::string> line = LookUpRacerLine(*key);
    SetNormalCursor();
    if (!line) return;
    std::size_t at = InsertSorted(riderLines_, *line);
    lb_rider->insertItem(static_cast<int>(at), QtText(*line));
    e_entno->clear();
    e_entno->setFocus();
}

void Tf_cfg::bbtn_rider_delClick() {
    QModelIndexList selected = lb_rider->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        ShowMsg(SJ("削除したい行を選択してください。"));
        return;
    }
    int row = selected.first().row();
    riderLines_.erase(riderLines_.begin() + row);
    delete lb_rider->takeItem(row);
    // As after any deletion, no line is chosen until the user picks one again.
    lb_rider->clearSelection();
}

void Tf_cfg::ChooseSound(PathEdit* field) {
    std::optional<std::string> chosen = ChooseOpenFile("", soundFolder_, "");
    if (chosen) field->SetPath(*chosen);
}

void Tf_cfg::btn_alarm_sndfnmClick() {
    ChooseSound(e_alarm_sndfnm);
}

void Tf_cfg::btn_timer_sndfnmClick() {
    ChooseSound(e_timer_sndfnm);
}

void Tf_cfg::btn_news_alarm_sndfnmClick() {
    ChooseSound(e_news_alarm_sndfnm);
}

}  // namespace plx

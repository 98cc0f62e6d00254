// Tf_cfg: the settings dialog. It edits the in-memory settings, the settings file and the two
// list files (watched racers, news feeds); it is made once and reloaded every time it is shown.
#pragma once

#include <QDialog>
#include <array>
#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace plx {

class MailTab;
class PathEdit;

class Tf_cfg : public QDialog {
    Q_OBJECT
public:
    // `settingsPath` is the settings file the OK button writes.
    explicit Tf_cfg(std::string settingsPath, QWidget* parent = nullptr);
    ~Tf_cfg() override;

    // The menu's way in: the first opening of a run shows the general tab, later ones the tab
    // last used. Shows the dialog modally and returns its result.
    int ShowFromMenu();

    // Loads every control from the in-memory settings and the two list files.
    void FormShow();
    // Checks the three minute fields, then stores, writes and closes; stays open when a field is
    // wrong or a file could not be written.
    void bbtn_okClick();
    void bbtn_rider_insClick();
    void bbtn_rider_delClick();
    void btn_alarm_sndfnmClick();
    void btn_timer_sndfnmClick();
    void btn_news_alarm_sndfnmClick();

    // The watch list as the dialog holds it (CP932 lines, sorted).
    const std::vector<std::string>& RiderLines() const { return riderLines_; }

    int tag = 0;  // 1 once the menu has opened the dialog in this run

    QTabWidget* pc_cfg = nullptr;
    QWidget* ts_gen = nullptr;
    QWidget* ts_race = nullptr;
    QWidget* ts_chk = nullptr;
    QWidget* ts_news = nullptr;
    QWidget* ts_odds = nullptr;

    QGroupBox* gb_auto_start = nullptr;  // not shown
    QCheckBox* chk_auto_start_f = nullptr;
    QCheckBox* chk_autostart_f = nullptr;  // start at login (the user's autostart entry)
    QGroupBox* gb_msg = nullptr;
    // rb_lt, rb_ct, rb_rt, rb_lc, rb_cc, rb_rc, rb_lb, rb_cb, rb_rb: MSG_LOCATE 1 to 9.
    std::array<QRadioButton*, 9> rb_msg_locate{};

    QLineEdit* e_alarm_min = nullptr;
    QRadioButton* rb_alarm_msgbox = nullptr;
    QRadioButton* rb_alarm_popmsg = nullptr;
    QRadioButton* rb_alarm_no = nullptr;
    QCheckBox* chk_alarm_snd_f = nullptr;
    PathEdit* e_alarm_sndfnm = nullptr;
    QPushButton* btn_alarm_sndfnm = nullptr;
    QCheckBox* chk_alarm_info_f = nullptr;  // not shown
    QCheckBox* chk_alarm_rfd_f = nullptr;   // not shown
    QCheckBox* chk_timer_f = nullptr;
    QLineEdit* e_timer_min = nullptr;
    QCheckBox* chk_timer_snd_f = nullptr;
    PathEdit* e_timer_sndfnm = nullptr;
    QPushButton* btn_timer_sndfnm = nullptr;

    QCheckBox* chk_chk_f = nullptr;
    QLineEdit* e_chk_interval = nullptr;
    QLineEdit* e_entno = nullptr;
    QPushButton* bbtn_rider_ins = nullptr;
    QListWidget* lb_rider = nullptr;
    QPushButton* bbtn_rider_del = nullptr;

    QRadioButton* rb_news_alarm_msgbox = nullptr;
    QRadioButton* rb_news_alarm_popmsg = nullptr;
    QRadioButton* rb_news_alarm_no = nullptr;
    QCheckBox* chk_news_alarm_snd_f = nullptr;
    PathEdit* e_news_alarm_sndfnm = nullptr;
    QPushButton* btn_news_alarm_sndfnm = nullptr;
    QPlainTextEdit* m_rss = nullptr;

    MailTab* ts_mail = nullptr;  // the mail settings and the test send

    QGroupBox* gb_odds = nullptr;  // not shown
    QCheckBox* chk_odds_multi_window_f = nullptr;

    QPushButton* bbtn_ok = nullptr;
    QPushButton* bbtn_cancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildGeneralTab();
    void BuildRaceTab();
    void BuildCheckTab();
    void BuildNewsTab();
    void BuildOddsTab();
    void BuildButtons();
    void LoadLists();
    bool MinutesValid();
    bool StoreAndWrite();
    void ChooseSound(PathEdit* field);
    void SetRiderLines(std::vector<std::string> lines);

    std::string settingsPath_;
    std::string soundFolder_;  // where the sound-file chooser starts
    std::vector<std::string> riderLines_;
    // PLX_RSS.DAT as read and as shown: written back byte for byte while the memo still shows it.
    std::vector<std::string> loadedFeeds_;
    QString loadedFeedText_;
    // A list file that is there but could not be read: shown read-only and never written.
    bool riderListLocked_ = false;
    bool feedListLocked_ = false;
};

}  // namespace plx

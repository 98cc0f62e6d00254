// Tf_verinfo: the about box with the product's title, version, rights notice and web links.
#pragma once

#include <QDialog>

class QLabel;

namespace plx {

class Tf_verinfo : public QDialog {
    Q_OBJECT
public:
    explicit Tf_verinfo(QWidget* parent = nullptr);

    // Sets the title, version and notice texts.
    void FormShow();
    // Each opens the label's own text, so the address shown is the address opened.
    void st_url_orventClick();
    void st_url_productsClick();

    QLabel* img_icon = nullptr;
    QLabel* st_title = nullptr;
    QLabel* st_ver = nullptr;
    QLabel* st_copyright = nullptr;
    QLabel* st_url_orvent = nullptr;
    QLabel* st_url_products = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace plx

// The about box.
#include "dialogs/about_box.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QShowEvent>
#include <QVBoxLayout>
#include <string>

#include "common/clock.h"
#include "common/shell/app_title.h"
#include "common/shell/browser.h"
#include "common/shell/qt_text.h"
#include "common/sites.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "common/shell/ui_font.h"

namespace plx {
namespace {

QLabel* Label(const QString& text, QWidget* parent, const char* name = nullptr) {
    auto* label = new QLabel(text, parent);
    if (name) label->setObjectName(QString::fromLatin1(name));
    return label;
}

QLabel* Link(QWidget* parent, const char* name) {
    QLabel* label = Label({}, parent, name);
    label->setCursor(Qt::PointingHandCursor);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(palette);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    return label;
}

void OpenLabel(const QLabel* label) {
    OpenBrowser(Cp932Text(label->text()));
}

}  // namespace

Tf_verinfo::Tf_verinfo(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("f_verinfo"));
    setWindowTitle(QString::fromUtf8("バージョン情報"));
    setModal(true);
    setFont(UiFont());

    img_icon = Label({}, this, "img_icon");
    img_icon->setAlignment(Qt::AlignCenter);
    st_title = Label({}, this, "st_title");
    st_title->setAlignment(Qt::AlignCenter);
    QFont titleFont = UiFont();
    titleFont.setPixelSize(18);
    titleFont.setBold(true);
    st_title->setFont(titleFont);
    st_ver = Label({}, this, "st_ver");
    st_ver->setAlignment(Qt::AlignRight);

    const std::string site = "http://" + Sites().maker;
    st_url_orvent = Link(this, "st_url_orvent");
    st_url_orvent->setText(QString::fromStdString(site + "/"));
    st_url_products = Link(this, "st_url_products");
    st_url_products->setText(QString::fromStdString(site + "/products/plx/"));
    st_url_orvent->installEventFilter(this);
    st_url_products->installEventFilter(this);

    auto* links = new QGridLayout;
    links->addWidget(Label(QStringLiteral("PLX"), this), 0, 0);
    links->addWidget(st_url_products, 0, 1);
    links->addWidget(Label(QStringLiteral("orvent WebSite"), this), 1, 0);
    links->addWidget(st_url_orvent, 1, 1);
    links->setColumnStretch(1, 1);
    links->setHorizontalSpacing(12);

    st_copyright = Label({}, this, "st_copyright");
    st_copyright->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(img_icon);
    layout->addWidget(st_title);
    layout->addWidget(st_ver);
    layout->addSpacing(8);
    layout->addLayout(links);
    layout->addSpacing(8);
    layout->addWidget(st_copyright);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Tf_verinfo::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) FormShow();
    QDialog::showEvent(event);
}

void Tf_verinfo::FormShow() {
    img_icon->setPixmap(windowIcon().pixmap(32, 32));
    st_title->setText(QString::fromUtf8(kApplicationTitle) + QStringLiteral(" 2006"));
    st_ver->setText(QStringLiteral("Version ") + QString::fromStdString(ExeDate()) + QStringLiteral(" "));
    const std::string year = ZeroPad(CurrentClock().Now().year, 4);
    st_copyright->setText(QString::fromStdString("Copyright (C) 2006-" + year + " orvent"));
}

void Tf_verinfo::st_url_orventClick() {
    OpenLabel(st_url_orvent);
}

void Tf_verinfo::st_url_productsClick() {
    OpenLabel(st_url_products);
}

bool Tf_verinfo::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == st_url_orvent) st_url_orventClick();
        if (watched == st_url_products) st_url_productsClick();
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace plx

#include "shell/aboutbox.h"

#include "platform/place.h"
#include "platform/titlebar.h"
#include "shell/resources.h"

#include <QDesktopServices>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

const QString TAboutBox::kWebAddress = QStringLiteral("https://nirel3.example.org");
const QString TAboutBox::kMailAddress = QStringLiteral("support@nirel3.example.org");

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent, platform::ui::titleBar(Qt::Dialog))
{
    shell::initResources();
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("О программе"));

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(QPixmap(QStringLiteral(":/icons/pupil.png")).scaled(48, 48));
    icon->setAccessibleName(QStringLiteral("Значок программы"));

    auto *product = new QLabel(QStringLiteral("Nirel-3"), this);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont f = product->font();
    f.setPointSize(20);
    f.setBold(true);
    f.setItalic(true);
    product->setFont(f);
    product->setStyleSheet(QStringLiteral("color: green;"));

    auto *version = new QLabel(QStringLiteral("Вер.2.2"), this);
    version->setObjectName(QStringLiteral("Version"));
    auto *notice = new QLabel(QStringLiteral("© 2026 Разработчики НИРЕЛ-3"), this);
    notice->setObjectName(QStringLiteral("Copyright"));
    auto *comment = new QLabel(QStringLiteral("Экспертная система для иридодиагностики"), this);
    comment->setObjectName(QStringLiteral("Comments"));
    comment->setWordWrap(true);

    auto makeLink = [this](const QString &name, const QString &text, const QString &hint) {
        auto *l = new QLabel(text, this);
        l->setObjectName(name);
        QFont lf = l->font();
        lf.setUnderline(true);
        l->setFont(lf);
        l->setStyleSheet(QStringLiteral("color: blue;"));
        l->setCursor(Qt::PointingHandCursor);
        l->setAccessibleName(text);
        l->setToolTip(hint);
        l->setStatusTip(hint);
        l->installEventFilter(this);
        return l;
    };
    WebSite = makeLink(QStringLiteral("WebSite"), kWebAddress, QStringLiteral("Открыть сайт программы"));
    Mail = makeLink(QStringLiteral("Mail"), kMailAddress, QStringLiteral("Написать разработчикам"));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setAccessibleName(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    for (QLabel *l : {product, version, notice, comment})
        l->setAccessibleName(l->text());

    auto *grid = new QGridLayout;
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(product, 0, 1);
    grid->addWidget(version, 1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(notice);
    layout->addWidget(comment);
    layout->addWidget(WebSite);
    layout->addWidget(Mail);
    layout->addStretch();
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    platform::place::centred(this, 298, 209);
}

bool TAboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == WebSite)
            openWebSite();
        else if (watched == Mail)
            writeMail();
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::openWebSite()
{
    QDesktopServices::openUrl(QUrl(kWebAddress));
}

void TAboutBox::writeMail()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + kMailAddress));
}

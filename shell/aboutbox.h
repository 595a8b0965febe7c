#pragma once
// "О программе": name, version, notice and the links of the product.
#include <QDialog>

class QLabel;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);

    static const QString kWebAddress;
    static const QString kMailAddress;

    void openWebSite(); // WebSiteClick
    void writeMail(); // MailClick

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *WebSite = nullptr;
    QLabel *Mail = nullptr;
};

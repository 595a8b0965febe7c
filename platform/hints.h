#pragma once
// The application's current hint: the status text of the control or menu
// item under the mouse pointer, whichever window it belongs to.
#include <QObject>
#include <QString>

#include <functional>

class HintHub : public QObject {
    Q_OBJECT
public:
    static HintHub &instance();

    // Watches every status tip of the application (installed at start-up).
    void install();

    QString hint() const { return m_hint; }
    void setHint(const QString &text);

    // A window that takes over all hints (the final editor installs one); from
    // then on hintChanged is no longer emitted.
    void setApplicationHandler(std::function<void(const QString &)> handler);
    bool hasApplicationHandler() const { return bool(m_handler); }

signals:
    void hintChanged(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_hint;
    std::function<void(const QString &)> m_handler;
};

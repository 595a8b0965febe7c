#include "help/helpviewer.h"

#include "platform/controls.h"
#include "platform/paths.h"
#include "platform/textfile.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {
QPointer<HelpViewer> &viewer()
{
    static QPointer<HelpViewer> theViewer;
    return theViewer;
}
}

HelpViewer *HelpViewer::existing()
{
    return viewer().data();
}

HelpViewer *HelpViewer::open()
{
    QPointer<HelpViewer> &v = viewer();
    if (!v)
        v = new HelpViewer();
    v->show();
    v->raise();
    v->activateWindow();
    return v.data();
}

HelpViewer::HelpViewer(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Справка НИРЕЛ-3"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(620, 560);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpText"));
    m_browser->setAccessibleName(QStringLiteral("Текст справки"));
    m_browser->setOpenExternalLinks(true);

    m_contents = platform::ui::makeButton(this, "bbContents", QStringLiteral("Содержание"),
                                QStringLiteral("Перечень разделов справки"), {});
    m_index = platform::ui::makeButton(this, "bbIndex", QStringLiteral("Указатель"),
                             QStringLiteral("Алфавитный указатель терминов"), {});
    m_back = platform::ui::makeButton(this, "bbBack", QStringLiteral("Назад"),
                            QStringLiteral("Вернуться к предыдущему разделу"), {});
    auto *close = platform::ui::makeButton(this, "bbClose", QStringLiteral("Закрыть"),
                                 QStringLiteral("Закрыть окно справки"), {});

    connect(m_contents, &QPushButton::clicked, this, [this] { go(QStringLiteral("contents")); });
    connect(m_index, &QPushButton::clicked, this, [this] { go(QStringLiteral("index")); });
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    m_back->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_contents);
    buttons->addWidget(m_index);
    buttons->addWidget(m_back);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);
}

QString HelpViewer::topicAnchor(int context)
{
    return QStringLiteral("ctx") + QString::number(context);
}

QStringList HelpViewer::anchorsOf(const QString &html)
{
    static const QRegularExpression re(
        QStringLiteral("<a\\s+(?:[^>]*\\s)?(?:name|id)\\s*=\\s*\"([^\"]+)\""),
        QRegularExpression::CaseInsensitiveOption);
    QStringList out;
    for (auto it = re.globalMatch(html); it.hasNext();)
        out << it.next().captured(1);
    return out;
}

QString HelpViewer::shownText() const
{
    return m_browser->toPlainText();
}

bool HelpViewer::load(const QString &shownFile)
{
    m_file = shownFile;
    m_problem.clear();
    const platform::textfile::ReadResult r = platform::textfile::readLines(platform::paths::local(shownFile));
    if (!r.ok) {
        m_html.clear();
        m_anchors.clear();
        m_contents->setEnabled(false);
        m_index->setEnabled(false);
        report(QStringLiteral("Файл справки %1 не найден или не читается.").arg(shownFile));
        return false;
    }
    m_html = r.lines.join(QLatin1Char('\n'));
    m_anchors = anchorsOf(m_html);
    m_contents->setEnabled(m_anchors.contains(QStringLiteral("contents")));
    m_index->setEnabled(m_anchors.contains(QStringLiteral("index")));
    m_browser->setHtml(m_html);
    m_browser->clearHistory();
    return true;
}

void HelpViewer::report(const QString &text)
{
    m_problem = text;
    m_anchor.clear();
    m_browser->setHtml(QStringLiteral("<h2>Справка недоступна</h2><p>") + text.toHtmlEscaped() +
                       QStringLiteral("</p>"));
}

void HelpViewer::go(const QString &anchor)
{
    if (!m_problem.isEmpty() && !m_html.isEmpty()) {
        m_problem.clear();
        m_browser->setHtml(m_html);
    }
    m_anchor = anchor;
    m_browser->scrollToAnchor(anchor);
}

void HelpViewer::showFinder(const QString &shownFile)
{
    if (!load(shownFile))
        return;
    go(QStringLiteral("contents"));
}

void HelpViewer::showTopic(const QString &shownFile, int context)
{
    if (!load(shownFile))
        return;
    const QString anchor = topicAnchor(context);
    if (!m_anchors.contains(anchor)) {
        report(QStringLiteral("В файле справки %1 нет раздела с номером %2.")
                   .arg(shownFile)
                   .arg(context));
        return;
    }
    go(anchor);
}

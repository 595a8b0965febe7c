// The photos of a card index follow their card through the card window's
// operations and through a list edited by hand, and never show under
// another patient: every photo file here is made for one patient, whose tag
// the card carries in its telephone field (not part of the key).
#include "cards/tfmcard.h"
#include "photos/photostore.h"
#include "platform/textfile.h"
#include "state/cardindexfile.h"
#include "state/cardlistmodel.h"
#include "state/openwindow.h"
#include "state/windows.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QtTest>

#include <functional>

#include <sys/inotify.h>
#include <unistd.h>

using photos::Eye;

namespace {

THuman patient(const QString &surname, const QString &name, const QString &tag)
{
    THuman h(surname);
    h.LName = name;
    h.MName = QStringLiteral("Иванович");
    h.Date = QStringLiteral("01.02.2024");
    h.Phone = tag;
    return h;
}

struct World {
    TestEnv env;
    ScriptedPrompter prompter;
    TfmCard *card = nullptr;
    QMap<QByteArray, QString> owner; // photo file bytes -> the patient it was taken of

    QString list(const QString &name = QStringLiteral("k.lst")) const { return env.path(name); }

    void open(const QString &file)
    {
        prompter.fileNames << file;
        card->openCardIndex();
    }
    void saveAs(const QString &file)
    {
        prompter.fileNames << file;
        card->saveCardIndex();
    }
    int rowOf(const QString &tag) const
    {
        const QList<CardEntry> &e = card->model()->entries();
        for (int i = 0; i < e.size(); ++i)
            if (e.at(i).record && e.at(i).record->Phone == tag)
                return i;
        return -1;
    }
    // A photo of a patient, as a camera file outside the card index (one
    // of each visit, when a visit is named).
    QString shoot(const QString &tag, Eye eye, const QString &visit = {})
    {
        QImage image(96, 64, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(int(qHash(tag) % 360), 200, 200));
        QPainter(&image).drawText(image.rect(), Qt::AlignCenter, tag + (eye == Eye::Right ? "R" : "L") + visit);
        const QString path = env.path(QStringLiteral("camera/%1%2%3.png").arg(tag).arg(int(eye)).arg(visit));
        QDir().mkpath(env.path(QStringLiteral("camera")));
        image.save(path);
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        owner.insert(f.readAll(), tag);
        return path;
    }
    void addPhoto(const QString &tag, Eye eye, const QString &visit = photos::today())
    {
        const THuman h = *card->model()->entry(rowOf(tag)).record;
        QVERIFY(photos::store().add(shoot(tag, eye, visit), eye, photos::keyOf(h), visit).error.isEmpty());
    }
    // The photo of a patient's eye taken at a visit, wherever it is now.
    int photoTaken(const QString &tag, Eye eye, const QString &visit) const
    {
        const photos::PhotoIndex &index = photos::store().index();
        for (int i = 0; i < index.photos.size(); ++i) {
            QFile f(photos::store().pathOf(i));
            f.open(QIODevice::ReadOnly);
            if (index.photos.at(i).eye == eye && photos::sameVisit(index.photos.at(i).visit, visit) &&
                owner.value(f.readAll()) == tag)
                return i;
        }
        return -1;
    }
    // The eyes shown per patient tag ("R", "L", "RL", ""); fails on a photo
    // shown under another patient.
    QMap<QString, QString> shown() const
    {
        QMap<QString, QString> out;
        const QList<photos::CardKey> keys = photos::keysOf(card->model()->entries());
        for (const CardEntry &e : card->model()->entries()) {
            QString eyes;
            for (Eye eye : {Eye::Right, Eye::Left}) {
                const int i = photos::store().index().photoOf(keys, photos::keyOf(*e.record), eye);
                if (i < 0)
                    continue;
                QFile f(photos::store().pathOf(i));
                f.open(QIODevice::ReadOnly);
                const QString taken = owner.value(f.readAll(), QStringLiteral("?"));
                if (taken != e.record->Phone)
                    qWarning("photo of %s shown under %s", qPrintable(taken), qPrintable(e.record->Phone));
                eyes += taken == e.record->Phone ? (eye == Eye::Right ? "R" : "L") : "!";
            }
            out.insert(e.record->Phone, eyes);
        }
        return out;
    }
    int orphans() const
    {
        return int(photos::store().index().orphans(photos::keysOf(card->model()->entries())).size());
    }
    // Rewrites the pair on disk as a hand edit would.
    void handEdit(const std::function<void(QList<CardEntry> &)> &change)
    {
        state::cardindex::ReadResult read = state::cardindex::readPair(list());
        change(read.entries);
        QVERIFY(state::cardindex::writePair(list(), read.entries).ok);
    }
};

// Three cards A, B, C; B has both photos, C the right one; saved and reopened.
void startWorld(World &w)
{
    w.card = state::openWindow(state::windows().fmCard);
    w.card->model()->setEntries({CardEntry{QStringLiteral("Андреев"), patient("Андреев", "Алексей", "A")},
                                 CardEntry{QStringLiteral("Борисова"), patient("Борисова", "Белла", "B")},
                                 CardEntry{QStringLiteral("Власов"), patient("Власов", "Виктор", "C")}});
    w.saveAs(w.list());
    w.addPhoto(QStringLiteral("B"), Eye::Right);
    w.addPhoto(QStringLiteral("B"), Eye::Left);
    w.addPhoto(QStringLiteral("C"), Eye::Right);
    w.saveAs(w.list());
    w.open(w.list());
}

void rewrite(World &w, const QString &tag, const std::function<void(TfmCard *)> &edit)
{
    w.card->selectRow(w.rowOf(tag));
    w.card->takeOutCard();
    edit(w.card);
    w.card->writeBackCard();
}

struct Step {
    const char *name;
    std::function<void(World &)> act;
    QMap<QString, QString> shown;
    int orphans;
};

const QList<Step> &steps()
{
    static const QList<Step> table{
        {"nothing done", [](World &) {}, {{"A", ""}, {"B", "RL"}, {"C", "R"}}, 0},
        {"Записать: surname changed, then saved and reopened",
         [](World &w) {
             rewrite(w, QStringLiteral("B"), [](TfmCard *c) { control<QLineEdit>(c, "FNameEdit")->setText(QStringLiteral("Боброва")); });
             w.saveAs(w.list());
             w.open(w.list());
         },
         {{"A", ""}, {"B", "RL"}, {"C", "R"}}, 0},
        {"Записать: telephone changed",
         [](World &w) { rewrite(w, QStringLiteral("B"), [](TfmCard *c) { control<QLineEdit>(c, "AddrEdit")->setText(QStringLiteral("Тверь")); }); },
         {{"A", ""}, {"B", "RL"}, {"C", "R"}}, 0},
        {"Записать: date changed by hand in the fields",
         [](World &w) { rewrite(w, QStringLiteral("C"), [](TfmCard *c) { control<QLineEdit>(c, "EditDate")->setText(QStringLiteral("05.06.2025")); }); },
         {{"A", ""}, {"B", "RL"}, {"C", "R"}}, 0},
        {"Удалить",
         [](World &w) {
             w.card->selectRow(w.rowOf(QStringLiteral("B")));
             w.card->deleteCard();
         },
         {{"A", ""}, {"C", "R"}}, 2},
        {"Сохранить under another name, reopened",
         [](World &w) {
             w.saveAs(w.list(QStringLiteral("copy.lst")));
             w.card->clearCardIndex();
             w.open(w.list(QStringLiteral("copy.lst")));
         },
         {{"A", ""}, {"B", "RL"}, {"C", "R"}}, 0},
        {"list reordered by hand",
         [](World &w) {
             w.handEdit([](QList<CardEntry> &e) { std::reverse(e.begin(), e.end()); });
             w.open(w.list());
         },
         {{"A", ""}, {"B", "RL"}, {"C", "R"}}, 0},
        {"surname changed by hand",
         [](World &w) {
             w.handEdit([](QList<CardEntry> &e) { e[1].record->FName = QStringLiteral("Боброва"); });
             w.open(w.list());
         },
         {{"A", ""}, {"B", ""}, {"C", "R"}}, 2},
        {"second card with the same name and date",
         [](World &w) {
             w.handEdit([](QList<CardEntry> &e) {
                 THuman twin = *e[1].record;
                 twin.Phone = QStringLiteral("B2");
                 e.append(CardEntry{QStringLiteral("Борисова"), twin});
             });
             w.open(w.list());
         },
         {{"A", ""}, {"B", ""}, {"C", "R"}, {"B2", ""}}, 0},
        {"Записать: A written back with B's name and date",
         [](World &w) {
             rewrite(w, QStringLiteral("A"), [](TfmCard *c) {
                 control<QLineEdit>(c, "FNameEdit")->setText(QStringLiteral("Борисова"));
                 control<QLineEdit>(c, "LNameEdit")->setText(QStringLiteral("Белла"));
             });
         },
         {{"A", ""}, {"B", ""}, {"C", "R"}}, 0},
        {"Записать: B takes a name whose photos were orphans",
         [](World &w) {
             w.card->selectRow(w.rowOf(QStringLiteral("C")));
             w.card->deleteCard(); // C's photo is now an orphan keyed Власов
             rewrite(w, QStringLiteral("B"), [](TfmCard *c) {
                 control<QLineEdit>(c, "FNameEdit")->setText(QStringLiteral("Власов"));
                 control<QLineEdit>(c, "LNameEdit")->setText(QStringLiteral("Виктор"));
             });
         },
         {{"A", ""}, {"B", "RL"}}, 1},
        {"photo copied in but never saved",
         [](World &w) {
             w.addPhoto(QStringLiteral("A"), Eye::Left);
             w.prompter.answers << QMessageBox::Discard; // "Картотека не сохранена. Сохранить её…?"
             w.open(w.list());
         },
         {{"A", ""}, {"B", "RL"}, {"C", "R"}}, 1},
        {"Очистить, then the file opened again",
         [](World &w) {
             w.card->clearCardIndex();
             w.open(w.list());
         },
         {{"A", ""}, {"B", "RL"}, {"C", "R"}}, 0},
        // A clash of keys is settled without a photo passing between the
        // clashing cards: C is written back with B's name by mistake, B then
        // gets a patronymic, and C its own name back.
        {"Записать: C onto B's name, B renamed on, C renamed back",
         [](World &w) {
             rewrite(w, QStringLiteral("C"), [](TfmCard *c) {
                 control<QLineEdit>(c, "FNameEdit")->setText(QStringLiteral("Борисова"));
                 control<QLineEdit>(c, "LNameEdit")->setText(QStringLiteral("Белла"));
             });
             rewrite(w, QStringLiteral("B"), [](TfmCard *c) { control<QLineEdit>(c, "MNameEdit")->setText(QStringLiteral("Петровна")); });
             QCOMPARE(w.shown(), (QMap<QString, QString>{{"A", ""}, {"B", "RL"}, {"C", ""}}));
             rewrite(w, QStringLiteral("C"), [](TfmCard *c) {
                 control<QLineEdit>(c, "FNameEdit")->setText(QStringLiteral("Власов"));
                 control<QLineEdit>(c, "LNameEdit")->setText(QStringLiteral("Виктор"));
             });
         },
         {{"A", ""}, {"B", "RL"}, {"C", "R"}}, 0},
        {"Записать: C onto B's name and straight back",
         [](World &w) {
             for (const auto &[surname, name] : {std::pair{"Борисова", "Белла"}, std::pair{"Власов", "Виктор"}})
                 rewrite(w, QStringLiteral("C"), [&](TfmCard *c) {
                     control<QLineEdit>(c, "FNameEdit")->setText(QString::fromUtf8(surname));
                     control<QLineEdit>(c, "LNameEdit")->setText(QString::fromUtf8(name));
                 });
         },
         {{"A", ""}, {"B", "RL"}, {"C", "R"}}, 0},
        {"Удалить: B, while C has B's name",
         [](World &w) {
             rewrite(w, QStringLiteral("C"), [](TfmCard *c) {
                 control<QLineEdit>(c, "FNameEdit")->setText(QStringLiteral("Борисова"));
                 control<QLineEdit>(c, "LNameEdit")->setText(QStringLiteral("Белла"));
             });
             w.card->selectRow(w.rowOf(QStringLiteral("B")));
             w.card->deleteCard();
         },
         {{"A", ""}, {"C", ""}}, 3},
        {"Записать: one of two cards of one name from the file renamed",
         [](World &w) {
             w.handEdit([](QList<CardEntry> &e) {
                 THuman twin = *e[1].record;
                 twin.Phone = QStringLiteral("B2");
                 e.append(CardEntry{QStringLiteral("Борисова"), twin});
             });
             w.open(w.list());
             rewrite(w, QStringLiteral("B2"), [](TfmCard *c) { control<QLineEdit>(c, "LNameEdit")->setText(QStringLiteral("Вера")); });
         },
         {{"A", ""}, {"B", ""}, {"C", "R"}, {"B2", ""}}, 2},
    };
    return table;
}

} // namespace

class TestPhotoIndex : public QObject {
    Q_OBJECT
private slots:
    void photosFollowTheirCard_data();
    void photosFollowTheirCard();
    void fitsAndFilesAreKept();
    void indexFileFormat();
    void whoMayHoldPhotos();
    void photosThatCannotBeShownAreRefused_data();
    void photosThatCannotBeShownAreRefused();
    void nothingOutsideIsReadOrWritten();
    void visitsFollowTheirCard_data() { photosFollowTheirCard_data(); }
    void visitsFollowTheirCard();
    void visitsBesideTheIndex();
};

void TestPhotoIndex::photosFollowTheirCard_data()
{
    QTest::addColumn<int>("step");
    for (int i = 0; i < steps().size(); ++i)
        QTest::newRow(steps().at(i).name) << i;
}

void TestPhotoIndex::photosFollowTheirCard()
{
    QFETCH(int, step);
    World w;
    startWorld(w);
    const Step &s = steps().at(step);
    s.act(w);
    QCOMPARE(w.shown(), s.shown);
    QCOMPARE(w.orphans(), s.orphans);
    // Nothing is ever deleted: every photo taken is still in a folder.
    QCOMPARE(QDir(w.env.path(QStringLiteral("k.foto"))).entryList({QStringLiteral("*.png")}, QDir::Files).size(),
             step == 11 ? 4 : 3);
}

void TestPhotoIndex::fitsAndFilesAreKept()
{
    World w;
    startWorld(w);
    const QList<photos::CardKey> keys = photos::keysOf(w.card->model()->entries());
    const int b = photos::store().index().photoOf(keys, keys.at(1), Eye::Left);
    const photos::iris::Fit fit{{40.5, 30.25, 8}, {45, 31, 30}, -3.5};
    photos::store().setFit(b, fit);
    w.saveAs(w.list());
    w.open(w.list());
    QCOMPARE(photos::store().index().photos.at(b).fit, std::optional(fit));
    // Taken off and put on again.
    photos::store().takeOff(b);
    QCOMPARE(w.shown().value("B"), QStringLiteral("R"));
    QCOMPARE(w.orphans(), 1);
    photos::store().putOn(b, keys.at(1), photos::today());
    QCOMPARE(w.shown().value("B"), QStringLiteral("RL"));
    // A new photo of an eye replaces the old one, which is kept as an orphan.
    w.addPhoto(QStringLiteral("B"), Eye::Left);
    QCOMPARE(w.shown().value("B"), QStringLiteral("RL"));
    QCOMPARE(w.orphans(), 1);
    QCOMPARE(w.prompter.texts(), QStringList());
}

void TestPhotoIndex::indexFileFormat()
{
    World w;
    startWorld(w);
    const QList<photos::CardKey> keys = photos::keysOf(w.card->model()->entries());
    photos::store().setFit(0, photos::iris::Fit{{10, 20, 5}, {12, 21, 30}, 1.5});
    w.saveAs(w.list());
    const QStringList expected{photos::kHeading,
                               "правый", "R0001.png", "на карточке", "01.02.2024", "Борисова", "Белла", "Иванович",
                               "10.00 20.00 5.00 12.00 21.00 30.00 1.50",
                               "левый", "L0001.png", "на карточке", "01.02.2024", "Борисова", "Белла", "Иванович", "",
                               "правый", "R0002.png", "на карточке", "01.02.2024", "Власов", "Виктор", "Иванович", ""};
    QCOMPARE(w.env.readBytes(QStringLiteral("k.foto/index.txt")), platform::textfile::encodeLines(expected));
    // The pair itself is what it always was.
    QCOMPARE(w.env.readBytes(QStringLiteral("k.lso")),
             platform::textfile::encodeLines(state::cardindex::dataLines(w.card->model()->entries())));
    // A damaged index is said, and its photos are still offered.
    w.env.writeLines(QStringLiteral("k.foto/index.txt"), {QStringLiteral("что-то другое")});
    w.open(w.list());
    QCOMPARE(w.prompter.texts().size(), 1);
    QCOMPARE(w.orphans(), 3);
    QCOMPARE(w.shown().value("B"), QString());
}

void TestPhotoIndex::whoMayHoldPhotos()
{
    QVERIFY(photos::canHoldPhotos(photos::keyOf(patient("Петров", "Олег", "x"))));
    QVERIFY(!photos::canHoldPhotos(photos::keyOf(THuman(QStringLiteral("Новый пациент")))));
    QVERIFY(photos::sameCard(photos::keyOf(patient("Петров", "Олег", "x")),
                             photos::keyOf(patient(" петров ", "ОЛЕГ", "y"))));
    QCOMPARE(photos::folderFor(QStringLiteral("/a/Пациенты.lst")), QStringLiteral("/a/Пациенты.foto"));
    // A card index that was never saved has nowhere to keep photos.
    World w;
    w.card = state::openWindow(state::windows().fmCard);
    QVERIFY(!photos::store().add(w.shoot("A", Eye::Right), Eye::Right, photos::keyOf(patient("А", "Б", "A"))).error.isEmpty());
    // Nor is a file that is not a photo taken.
    w.card->model()->setEntries({CardEntry{QStringLiteral("Андреев"), patient("Андреев", "Алексей", "A")}});
    w.saveAs(w.list());
    w.env.writeLines(QStringLiteral("notes.txt"), {QStringLiteral("не снимок")});
    QVERIFY(!photos::store().add(w.env.path("notes.txt"), Eye::Right, photos::keyOf(patient("Андреев", "Алексей", "A"))).error.isEmpty());
}

void TestPhotoIndex::photosThatCannotBeShownAreRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("said"); // the start of the reason; "" when taken
    QTest::newRow("a JPEG cut short") << "cut" << "обрывается: файл записан не полностью";
    QTest::newRow("a decompression bomb") << "bomb" << "слишком велик: 60000 × 60000 точек";
    QTest::newRow("a text file") << "text" << "— не снимок в формате JPEG, PNG или BMP";
    QTest::newRow("a 36-megapixel camera photo") << "camera" << "";
}

// "Добавить…" takes only a photo that decodes whole and is no bigger than
// a camera's; a camera's largest is shown halved until it fits the screen.
void TestPhotoIndex::photosThatCannotBeShownAreRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, said);
    World w;
    startWorld(w);
    const QSize size = kind == "camera" ? QSize(7360, 4912) : QSize(400, 300);
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(90, 110, 130));
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            image.setPixel(x, y, qRgb(x * 37 % 256, y * 91 % 256, (x * y) % 256)); // not too small a file
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG", 90);
    }
    if (kind == "cut")
        bytes.truncate(bytes.size() / 2);
    if (kind == "bomb") { // the frame header claims 60000 × 60000 pixels
        const qsizetype frame = bytes.indexOf("\xff\xc0");
        QVERIFY(frame > 0);
        bytes.replace(frame + 5, 4, QByteArray("\xea\x60\xea\x60", 4));
    }
    if (kind == "text")
        bytes = "не снимок\r\n";
    w.env.writeBytes("photo.jpg", bytes);
    const THuman a = *w.card->model()->entry(w.rowOf(QStringLiteral("A"))).record;
    const photos::Store::Added added = photos::store().add(w.env.path("photo.jpg"), Eye::Right, photos::keyOf(a));
    if (!said.isEmpty()) {
        QVERIFY2(added.error.startsWith("Снимок " + w.env.path("photo.jpg") + " " + said) ||
                     added.error.startsWith("Файл " + w.env.path("photo.jpg") + " " + said),
                 qPrintable(added.error));
        QCOMPARE(added.photo, -1);
        return;
    }
    QVERIFY2(added.error.isEmpty(), qPrintable(added.error));
    const photos::Decoded shown = photos::readPhoto(photos::store().folder(), photos::store().index().photos.at(added.photo).file);
    QCOMPARE(shown.fullSize, size);
    QCOMPARE(shown.image.size(), size / 2);
    QCOMPARE(shown.scale, 0.5);
}

namespace {

// Every event on the files of some folders, from the moment it is made.
class Watch {
public:
    explicit Watch(const QStringList &folders)
        : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        for (const QString &f : folders)
            ::inotify_add_watch(m_fd, QFile::encodeName(f).constData(), IN_ALL_EVENTS);
    }
    ~Watch() { ::close(m_fd); }
    // "secret.png: opened", ...
    QStringList events() const
    {
        QStringList out;
        alignas(inotify_event) char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                return out;
            for (ssize_t at = 0; at < n;) {
                const auto *e = reinterpret_cast<const inotify_event *>(buffer + at);
                out << QString::fromUtf8(e->len ? e->name : ".") + QStringLiteral(": 0x") + QString::number(e->mask, 16);
                at += ssize_t(sizeof(inotify_event)) + e->len;
            }
        }
    }

private:
    int m_fd;
};

} // namespace

// A card index whose photo index names files outside its folder and whose
// helper files are links out of it is opened, its photos shown, saved and
// saved under two other names: no file outside is opened, read or written.
// (The kernel reports every open of a watched folder's files, by any code,
// Qt's image readers included; times of access are not kept on every disk.)
void TestPhotoIndex::nothingOutsideIsReadOrWritten()
{
    World w;
    startWorld(w);
    w.card->clearCardIndex(); // lets the lock go
    const QString outside = w.env.path("outside");
    QDir().mkpath(outside + "/folder");
    QImage secret(64, 48, QImage::Format_RGB32);
    secret.fill(Qt::red);
    secret.save(outside + "/secret.png");
    w.env.writeLines("outside/index.txt", {photos::kHeading});
    w.env.writeLines("outside/note.txt", {QStringLiteral("чужое")});
    const QStringList outsideFiles{"folder", "index.txt", "note.txt", "secret.png"};
    auto bytesOutside = [&] {
        QList<QByteArray> all;
        for (const QString &f : outsideFiles)
            all << w.env.readBytes("outside/" + f);
        return all;
    };
    const QList<QByteArray> before = bytesOutside();

    // The index names files outside and links that lead out.
    const QStringList names{"../outside/secret.png", outside + "/secret.png", "R0009.png"};
    QStringList lines = platform::textfile::readLines(w.env.path("k.foto/index.txt")).lines;
    for (const QString &name : names)
        lines << "левый" << name << "на карточке" << "01.02.2024" << "Андреев" << "Алексей" << "Иванович" << "";
    w.env.writeLines("k.foto/index.txt", lines);
    QDir(w.env.path("k.lst.nirel3-backups")).removeRecursively();
    for (const auto &[link, to] : {std::pair{"k.foto/R0009.png", "outside/secret.png"},
                                   std::pair{"k.foto/L0010.png", "outside/secret.png"},
                                   std::pair{"k.lst.nirel3-lock", "outside/note.txt"},
                                   std::pair{"k.lst.nirel3-new", "outside/note.txt"},
                                   std::pair{"k.lst.nirel3-backups", "outside/folder"},
                                   std::pair{"linked.foto", "outside/folder"},
                                   std::pair{"copy.foto/index.txt", "outside/index.txt"}}) {
        QDir().mkpath(QFileInfo(w.env.path(link)).absolutePath());
        QVERIFY2(QFile::link(w.env.path(to), w.env.path(link)), link);
    }

    const Watch watch(QStringList{outside, outside + "/folder"});
    w.open(w.list()); // the lock that is a link is taken over (the first button)
    for (int row = 0; row < 3; ++row) {
        w.card->selectRow(row);
        w.card->showPhotos();
    }
    w.saveAs(w.list());
    w.saveAs(w.list("copy.lst"));
    w.saveAs(w.list("linked.lst"));
    QCOMPARE(watch.events(), QStringList());
    QCOMPARE(bytesOutside(), before);
    QCOMPARE(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), outsideFiles);
    QCOMPARE(QDir(outside + "/folder").entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    // The user was told.
    const QString told = w.prompter.texts().join("\n");
    for (const QString &name : names.mid(0, 2))
        QVERIFY2(told.contains("называет файл «" + name + "» не из папки фотографий"), qPrintable(told));
    QVERIFY2(told.contains("nirel3-lock — символическая ссылка"), qPrintable(told));
    QVERIFY2(told.contains("R0009.png (это символическая ссылка)"), qPrintable(told));
    QCOMPARE(w.shown(), (QMap<QString, QString>{{"A", ""}, {"B", "RL"}, {"C", "R"}}));
}

QTEST_MAIN(TestPhotoIndex)
// B has a right-eye photo of an earlier visit too: whatever the card
// actions do, it goes wherever B's photo of that eye taken today goes, and
// today's visit shows what a card of one visit showed.
void TestPhotoIndex::visitsFollowTheirCard()
{
    QFETCH(int, step);
    const QString earlier = QStringLiteral("05.05.2025");
    World w;
    startWorld(w);
    w.addPhoto(QStringLiteral("B"), Eye::Right, earlier);
    w.saveAs(w.list());
    w.open(w.list());
    const Step &s = steps().at(step);
    s.act(w);
    QCOMPARE(w.shown(), s.shown);
    const int now = w.photoTaken(QStringLiteral("B"), Eye::Right, photos::today());
    const int then = w.photoTaken(QStringLiteral("B"), Eye::Right, earlier);
    QVERIFY(now >= 0 && then >= 0);
    const QList<photos::CardKey> keys = photos::keysOf(w.card->model()->entries());
    const photos::PhotoIndex &index = photos::store().index();
    for (const photos::CardKey &key : keys)
        QCOMPARE(index.photoOf(keys, key, Eye::Right, earlier) == then, index.photoOf(keys, key, Eye::Right, photos::today()) == now);
    const QList<int> orphans = index.orphans(keys);
    QCOMPARE(orphans.contains(then), orphans.contains(now));
    QCOMPARE(orphans.size(), s.orphans + orphans.contains(then));
}

// The visits file beside the index; the index in the form it always had,
// each card's photos oldest visit first, so that a program knowing nothing
// of visits shows the latest; a folder without the visits file has its
// photos at their card's date.
void TestPhotoIndex::visitsBesideTheIndex()
{
    World w;
    startWorld(w);
    w.addPhoto(QStringLiteral("B"), Eye::Right, QStringLiteral("05.05.2025"));
    w.saveAs(w.list());
    const QString today = photos::today();
    const QStringList index{photos::kHeading,
                            "правый", "R0003.png", "на карточке", "01.02.2024", "Борисова", "Белла", "Иванович", "",
                            "правый", "R0001.png", "на карточке", "01.02.2024", "Борисова", "Белла", "Иванович", "",
                            "правый", "R0002.png", "на карточке", "01.02.2024", "Власов", "Виктор", "Иванович", "",
                            "левый", "L0001.png", "на карточке", "01.02.2024", "Борисова", "Белла", "Иванович", ""};
    QCOMPARE(w.env.readBytes(QStringLiteral("k.foto/index.txt")), platform::textfile::encodeLines(index));
    QCOMPARE(w.env.readBytes(QStringLiteral("k.foto/visits.txt")),
             platform::textfile::encodeLines({photos::kVisitsHeading, "R0003.png", "05.05.2025", "R0001.png", today,
                                              "R0002.png", today, "L0001.png", today}));
    w.open(w.list());
    const QList<photos::CardKey> keys = photos::keysOf(w.card->model()->entries());
    QCOMPARE(photos::store().index().visitsOf(keys, keys.at(1)), (QStringList{"05.05.2025", today}));
    QCOMPARE(w.orphans(), 0);

    // Without the visits file the earlier photo is one more of the card's
    // date, replaced by the later one and offered: what an older program shows.
    QVERIFY(QFile::remove(w.env.path(QStringLiteral("k.foto/visits.txt"))));
    w.open(w.list());
    QCOMPARE(photos::store().index().visitsOf(keys, keys.at(1)), QStringList{"01.02.2024"});
    QCOMPARE(w.shown().value("B"), QStringLiteral("RL"));
    QCOMPARE(photos::store().index().photos.at(photos::store().index().photoOf(keys, keys.at(1), Eye::Right)).file,
             QStringLiteral("R0001.png"));
    QCOMPARE(w.orphans(), 1);
    QVERIFY(w.prompter.texts().isEmpty());
    // A visits file that cannot be read is said; the photos keep their card's date.
    w.env.writeLines(QStringLiteral("k.foto/visits.txt"), {QStringLiteral("что-то другое")});
    w.open(w.list());
    QCOMPARE(w.prompter.texts().size(), 1);
    QCOMPARE(photos::store().index().visitsOf(keys, keys.at(1)), QStringList{"01.02.2024"});
}

#include "test_photoindex.moc"

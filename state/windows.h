#pragma once
// The windows of the program. Every working window exists at most once: it
// is created on first use, then only shown, and closing it only hides it.
// The registry holds one reference per window, empty until the window is
// first created and emptying itself when the window is destroyed, so "does
// the window exist" is simply "is the reference set". A window's own folder
// (its door) uses its reference; everybody else asks the door, or opens the
// window by its name: each door enrols its windows at start-up, so that a
// folder can open a window of another without depending on it.
#include <QHash>
#include <QPointer>
#include <QString>

#include <functional>

class QWidget;
class TfmCard;
class TfmDeep;
class TfmExpress;
class TfmShProek;
class TfmPupil;
class TfmConcl;
class TfmReach;
class TfmGuid;
class TfmPhoto;
class TAboutBox;

namespace state {

class Windows {
public:
    // The main window, as the owner of every working window: nobody needs
    // more of it, so nobody depends on its class.
    QPointer<QWidget> fmNirel3;
    QPointer<TfmCard> fmCard;
    QPointer<TfmDeep> fmDeep;
    QPointer<TfmExpress> fmExpress;
    QPointer<TfmShProek> fmShProek;
    QPointer<TfmPupil> fmPupil;
    QPointer<TfmConcl> fmConcl;
    QPointer<TfmReach> fmReach;
    QPointer<TfmGuid> fmGuid;
    QPointer<TfmPhoto> fmPhoto;
    QPointer<TAboutBox> AboutBox;

    // How a window is opened and found by its name ("fmDeep", ...).
    struct Entry {
        std::function<QWidget *(QWidget *owner)> open;
        std::function<QWidget *()> existing;
    };
    void enrol(const QString &name, const Entry &entry);
    // Creates the window named on first use (owned by owner, or by the main
    // window when none is given), shows it, makes it visible and brings it to
    // the front; nullptr for a name no door has enrolled.
    QWidget *open(const QString &name, QWidget *owner = nullptr);
    // The window named when it has been created, else nullptr.
    QWidget *existing(const QString &name) const;

private:
    QHash<QString, Entry> m_entries;
};

Windows &windows();

} // namespace state

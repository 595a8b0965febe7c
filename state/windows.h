#pragma once
// One reference per window, empty until the window is first created. A
// reference empties itself when its window is destroyed, so "does the window
// exist" is simply "is the reference set".
#include <QPointer>

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

// The main window, as the owner of every working window: nobody needs more
// of it, so nobody depends on its class.
inline QPointer<QWidget> fmNirel3;
inline QPointer<TfmCard> fmCard;
inline QPointer<TfmDeep> fmDeep;
inline QPointer<TfmExpress> fmExpress;
inline QPointer<TfmShProek> fmShProek;
inline QPointer<TfmPupil> fmPupil;
inline QPointer<TfmConcl> fmConcl;
inline QPointer<TfmReach> fmReach;
inline QPointer<TfmGuid> fmGuid;
inline QPointer<TfmPhoto> fmPhoto;
inline QPointer<TAboutBox> AboutBox;

} // namespace state

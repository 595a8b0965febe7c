#pragma once
// The door of the deep examination window: what other windows use of it.
// Nobody outside the window's own files touches its controls or includes its
// class; the sign and the pathology lines its boxes show belong to the
// examination (state/examination.h), where the sign menus and the chart and
// pupil windows change them.
class QString;

namespace deep {

// Creates the window on first use, shows it, makes it visible and brings it
// to the front.
void open();
// Chooses a sign of the catalogue by its menu item's component name
// ("MydryazPlainItem"), as a click on that item of the window's menus does:
// the window is opened first. False for a name the menus do not hold.
bool chooseItem(const QString &name);
// Whether the window has been created.
bool exists();
// Enrols the window, "fmDeep", to be opened by its name (at start-up).
void enrol();

} // namespace deep
